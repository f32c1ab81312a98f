#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

class QtClipboard : public Clipboard {
 public:
  void SetImage(const QImage& image) override {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(image);
  }
};

}  // namespace

std::unique_ptr<Clipboard> MakeQtClipboard() { return std::make_unique<QtClipboard>(); }
