// The desktop's own answers to Prompts: Qt message boxes and file dialogs.
#pragma once

#include "platform/Prompts.h"

#include <string>

class QWidget;

// The folder a file dialog opens in: the given one when it exists, else its
// nearest existing parent (a dialog handed a missing folder would offer the
// folder's own name as the file name). Empty stays empty.
std::string DialogStartFolder(const std::string& folder);

// Where the save dialog opens, and the name it proposes: a path naming a file
// with the document extension (the current document, existing or not) proposes
// that name in its folder; any other path is a folder to start in.
struct SaveDialogStart {
  std::string folder, fileName;
};
SaveDialogStart SaveDialogStartFor(const std::string& path, const std::string& extension);

class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent) : parent_(parent) {}
  void Beep() override;
  void Message(const std::string& text, const std::string& detail = {}) override;
  Answer AskYesNoCancel(const std::string& text) override;
  Answer AskYesNo(const std::string& text) override;
  std::string OpenFileName(const std::string& folder, const std::string& filter) override;
  std::string SaveFileName(const std::string& folder, const std::string& filter,
                           const std::string& defaultExtension) override;
  bool OpenUrl(const std::string& url) override;
  bool OpenDocument(const std::string& path) override;
  std::string ChooseFolder(const std::string& folder) override;

 private:
  QWidget* parent_;
};
