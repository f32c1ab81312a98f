// Prompts: every way the program asks or tells the user something outside the
// view: the beep, message boxes, the file dialogs and the desktop's "open".
// The shell answers with Qt; tests answer from a script and never block.
#pragma once

#include <deque>
#include <string>
#include <vector>

enum class Answer { Yes, No, Cancel, Ok };

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual void Beep() = 0;
  // A warning box with an OK button; `detail`, when given, is shown beneath the
  // message (what exactly went wrong), leaving the message itself as it stands.
  virtual void Message(const std::string& text, const std::string& detail = {}) = 0;
  // A message box with Yes, No and Cancel.
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // A message box with Yes and No only (closing it answers No).
  virtual Answer AskYesNo(const std::string& text) = 0;
  // File dialogs; an empty result means the user cancelled.
  virtual std::string OpenFileName(const std::string& folder, const std::string& filter) = 0;
  virtual std::string SaveFileName(const std::string& folder, const std::string& filter,
                                   const std::string& defaultExtension) = 0;
  // Hands a web address or a document to the desktop; false when it refused.
  virtual bool OpenUrl(const std::string& url) = 0;
  virtual bool OpenDocument(const std::string& path) = 0;
  // A folder chooser starting at `folder`; empty when cancelled.
  virtual std::string ChooseFolder(const std::string& folder) = 0;
};

// Scripted answerer for tests: records every question and takes its answers
// from queues filled by the test (Cancel / empty name when a queue runs dry).
class ScriptedPrompts : public Prompts {
 public:
  void Beep() override { ++beeps; }
  void Message(const std::string& text, const std::string& detail = {}) override {
    messages.push_back(text);
    details.push_back(detail);
  }
  Answer AskYesNoCancel(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  // Yes/No questions join `questions` and take their answers from the same
  // queue; Cancel in the queue, or none left, answers No as closing the box
  // would. `yesNoQuestions` tells which questions had no Cancel button.
  Answer AskYesNo(const std::string& text) override {
    yesNoQuestions.push_back(text);
    return AskYesNoCancel(text) == Answer::Yes ? Answer::Yes : Answer::No;
  }
  std::string OpenFileName(const std::string& folder, const std::string&) override {
    dialogFolders.push_back(folder);
    return NextName();
  }
  std::string SaveFileName(const std::string& folder, const std::string&, const std::string&) override {
    dialogFolders.push_back(folder);
    return NextName();
  }
  bool OpenUrl(const std::string& url) override {
    opened.push_back(url);
    return desktopAccepts;
  }
  bool OpenDocument(const std::string& path) override {
    opened.push_back(path);
    return desktopAccepts;
  }
  std::string ChooseFolder(const std::string& folder) override {
    dialogFolders.push_back(folder);
    return NextName();
  }

  int beeps = 0;
  std::vector<std::string> messages, details, questions, yesNoQuestions, opened, dialogFolders;
  std::deque<Answer> answers;
  std::deque<std::string> fileNames;
  bool desktopAccepts = true;

 private:
  std::string NextName() {
    if (fileNames.empty()) return {};
    std::string n = fileNames.front();
    fileNames.pop_front();
    return n;
  }
};
