// OnlineHelp: the help texts the four labels beside the view show for the
// command in progress while Help > On Line Help is checked, and the twelve
// start-up tips.
#pragma once

#include <array>
#include <string>

#include "platform/UiState.h"

// Writes the text of `code` into the help labels; nothing when the online help
// is off. While Add Guideline runs, label 1 always carries the guideline text.
void ShowOnlineHelp(UiState& ui, int code, bool onlineHelpOn, bool guidelineInProgress);

struct Tip {
  const char* memo;       // the memo's name in the tip panel
  const char* firstLine;
  const char* paragraph;
};
const std::array<Tip, 12>& StartUpTips();
