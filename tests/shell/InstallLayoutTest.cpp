// Where the program keeps its files: beside itself in a build or a portable
// folder, in the user's folders when it runs from an installed tree; and what
// it tells the user about removing it.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "session/SessionFixture.h"
#include "shell/InstallLayout.h"
#include "shell/OnlineHelp.h"

namespace {

namespace fs = std::filesystem;

// The program folder of the fixture stands for the root of a file system.
class InstallLayoutTest : public SessionFixture {
 protected:
  // An installed tree as `cmake --install` lays it out: bin/ and share/quorvane/.
  fs::path InstalledTree(const std::string& prefs = Records({0, 1, 21, 1, 0, 0, 7})) {
    const fs::path prefix = folder / "usr";
    fs::create_directories(prefix / "bin");
    WriteFile(prefix / "share/quorvane/Help/quorvane.html", "<html></html>");
    WriteFile(prefix / "share/quorvane/Tutorial/tutorial.html", "<html></html>");
    WriteFile(prefix / "share/quorvane/Pref.PRF", prefs);
    WriteFile(prefix / "share/quorvane/WorkDir.DIR", "A");
    return prefix;
  }
  std::string Config() const { return (folder / "config").string(); }
  std::string Documents() const { return (folder / "Documents").string(); }
  InstallLayout Layout(const fs::path& executableFolder) const {
    return LayoutOf(executableFolder.string(), Config(), Documents());
  }
};

TEST_F(InstallLayoutTest, TheProgramKeepsItsFilesBesideItselfUnlessItsHelpIsUnderShare) {
  const fs::path prefix = InstalledTree();
  WriteFile("build/Help/quorvane.html", "");
  WriteFile("alone/share/quorvane/Tutorial/tutorial.html", "");  // no Help: not an installed tree
  fs::create_directories(folder / "alone/bin");
  for (const fs::path& own : {folder / "build", folder / "alone/bin"}) {
    const InstallLayout layout = Layout(own);
    EXPECT_FALSE(layout.installed) << own;
    EXPECT_EQ(layout.preferenceFolder, own.string() + "/");
    EXPECT_EQ(layout.sharedFolder, own.string() + "/");
    EXPECT_EQ(layout.defaultDataFolder, own.string() + "/Data");
  }
  // The temporary tree is writable, as every folder is for root: the layout decides.
  const InstallLayout layout = Layout(prefix / "bin");
  EXPECT_TRUE(layout.installed);
  EXPECT_EQ(layout.sharedFolder, (prefix / "share/quorvane").string() + "/");
  EXPECT_EQ(layout.preferenceFolder, Config() + "/Quorvane/");
  EXPECT_EQ(layout.defaultDataFolder, Documents() + "/Quorvane");
  // A trailing separator on the executable's folder changes nothing.
  EXPECT_EQ(Layout((prefix / "bin").string() + "/").sharedFolder, layout.sharedFolder);
  // Help beside the program wins over the installed tree next to it.
  WriteFile(prefix / "bin/Help/quorvane.html", "");
  EXPECT_FALSE(Layout(prefix / "bin").installed);
}

TEST_F(InstallLayoutTest, TheFirstInstalledStartCopiesTheDefaultsAndLaterStartsKeepTheUsersOwn) {
  const std::string defaults = Records({1, 0, 9, 0, 0, 3, 6});
  const InstallLayout layout = Layout(InstalledTree(defaults) / "bin");
  PrepareUserFolders(layout);
  EXPECT_EQ(ReadFile(layout.preferenceFolder + "Pref.PRF"), defaults);
  EXPECT_EQ(ReadFile(layout.preferenceFolder + "WorkDir.DIR"), "A");
  WriteFile(layout.preferenceFolder + "Pref.PRF", "mine");
  PrepareUserFolders(layout);
  EXPECT_EQ(ReadFile(layout.preferenceFolder + "Pref.PRF"), "mine");
  EXPECT_EQ(ReadFile(layout.sharedFolder + "Pref.PRF"), defaults);
}

TEST_F(InstallLayoutTest, AFolderLayoutIsLeftAsItIs) {
  const InstallLayout layout = FolderLayout((folder / "portable").string());
  PrepareUserFolders(layout);
  PrepareDataFolder(layout, layout.defaultDataFolder);
  EXPECT_FALSE(fs::exists(folder / "portable"));
}

TEST_F(InstallLayoutTest, AnInstalledWindowKeepsTheUsersFilesInTheirFoldersAndOpensTheSharedHelp) {
  const std::string defaults = Records({1, 1, 21, 0, 0, 0, 7});  // lines, no tip
  const InstallLayout layout = Layout(InstalledTree(defaults) / "bin");
  window = std::make_unique<Form1>(&prompts, layout);
  Form1& f = *window;
  EXPECT_TRUE(State(f).grid.LinesChecked);  // the defaults were read from the user's copy
  EXPECT_EQ(State(f).prefs.controls.WorkingDir, Documents() + "/Quorvane");
  EXPECT_TRUE(fs::is_directory(Documents() + "/Quorvane"));
  EXPECT_EQ(ReadFile(Config() + "/Quorvane/WorkDir.DIR"), Documents() + "/Quorvane");

  f.Run(Cmd::MnuHelpHelp);
  f.Run(Cmd::MnuHelpTutorial);
  ASSERT_EQ(prompts.opened.size(), 2u);
  EXPECT_EQ(prompts.opened[0], layout.sharedFolder + "Help/quorvane.html");
  EXPECT_EQ(prompts.opened[1], layout.sharedFolder + "Tutorial/tutorial.html");

  f.Run(Cmd::MnuFileExit);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(ReadFile(Config() + "/Quorvane/Pref.PRF"), Records({1, 1, 21, 0, 0, 1, 6}));
  // The shared tree is never written.
  EXPECT_EQ(ReadFile(layout.sharedFolder + "Pref.PRF"), defaults);
  EXPECT_EQ(ReadFile(layout.sharedFolder + "WorkDir.DIR"), "A");
}

TEST_F(InstallLayoutTest, ADataFolderTheUserChoseIsNotMadeAtStartUp) {
  const InstallLayout layout = Layout(InstalledTree() / "bin");
  WriteFile(layout.preferenceFolder + "WorkDir.DIR", (folder / "elsewhere").string());
  window = std::make_unique<Form1>(&prompts, layout);
  EXPECT_EQ(State(*window).prefs.controls.WorkingDir, (folder / "elsewhere").string());
  EXPECT_FALSE(fs::exists(folder / "elsewhere"));
  EXPECT_FALSE(fs::exists(Documents() + "/Quorvane"));
}

// The removal advice names what exists here: the package manager for the
// Debian package and the folder of a portable copy; no Start menu.
TEST_F(InstallLayoutTest, TheUninstallPanelAndTheFirstTipSayHowTheProgramIsRemovedHere) {
  const fs::path portable = folder / "portable";
  WriteFile(portable / "Pref.PRF", Records({0, 1, 21, 0, 0, 0, 7}));
  WriteFile(portable / "WorkDir.DIR", "A");
  window = std::make_unique<Form1>(&prompts, portable.string());
  window->Run(Cmd::MnuUninstall);
  ASSERT_FALSE(Controls(*window).Uninstall->isHidden());
  QString panel;
  for (QLabel* l : Controls(*window).Uninstall->findChildren<QLabel*>()) panel += l->text() + "\n";
  const Tip& tip = StartUpTips()[0];
  const QString tipText = QString(tip.firstLine) + " " + tip.paragraph;
  EXPECT_STREQ(tip.firstLine, "Uninstalling.");
  for (const QString& text : {panel, tipText}) {
    EXPECT_TRUE(text.contains("apt remove quorvane")) << text.toStdString();
    EXPECT_TRUE(text.contains("deleting that folder")) << text.toStdString();
    EXPECT_FALSE(text.contains("Start Programs")) << text.toStdString();
    EXPECT_FALSE(text.contains("progam")) << text.toStdString();
  }
}

}  // namespace
