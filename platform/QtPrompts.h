// The desktop's own answers to Prompts: Qt message boxes and file dialogs.
#pragma once

#include "platform/Prompts.h"

class QWidget;

class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent) : parent_(parent) {}
  void Beep() override;
  void Message(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  std::string OpenFileName(const std::string& folder, const std::string& filter) override;
  std::string SaveFileName(const std::string& folder, const std::string& filter,
                           const std::string& defaultExtension) override;
  bool OpenUrl(const std::string& url) override;
  bool OpenDocument(const std::string& path) override;
  std::string ChooseFolder(const std::string& folder) override;

 private:
  QWidget* parent_;
};
