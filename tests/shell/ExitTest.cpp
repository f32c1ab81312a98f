// Leaving the program: the save question, the preferences written, the two
// exit panels taking turns.
#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>

#include "ShellFixture.h"

namespace {

using ExitTest = ShellFixture;

TEST_F(ExitTest, AnUnchangedDocumentGoesStraightToTheExitPanelAndWritesThePreferences) {
  WriteFile("Pref.PRF", Records({1, 0, 9, 0, 0, 4, 7}));
  WriteFile("WorkDir.DIR", "/srv/flows");
  Form1& f = Start();
  f.Run(Cmd::MnuFileExit);
  EXPECT_TRUE(prompts.questions.empty());
  EXPECT_FALSE(Controls(f).ExitPanels[0]->isHidden());  // 7 toggles to 6: Panel6
  EXPECT_TRUE(Controls(f).ExitPanels[1]->isHidden());
  EXPECT_EQ(ReadFile("Pref.PRF"), Records({1, 0, 9, 0, 0, 5, 6}));
  EXPECT_EQ(ReadFile("WorkDir.DIR"), "/srv/flows");
  Controls(f).ExitPanels[0]->ExitButton->click();
  EXPECT_EQ(Controls(f).ExitPanels[0]->ExitProgress->value(), 40000);
  EXPECT_TRUE(WindowProbe::Exiting(f));
}

TEST_F(ExitTest, TwoRunsShowDifferentPanelsAndTheLastTipWrapsToZero) {
  WriteFile("Pref.PRF", Records({0, 1, 21, 0, 0, 11, 7}));
  Start().Run(Cmd::MnuFileExit);
  EXPECT_FALSE(Controls(*window).ExitPanels[0]->isHidden());
  EXPECT_EQ(ReadFile("Pref.PRF"), Records({0, 1, 21, 0, 0, 0, 6}));
  window.reset();
  Start().Run(Cmd::MnuFileExit);
  EXPECT_FALSE(Controls(*window).ExitPanels[1]->isHidden());
  EXPECT_TRUE(Controls(*window).ExitPanels[0]->isHidden());
}

TEST_F(ExitTest, ConfirmingPreferencesOnceMakesTheNextRunShowTheSamePanel) {
  WritePreferences(false, 7);
  Form1& f = Start();
  f.Run(Cmd::MnuPreferences);
  Controls(f).PrefBox->Button2->click();
  f.Run(Cmd::MnuFileExit);
  EXPECT_FALSE(Controls(f).ExitPanels[1]->isHidden());  // toggled twice: 7 again
}

TEST_F(ExitTest, CancellingTheSaveQuestionKeepsTheWindowAndAsksAgainNextTime) {
  WritePreferences();
  Form1& f = Start();
  State(f).doc.DocumentModified = 1;
  prompts.answers = {Answer::Cancel, Answer::Cancel};
  f.Run(Cmd::MnuFileExit);
  ASSERT_EQ(prompts.questions.size(), 1u);
  EXPECT_EQ(prompts.questions[0], "Save changes to Quorvane [UNTITLED]?");
  EXPECT_TRUE(Controls(f).ExitPanels[0]->isHidden());
  EXPECT_TRUE(Controls(f).ExitPanels[1]->isHidden());
  EXPECT_EQ(State(f).doc.SaveCancelled, 0);
  EXPECT_EQ(ReadFile("Pref.PRF"), Records({0, 1, 21, 0, 0, 0, 7}));  // untouched
  f.close();
  EXPECT_EQ(prompts.questions.size(), 2u);
  EXPECT_TRUE(f.isVisible() || !WindowProbe::Exiting(f));
}

TEST_F(ExitTest, ChangesMadeWhileTheExitPanelIsUpAreOfferedBeforeLeaving) {
  WritePreferences();
  Form1& f = Start();
  State(f).doc.DocumentModified = 1;
  prompts.answers = {Answer::No, Answer::Cancel};
  f.Run(Cmd::MnuFileExit);
  ASSERT_FALSE(Controls(f).ExitPanels[0]->isHidden());
  Controls(f).ExitPanels[0]->ExitButton->click();  // nothing new since "No": no question
  EXPECT_EQ(prompts.questions.size(), 1u);
  EXPECT_TRUE(WindowProbe::Exiting(f));

  WindowProbe::Exiting(f) = false;
  State(f).doc.DocumentModified = 1;  // a change after the panel appeared
  Controls(f).ExitPanels[0]->ExitButton->click();
  EXPECT_EQ(prompts.questions.size(), 2u);
  EXPECT_FALSE(WindowProbe::Exiting(f));
}

TEST_F(ExitTest, AYesWhoseSaveDoesNotHappenActsAsCancel) {
  WritePreferences();
  Form1& f = Start();
  State(f).doc.DocumentModified = 1;  // untitled: Yes asks for a name, and none is given
  prompts.answers = {Answer::Yes};
  f.Run(Cmd::MnuFileExit);
  EXPECT_TRUE(Controls(f).ExitPanels[0]->isHidden());
  EXPECT_TRUE(Controls(f).ExitPanels[1]->isHidden());
}

TEST_F(ExitTest, AWriteErrorIsReportedNamingTheFileAndTheWindowStaysOpen) {
  WritePreferences();
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
    EXPECT_TRUE(Controls(f).ExitPanels[0]->isHidden());
    EXPECT_TRUE(Controls(f).ExitPanels[1]->isHidden());
    EXPECT_FALSE(WindowProbe::Exiting(f));
  }
  // Once the folder is put right the exit goes on, showing the panel that
  // follows the one of the last run.
  std::filesystem::remove_all(folder / "Pref.PRF");
  f.Run(Cmd::MnuFileExit);
  EXPECT_EQ(prompts.messages.size(), 2u);
  EXPECT_FALSE(Controls(f).ExitPanels[0]->isHidden());
  EXPECT_EQ(ReadFile("Pref.PRF").substr(24, 4), Records({6}));
}

}  // namespace
