// WindowServices: what the main window does for the program's procedures (the
// view snapshot, online help, the questions, the progress bar and Escape, the
// screen brought up to date). The window implements it once; the tests answer
// with a recording double; work done without a window (a printed page, the
// command-line tool) with QuietServices.
#pragma once

#include "platform/Prompts.h"

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // Copies the view into the snapshot that entry panels and dialogs restore.
  virtual void SaveViewSnapshot() = 0;
  // Pastes the snapshot back over the view (a panel or dialog has closed).
  virtual void RestoreViewSnapshot() = 0;
  // Writes the help text of help code `code` into the online-help labels.
  virtual void ShowOnlineHelp(int code) = 0;
  // Message boxes, the beep and the file dialogs.
  virtual Prompts& Ask() = 0;
  // ProgressBar3 in the status bar shown at 0, or hidden.
  virtual void ShowProgress(bool shown) = 0;
  // ProgressBar3 at `position` (0..1000); lets pending input through and
  // answers false once Escape was pressed.
  virtual bool Progress(int position) = 0;
  // Shows the menus, buttons, status panels and the view on screen at once.
  virtual void Refresh() = 0;
  // The view cleared, the grid drawn and every object drawn anew.
  virtual void RedrawView() = 0;
};

// The services with no window: the snapshot, help, the progress bar and the
// refresh have nothing to show, no Escape can be pressed, and nobody is asked
// (a beep or a message is only recorded, a question finds no answer).
class QuietServices : public WindowServices {
 public:
  void SaveViewSnapshot() override {}
  void RestoreViewSnapshot() override {}
  void ShowOnlineHelp(int) override {}
  Prompts& Ask() override { return unasked_; }
  void ShowProgress(bool) override {}
  bool Progress(int) override { return true; }
  void Refresh() override {}
  void RedrawView() override {}

 private:
  ScriptedPrompts unasked_;
};
