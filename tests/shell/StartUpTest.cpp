#include <QTest>
// Start-up: the state of the commands, the layout and the preferences read.
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QProgressBar>
#include <QToolButton>

#include "ShellFixture.h"
#include "shell/ViewWidget.h"

namespace {

using StartUpTest = ShellFixture;

TEST_F(StartUpTest, AnEmptyDocumentHasItsCommandsAndRunWaitsForASetUp) {
  WritePreferences();
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
  EXPECT_FALSE(Controls(f).GroupBox1->isVisible());
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

TEST_F(StartUpTest, StatusPanelsFitTheirLongestTextsAndTheWindowHasAMinimum) {
  WritePreferences();
  Form1& f = Start();
  f.resize(1024, 700);
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  const QFontMetrics fm(Controls(f).StatusBar1->font());
  EXPECT_EQ(Controls(f).StatusPanel[3]->width(),
            fm.horizontalAdvance("Add circular section: Click when outer circle positioned") + 6);
  EXPECT_EQ(Controls(f).StatusPanel[4]->width(), fm.horizontalAdvance("Press escape key to exit") + 6);
  EXPECT_EQ(Controls(f).StatusPanel[0]->width(), 50);
  QToolButton* run = f.Button(Cmd::SpeedButton21);
  EXPECT_EQ(f.minimumWidth(), run->x() + run->width() + 2 * WindowProbe::ScrollBarWidth(f));
  EXPECT_EQ(f.minimumHeight(), 4 * Controls(f).toolpanel->height());
}

TEST_F(StartUpTest, TheViewIsASquareBelowTheToolBarWithTheLabelsBesideIt) {
  WritePreferences();
  Form1& f = Start();
  EXPECT_EQ(State(f).mesh.ViewTop, Controls(f).toolpanel->height());
  EXPECT_EQ(Controls(f).V->width(), State(f).mesh.ViewSize);
  EXPECT_EQ(Controls(f).V->height(), State(f).mesh.ViewSize);
  EXPECT_EQ(Controls(f).V->x(), State(f).mesh.ViewLeft);
  EXPECT_EQ(Controls(f).DataLabel[0]->x(), State(f).mesh.ViewRight);
  EXPECT_EQ(Controls(f).OnLineHelp[3]->geometry().bottom() + 1, State(f).mesh.ViewBottom);
  EXPECT_EQ(Controls(f).viewImage.width(), State(f).mesh.ViewRight);
  EXPECT_EQ(State(f).mesh.StreamFunction.size(), static_cast<std::size_t>(120 * 122));
}

TEST_F(StartUpTest, MissingPreferenceFilesGiveTheDefaultsAndAFinishedStartUp) {
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
  WritePreferences();
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

}  // namespace
