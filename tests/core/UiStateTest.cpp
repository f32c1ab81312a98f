// Locking and unlocking the commands as a whole.
#include <gtest/gtest.h>

#include "TestServices.h"
#include "platform/UiState.h"

namespace {

void ExpectEnabled(const UiState& ui, std::initializer_list<std::pair<Cmd, bool>> states) {
  for (const auto& [c, enabled] : states) EXPECT_EQ(ui[c].enabled, enabled) << "command " << static_cast<int>(c);
}

TEST(UiStateTest, DesignStateHasOnlyFileHelpAndTheFirstButtonsEnabled) {
  UiState ui;
  ExpectEnabled(ui, {{Cmd::MnuFile, true}, {Cmd::MnuFileSave, false}, {Cmd::MnuEdit, false}, {Cmd::Mnuhelp1, true},
                     {Cmd::SpeedButton19, true}, {Cmd::SpeedButton2, true}, {Cmd::SpeedButton5, true},
                     {Cmd::SpeedButton21, false}});
  EXPECT_FALSE(ui[Cmd::MnuViewFlowLines].visible);
  EXPECT_TRUE(ui[Cmd::MnuViewFlowLines].checked);
}

// Locked, only help and the gauge stay and only the New button keeps its hint;
// unlocked, everything but Analyse > Run comes back and the hints are cleared.
TEST(UiStateTest, LockKeepsHelpAndGaugeAndUnlockDoesNotGiveBackAnalyseRun) {
  UiState ui;
  EnableDocumentCommands(ui);
  ui[Cmd::MnuAnalyseRun].enabled = true;
  ui.status[3] = "Add rectangular section: Click on first point ";
  TestServices services;
  LockCommands(ui, services, true);
  EXPECT_EQ(services.refreshes, 1) << "the locked commands show before the work starts";
  for (Cmd c : {Cmd::MnuFile, Cmd::MnuEdit, Cmd::Clipbd, Cmd::MnuTitle, Cmd::MnuView, Cmd::MnuAnalyse,
                Cmd::MnuAnalyseRun, Cmd::MnuTools, Cmd::SpeedButton21, Cmd::SpeedButton4, Cmd::SpeedButton19})
    EXPECT_FALSE(ui[c].enabled) << static_cast<int>(c);
  ExpectEnabled(ui, {{Cmd::Mnuhelp1, true}, {Cmd::SpeedButton5, true}});
  EXPECT_TRUE(ui[Cmd::SpeedButton19].hint);
  EXPECT_FALSE(ui[Cmd::SpeedButton4].hint);
  EXPECT_EQ(ui.status[4], "Press Escape key to exit");

  UnlockCommands(ui);
  ExpectEnabled(ui, {{Cmd::MnuFile, true}, {Cmd::SpeedButton21, true}, {Cmd::MnuAnalyseRun, false}});
  EXPECT_TRUE(ui[Cmd::SpeedButton4].hint);
  EXPECT_EQ(ui.status[3], " ");
  EXPECT_EQ(ui.status[4], "");
}

}  // namespace
