// TestServices: the window's services as a test sees them. Every call is
// counted, and all but the frequent ones (Progress, Refresh) are also logged in
// order in `calls`, where a test's own hooks may add theirs; questions are
// answered from a ScriptedPrompts; Escape is pressed at a chosen progress call.
// Qt-free, so that the tests of the core use it too.
#pragma once

#include <string>
#include <vector>

#include "platform/Prompts.h"
#include "platform/WindowServices.h"

class TestServices : public WindowServices {
 public:
  void SaveViewSnapshot() override {
    ++snapshotsSaved;
    calls.push_back("snapshot");
  }
  void RestoreViewSnapshot() override {
    ++snapshotsRestored;
    calls.push_back("restore");
  }
  void ShowOnlineHelp(int code) override {
    helpCodes.push_back(code);
    calls.push_back("help " + std::to_string(code));
  }
  Prompts& Ask() override { return prompts; }
  void ShowProgress(bool shown) override {
    progressShown = shown;
    calls.push_back(shown ? "progress shown" : "progress hidden");
  }
  // False from call number escapeAtProgress on (counting from 1), as after an
  // Escape; always true when it is 0.
  bool Progress(int position) override {
    ++progressCalls;
    lastPosition = position;
    return escapeAtProgress == 0 || progressCalls < escapeAtProgress;
  }
  void Refresh() override { ++refreshes; }
  void RedrawView() override {
    ++redraws;
    calls.push_back("redraw");
  }

  ScriptedPrompts prompts;
  std::vector<std::string> calls;
  std::vector<int> helpCodes;
  int snapshotsSaved = 0, snapshotsRestored = 0, redraws = 0, refreshes = 0, progressCalls = 0;
  int lastPosition = -1;  // of the last Progress call
  bool progressShown = false;
  int escapeAtProgress = 0;
};
