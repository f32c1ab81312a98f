// Locking and unlocking the commands as a whole.
#include <gtest/gtest.h>

#include "TestServices.h"
#include "platform/UiState.h"

namespace {

TEST(UiStateTest, DesignStateHasOnlyFileHelpAndTheFirstButtonsEnabled) {
  UiState ui;
  EXPECT_TRUE(ui[Cmd::MnuFile].enabled);
  EXPECT_FALSE(ui[Cmd::MnuFileSave].enabled);
  EXPECT_FALSE(ui[Cmd::MnuEdit].enabled);
  EXPECT_TRUE(ui[Cmd::Mnuhelp1].enabled);
  EXPECT_TRUE(ui[Cmd::SpeedButton19].enabled);
  EXPECT_TRUE(ui[Cmd::SpeedButton2].enabled);
  EXPECT_TRUE(ui[Cmd::SpeedButton5].enabled);
  EXPECT_FALSE(ui[Cmd::SpeedButton21].enabled);
  EXPECT_FALSE(ui[Cmd::MnuViewFlowLines].visible);
  EXPECT_TRUE(ui[Cmd::MnuViewFlowLines].checked);
}

TEST(UiStateTest, LockLeavesHelpAndGaugeAndKeepsOnlyTheNewButtonsHint) {
  UiState ui;
  EnableDocumentCommands(ui);
  ui[Cmd::MnuAnalyseRun].enabled = true;
  TestServices services;
  LockCommands(ui, services, true);
  EXPECT_EQ(services.refreshes, 1) << "the locked commands show before the work starts";
  for (Cmd c : {Cmd::MnuFile, Cmd::MnuEdit, Cmd::Clipbd, Cmd::MnuTitle, Cmd::MnuView, Cmd::MnuAnalyse,
                Cmd::MnuAnalyseRun, Cmd::MnuTools, Cmd::SpeedButton21, Cmd::SpeedButton4, Cmd::SpeedButton19})
    EXPECT_FALSE(ui[c].enabled) << static_cast<int>(c);
  EXPECT_TRUE(ui[Cmd::Mnuhelp1].enabled);
  EXPECT_TRUE(ui[Cmd::SpeedButton5].enabled);
  EXPECT_TRUE(ui[Cmd::SpeedButton19].hint);
  EXPECT_FALSE(ui[Cmd::SpeedButton4].hint);
  EXPECT_EQ(ui.status[4], "Press Escape key to exit");
}

TEST(UiStateTest, UnlockDoesNotGiveBackAnalyseRun) {
  UiState ui;
  EnableDocumentCommands(ui);
  ui.status[3] = "Add rectangular section: Click on first point ";
  TestServices services;
  LockCommands(ui, services, true);
  UnlockCommands(ui);
  EXPECT_TRUE(ui[Cmd::MnuFile].enabled);
  EXPECT_TRUE(ui[Cmd::SpeedButton21].enabled);
  EXPECT_TRUE(ui[Cmd::SpeedButton4].hint);
  EXPECT_FALSE(ui[Cmd::MnuAnalyseRun].enabled);
  EXPECT_EQ(ui.status[3], " ");
  EXPECT_EQ(ui.status[4], "");
}

}  // namespace
