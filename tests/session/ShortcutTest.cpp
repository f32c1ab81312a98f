// The desktop shortcuts: each fires its command, again on the second press,
// and none fires while a command holds the others locked.
#include "SessionFixture.h"

namespace {

using ShortcutTest = SessionFixture;

TEST_F(ShortcutTest, FileShortcutsRunTheirCommandsAndAreShownInTheMenus) {
  Form1& f = Launch();
  EXPECT_EQ(f.Action(Cmd::MnuFileNew)->shortcut(), QKeySequence(QKeySequence::New));
  EXPECT_EQ(f.Action(Cmd::MnuFileSaveAs)->shortcut(), QKeySequence("Ctrl+Shift+S"));
  EXPECT_TRUE(f.Action(Cmd::MnuAnalyseRun)->text().endsWith("\tF5"));
  const std::string name = (folder / "keys.QDN").string();
  for (int round = 0; round < 2; ++round) {
    DrawCircle();
    prompts.fileNames = {name};
    Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);  // Save As
    EXPECT_EQ(State(f).doc.CurrentFileName, name);
    EXPECT_EQ(State(f).doc.DocumentModified, 0);
    Press(Qt::Key_N, Qt::ControlModifier);  // New
    EXPECT_EQ(State(f).objects.CircleDataLen, 0) << round;
    prompts.fileNames = {name};
    Press(Qt::Key_O, Qt::ControlModifier);  // Open
    EXPECT_EQ(State(f).objects.CircleDataLen, 10) << round;
    Press(Qt::Key_F5);  // the Run button: set up, then run
    EXPECT_EQ(State(f).display.StreamlinesShown, 1) << round;
    Press(Qt::Key_S, Qt::ControlModifier);  // Save, under its name: no dialog
    EXPECT_EQ(State(f).doc.DocumentModified, 0);
    Press(Qt::Key_N, Qt::ControlModifier);
  }
  EXPECT_TRUE(prompts.fileNames.empty());
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ShortcutTest, ALockedCommandDoesNotFireAndHelpAndExitDo) {
  Form1& f = Launch();
  DrawCircle();
  for (int round = 0; round < 2; ++round) {
    ClickButton(Cmd::SpeedButton4);  // Add Rectangle holds the commands
    Press(Qt::Key_N, Qt::ControlModifier);
    Press(Qt::Key_F5);
    Press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(State(f).objects.CircleDataLen, 10);
    EXPECT_EQ(State(f).display.StreamlinesShown, 0);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(ExitPanelShown(), -1);
    Press(Qt::Key_Escape);
  }
  const std::size_t before = prompts.opened.size() + prompts.messages.size();
  Press(Qt::Key_F1);
  EXPECT_EQ(prompts.opened.size() + prompts.messages.size(), before + 1) << "Help opens (or says it is missing)";
  prompts.answers = {Answer::No};
  Press(Qt::Key_Q, Qt::ControlModifier);  // Exit, through the save question
  EXPECT_EQ(prompts.questions.size(), 1u);
  EXPECT_NE(ExitPanelShown(), -1);
}

}  // namespace
