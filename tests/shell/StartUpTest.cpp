// Start-up and exit: the state of the commands, the layout, the preferences
// read and written, the save question and the two exit panels taking turns.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "session/SessionFixture.h"

namespace {

using StartUpTest = SessionFixture;
using ExitTest = SessionFixture;

TEST_F(StartUpTest, AnEmptyDocumentHasItsCommandsAndRunWaitsForASetUp) {
  Form1& f = Start();
  EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane [UNTITLED]");
  for (Cmd c : {Cmd::MnuFile, Cmd::MnuFileSave, Cmd::MnuFileSaveAs, Cmd::MnuEdit, Cmd::MnuEditAddRectangle,
                Cmd::MnuAnalyse, Cmd::MnuAnalyseSetUp, Cmd::MnuTools, Cmd::MnuGrid, Cmd::Mnuhelp1})
    EXPECT_TRUE(f.Action(c)->isEnabled()) << static_cast<int>(c);
  EXPECT_FALSE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  EXPECT_TRUE(f.Button(Cmd::SpeedButton21)->isEnabled());
  EXPECT_TRUE(f.Button(Cmd::SpeedButton4)->isEnabled());
  EXPECT_EQ(f.Button(Cmd::SpeedButton4)->toolTip().toStdString(), "Add Rectangular Section");
  EXPECT_FALSE(f.Action(Cmd::MnuViewFlowLines)->isVisible());
  EXPECT_TRUE(f.Action(Cmd::Meshsize1)->isVisible());
  EXPECT_TRUE(f.Action(Cmd::N100)->isChecked());
  EXPECT_FALSE(Controls(f).GroupBox1->isVisibleTo(&f));
}

TEST_F(StartUpTest, TheTipLocksTheCommandsAndHelpUntilClosed) {
  WritePreferences(true);
  Form1& f = Start();
  EXPECT_FALSE(Controls(f).GroupBox1->isHidden());
  EXPECT_FALSE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_FALSE(f.Action(Cmd::Mnuhelp1)->isEnabled());
  EXPECT_TRUE(f.Button(Cmd::SpeedButton5)->isEnabled());
  EXPECT_TRUE(f.Button(Cmd::SpeedButton19)->toolTip().size() > 0);
  EXPECT_TRUE(f.Button(Cmd::SpeedButton4)->toolTip().isEmpty());
  EXPECT_TRUE(Controls(f).GroupBox1->TipMemo->text().contains("Uninstalling."));
  Controls(f).GroupBox1->tipclose->click();
  EXPECT_TRUE(Controls(f).GroupBox1->isHidden());
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_TRUE(f.Action(Cmd::Mnuhelp1)->isEnabled());
  EXPECT_FALSE(f.Action(Cmd::MnuAnalyseRun)->isEnabled());
  EXPECT_FALSE(f.Button(Cmd::SpeedButton4)->toolTip().isEmpty());
}

TEST_F(StartUpTest, NextTipWrapsFromTheLastToTheFirstAndTheDontShowBoxUnchecksTips) {
  WriteFile("Pref.PRF", Records({0, 1, 21, 1, 0, 11, 7}));
  WriteFile("WorkDir.DIR", "A");
  Form1& f = Start();
  EXPECT_TRUE(Controls(f).GroupBox1->TipMemo->text().contains("Some basic physical values"));
  Controls(f).GroupBox1->Button8->click();
  EXPECT_TRUE(Controls(f).GroupBox1->TipMemo->text().contains("Uninstalling."));
  Controls(f).GroupBox1->CheckBox2->setChecked(true);
  Controls(f).GroupBox1->tipclose->click();
  EXPECT_FALSE(f.Action(Cmd::MnuHelpTips)->isChecked());
}

TEST_F(StartUpTest, MissingPreferenceFilesGiveTheDefaultsAndAFinishedStartUp) {
  std::filesystem::remove(folder / "Pref.PRF");
  std::filesystem::remove(folder / "WorkDir.DIR");
  Form1& f = Start();
  EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane [UNTITLED]");
  EXPECT_EQ(State(f).display.StreamLevelCount, 21);
  EXPECT_EQ(State(f).grid.GridDotsCode, 17);
  EXPECT_EQ(State(f).grid.ShowGridCode, 19);
  EXPECT_EQ(State(f).doc.DataFolder, Folder() + "Data");
  EXPECT_EQ(ReadFile("WorkDir.DIR"), Folder() + "Data");
  EXPECT_FALSE(State(f).mesh.CoefDiag.empty());
  EXPECT_GT(Controls(f).viewImage.width(), 100);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(StartUpTest, AShortPreferenceFileKeepsWhatItHeldAndSaysSo) {
  WriteFile("Pref.PRF", Records({1, 0, 41}));
  WriteFile("WorkDir.DIR", "/srv/flows");
  Form1& f = Start();
  EXPECT_EQ(State(f).grid.GridLinesCode, 18);
  EXPECT_EQ(State(f).grid.ShowGridCode, 0);
  EXPECT_EQ(State(f).display.StreamLevelCount, 41);
  EXPECT_TRUE(f.Action(Cmd::MnuFlowHigh)->isChecked());
  EXPECT_FALSE(f.Action(Cmd::MnuFlowNormal)->isChecked());
  EXPECT_EQ(State(f).prefs.ExitPanelChoice, 7);
  EXPECT_EQ(State(f).doc.DataFolder, "/srv/flows");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("Pref.PRF"), std::string::npos);
  EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane [UNTITLED]");
}

TEST_F(StartUpTest, OddDensitiesAndTipNumbersAreHeldToTheirRanges) {
  struct Case {
    std::int32_t density, tip;
    std::int32_t levels, tipIndex;
  };
  for (Case c : {Case{30, 15, 30, 11}, Case{99, -3, 21, 0}, Case{0, 4, 21, 4}, Case{9, 11, 9, 11}}) {
    WriteFile("Pref.PRF", Records({0, 1, c.density, 0, 0, c.tip, 7}));
    Form1& f = Start();
    EXPECT_EQ(State(f).display.StreamLevelCount, c.levels) << c.density;
    EXPECT_EQ(State(f).prefs.TipIndex, c.tipIndex) << c.tip;
    EXPECT_EQ(f.Action(Cmd::MnuFlowNormal)->isChecked(), c.levels != 9) << c.density;
    window.reset();
  }
}

TEST_F(StartUpTest, PreferenceChoicesWaitForTheNextStart) {
  Form1& f = Start();
  f.Run(Cmd::MnuPreferences);
  ASSERT_FALSE(Controls(f).PrefBox->isHidden());
  EXPECT_FALSE(f.Action(Cmd::MnuFile)->isEnabled());
  Controls(f).PrefBox->ListBox3->setCurrentRow(0);  // Lines
  Controls(f).PrefBox->ListBox4->setCurrentRow(2);  // Low
  Controls(f).PrefBox->WorkingDir->setText("/data/q");
  Controls(f).PrefBox->Button2->click();
  EXPECT_TRUE(Controls(f).PrefBox->isHidden());
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
  EXPECT_EQ(State(f).grid.GridDotsCode, 17);  // this run keeps its dots
  EXPECT_EQ(State(f).display.StreamLevelCount, 21);
  EXPECT_EQ(ReadFile("Pref.PRF"), Records({1, 1, 9, 0, 0, 1, 6}));
  EXPECT_EQ(ReadFile("WorkDir.DIR"), "/data/q");
}

TEST_F(ExitTest, AnUnchangedDocumentGoesStraightToTheExitPanelAndWritesThePreferences) {
  WriteFile("Pref.PRF", Records({1, 0, 9, 0, 0, 4, 7}));
  WriteFile("WorkDir.DIR", "/srv/flows");
  Form1& f = Start();
  f.Run(Cmd::MnuFileExit);
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_EQ(ExitPanelShown(), 0);  // 7 toggles to 6: Panel6
  EXPECT_EQ(ReadFile("Pref.PRF"), Records({1, 0, 9, 0, 0, 5, 6}));
  EXPECT_EQ(ReadFile("WorkDir.DIR"), "/srv/flows");
  Controls(f).ExitPanels[0]->ExitButton->click();
  EXPECT_EQ(Controls(f).ExitPanels[0]->ExitProgress->value(), 40000);
  EXPECT_TRUE(WindowProbe::Exiting(f));
}

TEST_F(ExitTest, TwoRunsShowDifferentPanelsAndTheLastTipWrapsToZero) {
  WriteFile("Pref.PRF", Records({0, 1, 21, 0, 0, 11, 7}));
  Start().Run(Cmd::MnuFileExit);
  EXPECT_EQ(ExitPanelShown(), 0);
  EXPECT_EQ(ReadFile("Pref.PRF"), Records({0, 1, 21, 0, 0, 0, 6}));
  window.reset();
  Start().Run(Cmd::MnuFileExit);
  EXPECT_EQ(ExitPanelShown(), 1);
}

TEST_F(ExitTest, ConfirmingPreferencesOnceMakesTheNextRunShowTheSamePanel) {
  Form1& f = Start();
  f.Run(Cmd::MnuPreferences);
  Controls(f).PrefBox->Button2->click();
  f.Run(Cmd::MnuFileExit);
  EXPECT_EQ(ExitPanelShown(), 1);  // toggled twice: 7 again
}

// Cancel, or a Yes whose save does not happen (untitled, and no name given),
// keeps the window and leaves the preferences untouched; the next try asks again.
TEST_F(ExitTest, CancellingTheSaveQuestionKeepsTheWindowAndAsksAgainNextTime) {
  for (const Answer answer : {Answer::Cancel, Answer::Yes}) {
    Form1& f = Start();
    prompts = ScriptedPrompts();
    State(f).doc.DocumentModified = 1;
    prompts.answers = {answer, Answer::Cancel};
    f.Run(Cmd::MnuFileExit);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0], "Save changes to Quorvane [UNTITLED]?");
    EXPECT_EQ(ExitPanelShown(), -1);
    EXPECT_EQ(State(f).doc.SaveCancelled, 0);
    EXPECT_EQ(ReadFile("Pref.PRF"), Records({0, 1, 21, 0, 0, 0, 7}));  // untouched
    f.close();
    EXPECT_EQ(prompts.questions.size(), 2u);
    EXPECT_TRUE(f.isVisible() || !WindowProbe::Exiting(f));
  }
}

TEST_F(ExitTest, ChangesMadeWhileTheExitPanelIsUpAreOfferedBeforeLeaving) {
  Form1& f = Start();
  State(f).doc.DocumentModified = 1;
  prompts.answers = {Answer::No, Answer::Cancel};
  f.Run(Cmd::MnuFileExit);
  ASSERT_EQ(ExitPanelShown(), 0);
  Controls(f).ExitPanels[0]->ExitButton->click();  // nothing new since "No": no question
  EXPECT_EQ(prompts.questions.size(), 1u);
  EXPECT_TRUE(WindowProbe::Exiting(f));

  WindowProbe::Exiting(f) = false;
  State(f).doc.DocumentModified = 1;  // a change after the panel appeared
  Controls(f).ExitPanels[0]->ExitButton->click();
  EXPECT_EQ(prompts.questions.size(), 2u);
  EXPECT_FALSE(WindowProbe::Exiting(f));
}

TEST_F(ExitTest, AWriteErrorIsReportedNamingTheFileAndTheWindowStaysOpen) {
  Form1& f = Start();
  // A folder where the file should be: the settings cannot be replaced.
  std::filesystem::remove(folder / "Pref.PRF");
  std::filesystem::create_directory(folder / "Pref.PRF");
  std::filesystem::create_directory(folder / "Pref.PRF" / "inside");
  for (int attempt = 0; attempt < 2; ++attempt) {
    f.Run(Cmd::MnuFileExit);
    ASSERT_EQ(prompts.messages.size(), static_cast<std::size_t>(attempt + 1));
    const std::string& m = prompts.messages.back();
    EXPECT_NE(m.find("could not be written to Pref.PRF in"), std::string::npos) << m;
    EXPECT_EQ(m.find("WorkDir.DIR"), std::string::npos) << "the data folder file was written: " << m;
    EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());
    EXPECT_EQ(ExitPanelShown(), -1);
    EXPECT_FALSE(WindowProbe::Exiting(f));
  }
  // Once the folder is put right the exit goes on, showing the panel that
  // follows the one of the last run.
  std::filesystem::remove_all(folder / "Pref.PRF");
  f.Run(Cmd::MnuFileExit);
  EXPECT_EQ(prompts.messages.size(), 2u);
  EXPECT_EQ(ExitPanelShown(), 0);
  EXPECT_EQ(ReadFile("Pref.PRF").substr(24, 4), Records({6}));
}

}  // namespace
