// Clipboard: where Copy to Clipboard puts the view as a bitmap. The desktop's
// clipboard in the program; a recorder in tests.
#pragma once

#include <QImage>
#include <memory>
#include <vector>

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual void SetImage(const QImage& image) = 0;
};

// The desktop's clipboard (QGuiApplication::clipboard).
std::unique_ptr<Clipboard> MakeQtClipboard();

// Test double: keeps every image it was given.
class RecordingClipboard : public Clipboard {
 public:
  void SetImage(const QImage& image) override { images.push_back(image); }
  std::vector<QImage> images;
};
