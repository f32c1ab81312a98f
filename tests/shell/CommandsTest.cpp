// The shell's own commands: the command table, online help, the Help menu,
// the grid and mesh-size commands.
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

#include "session/SessionFixture.h"

namespace {

using CommandsTest = SessionFixture;

// A menu item or speed button left out of the command table would do nothing
// when clicked, without a word.
TEST_F(CommandsTest, EveryMenuItemAndSpeedButtonHasAHandler) {
  Form1& f = Start();
  int items = 0;
  for (int i = 0; i < CmdCount; ++i) {
    const Cmd c = static_cast<Cmd>(i);
    const bool menuItem = f.Action(c) && !f.Menu(c);
    if (!menuItem && !f.Button(c)) continue;
    ++items;
    EXPECT_TRUE(WindowProbe::HasHandler(f, c)) << "command " << i << " has no handler";
  }
  EXPECT_EQ(items, 80);  // 60 menu items and 20 speed buttons
}

TEST_F(CommandsTest, ClosingAboutOrUninstallLeavesDrawingDoneMeanwhile) {
  Form1& f = Start();
  f.Run(Cmd::MnuHelpAbout);
  EXPECT_FALSE(Controls(f).About->isHidden());
  EXPECT_TRUE(f.Action(Cmd::MnuFile)->isEnabled());  // About does not lock
  WindowProbe::ViewCanvas(f).SetPen(Colours::Red, 2);
  WindowProbe::ViewCanvas(f).MoveTo(5, 5);
  WindowProbe::ViewCanvas(f).LineTo(100, 100);
  WindowProbe::ViewCanvas(f).Flush();
  const QImage drawn = Controls(f).viewImage.copy();
  Controls(f).About->findChild<QPushButton*>()->click();
  f.Run(Cmd::MnuUninstall);
  Controls(f).Uninstall->findChild<QPushButton*>()->click();
  WindowProbe::ViewCanvas(f).Flush();
  EXPECT_TRUE(Controls(f).About->isHidden());
  EXPECT_TRUE(Controls(f).Uninstall->isHidden());
  EXPECT_EQ(Controls(f).viewImage, drawn);
}

TEST_F(CommandsTest, OnlineHelpShowsOnlyWhenSwitchedOnAndTogglingMarksTheDocument) {
  Form1& f = Start();
  WindowProbe::ShowOnlineHelp(f, 15);
  EXPECT_EQ(Controls(f).OnLineHelp[0]->text().toStdString(), " ");
  f.Run(Cmd::Mnuhelp);
  EXPECT_TRUE(f.Action(Cmd::Mnuhelp)->isChecked());
  EXPECT_EQ(State(f).doc.DocumentModified, 1);
  prompts.answers = {Answer::No};
  f.Run(Cmd::MnuFileNew);
  EXPECT_TRUE(State(f).ui.helpLabels[0].starts_with("NEW File clears all objects on the mesh"));
  EXPECT_TRUE(State(f).ui.helpLabels[1].starts_with("Use ANALYSE to calculate"));
  WindowProbe::ShowOnlineHelp(f, 2);
  EXPECT_EQ(State(f).ui.helpLabels[0], " ");
  EXPECT_TRUE(State(f).ui.helpLabels[1].starts_with("OPEN File puts a saved file on the mesh"));
  State(f).cmd.AddGuidelineStep = 1;
  WindowProbe::ShowOnlineHelp(f, 27);
  EXPECT_TRUE(State(f).ui.helpLabels[0].starts_with("Guidelines may be entered as an aid"));
  EXPECT_TRUE(State(f).ui.helpLabels[1].size() > 1);
  f.Run(Cmd::Mnuhelp);
  EXPECT_EQ(State(f).ui.helpLabels[1], " ");
}

TEST_F(CommandsTest, HelpAndTutorialOpenTheirDocumentsOrSayTheyAreMissing) {
  Form1& f = Start();
  f.Run(Cmd::MnuHelpHelp);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].find("could not be found"), std::string::npos);
  EXPECT_TRUE(prompts.opened.empty());
  std::filesystem::create_directories(folder / "Tutorial");
  WriteFile("Tutorial/tutorial.html", "<html></html>");
  f.Run(Cmd::MnuHelpTutorial);
  ASSERT_EQ(prompts.opened.size(), 1u);
  EXPECT_EQ(prompts.opened[0], Folder() + "Tutorial/tutorial.html");
  prompts.desktopAccepts = false;
  f.Run(Cmd::MnuHelpWebsite);
  EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(CommandsTest, TheInstalledHelpDocumentsCoverTheMenus) {
  const std::filesystem::path resources = std::filesystem::path(QUORVANE_SOURCE_DIR) / "resources";
  std::ifstream help(resources / "Help" / "quorvane.html");
  const std::string text(std::istreambuf_iterator<char>(help), {});
  for (const char* command : {"New", "Open", "Save As", "Add Rectangle", "Add Circle", "Set up Mesh", "Run",
                              "Show Grid", "Mesh Size", "Preferences", "On Line Help", "Add Title"})
    EXPECT_NE(text.find(command), std::string::npos) << command;
  EXPECT_TRUE(std::filesystem::exists(resources / "Tutorial" / "tutorial.html"));
}

TEST_F(CommandsTest, GridCommandsDrawAndRemoveThePatternAndMarkTheDocument) {
  Form1& f = Start();
  WindowProbe::ViewCanvas(f).Flush();
  const QImage withGrid = Controls(f).viewImage.copy();
  f.Run(Cmd::MnuToolsShowGrid);
  WindowProbe::ViewCanvas(f).Flush();
  EXPECT_EQ(Controls(f).viewImage, MakeBitmap(State(f).mesh.ViewRight, State(f).mesh.ViewSize));
  EXPECT_FALSE(f.Action(Cmd::MnuToolsShowGrid)->isChecked());
  EXPECT_EQ(State(f).doc.DocumentModified, 1);
  f.Run(Cmd::MnuToolsShowGrid);
  WindowProbe::ViewCanvas(f).Flush();
  EXPECT_EQ(Controls(f).viewImage, withGrid);
  f.Run(Cmd::MnuToolsLines);
  EXPECT_TRUE(f.Action(Cmd::MnuToolsLines)->isChecked());
  EXPECT_FALSE(f.Action(Cmd::MnuToolsDots)->isChecked());
  f.Run(Cmd::MnuToolsDots);
  WindowProbe::ViewCanvas(f).Flush();
  EXPECT_EQ(Controls(f).viewImage, withGrid);
  EXPECT_EQ(Controls(f).ViewSnapshot, withGrid);
}

TEST_F(CommandsTest, LockedCommandsDoNotRunFromTheirHandlers) {
  Form1& f = Start();
  LockCommands(State(f).ui, WindowProbe::Services(f), false);
  WindowProbe::SyncUi(f);
  f.Run(Cmd::N300);
  EXPECT_EQ(State(f).mesh.MeshSize, 120);
}

// The window's services as the drawings use them: ProgressBar3 shown at 0
// whatever an earlier Escape left, and an Escape pressed while the drawing runs
// taken in at the next progress call, which then answers false.
TEST_F(CommandsTest, AnEscapeDuringTheProgressEndsTheDrawing) {
  Form1& f = Start();
  WindowServices& services = WindowProbe::Services(f);
  Controls(f).ProgressBar3->setValue(700);
  State(f).cmd.EscapePressed = 1;  // pressed earlier, with nothing to stop
  services.ShowProgress(true);
  EXPECT_FALSE(Controls(f).ProgressBar3->isHidden());
  EXPECT_EQ(Controls(f).ProgressBar3->value(), 0);
  EXPECT_TRUE(services.Progress(100));
  QCoreApplication::postEvent(&f, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  EXPECT_FALSE(services.Progress(200));
  services.ShowProgress(false);
  EXPECT_TRUE(Controls(f).ProgressBar3->isHidden());
}

}  // namespace
