// Where the program keeps its files: beside itself in a build or a portable
// folder, in the user's folders when it runs from an installed tree; and what
// it tells the user about removing it.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "ShellFixture.h"
#include "shell/InstallLayout.h"
#include "shell/OnlineHelp.h"

namespace {

namespace fs = std::filesystem;

// Pref.PRF's seven little-endian records.
std::string Records(std::initializer_list<std::int32_t> values) {
  std::string bytes;
  for (std::int32_t v : values)
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
  return bytes;
}

class InstallLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int serial = 0;
    root = fs::temp_directory_path() /
           ("quorvane-layout-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    fs::remove_all(root);
    fs::create_directories(root);
  }
  void TearDown() override {
    window.reset();
    fs::remove_all(root);
  }

  static void Write(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  static std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // An installed tree as `cmake --install` lays it out: bin/ and share/quorvane/.
  fs::path InstalledTree(const std::string& prefs = Records({0, 1, 21, 1, 0, 0, 7})) {
    const fs::path prefix = root / "usr";
    fs::create_directories(prefix / "bin");
    Write(prefix / "share/quorvane/Help/quorvane.html", "<html></html>");
    Write(prefix / "share/quorvane/Tutorial/tutorial.html", "<html></html>");
    Write(prefix / "share/quorvane/Pref.PRF", prefs);
    Write(prefix / "share/quorvane/WorkDir.DIR", "A");
    return prefix;
  }
  std::string Config() const { return (root / "config").string(); }
  std::string Documents() const { return (root / "Documents").string(); }
  InstallLayout Layout(const fs::path& executableFolder) const {
    return LayoutOf(executableFolder.string(), Config(), Documents());
  }

  fs::path root;
  ScriptedPrompts prompts;
  std::unique_ptr<Form1> window;
};

TEST_F(InstallLayoutTest, AProgramBesideItsHelpKeepsEverythingInItsOwnFolder) {
  const fs::path build = root / "build";
  Write(build / "Help/quorvane.html", "");
  const InstallLayout layout = Layout(build);
  EXPECT_FALSE(layout.installed);
  EXPECT_EQ(layout.preferenceFolder, build.string() + "/");
  EXPECT_EQ(layout.sharedFolder, build.string() + "/");
  EXPECT_EQ(layout.defaultDataFolder, build.string() + "/Data");
}

TEST_F(InstallLayoutTest, AProgramWhoseHelpIsUnderShareUsesTheUsersFoldersThoughItsOwnAreWritable) {
  const fs::path prefix = InstalledTree();
  // The temporary tree is writable, as every folder is for root: the layout decides.
  const InstallLayout layout = Layout(prefix / "bin");
  EXPECT_TRUE(layout.installed);
  EXPECT_EQ(layout.sharedFolder, (prefix / "share/quorvane").string() + "/");
  EXPECT_EQ(layout.preferenceFolder, Config() + "/Quorvane/");
  EXPECT_EQ(layout.defaultDataFolder, Documents() + "/Quorvane");
  // A trailing separator on the executable's folder changes nothing.
  EXPECT_EQ(Layout((prefix / "bin").string() + "/").sharedFolder, layout.sharedFolder);
}

TEST_F(InstallLayoutTest, HelpBesideTheProgramWinsOverAnInstalledTreeNextToIt) {
  const fs::path prefix = InstalledTree();
  Write(prefix / "bin/Help/quorvane.html", "");
  EXPECT_FALSE(Layout(prefix / "bin").installed);
}

TEST_F(InstallLayoutTest, WithoutHelpAnywhereTheProgramKeepsItsFilesBesideItself) {
  fs::create_directories(root / "bin");
  Write(root / "share/quorvane/Tutorial/tutorial.html", "");  // no Help: not an installed tree
  const InstallLayout layout = Layout(root / "bin");
  EXPECT_FALSE(layout.installed);
  EXPECT_EQ(layout.preferenceFolder, (root / "bin").string() + "/");
}

TEST_F(InstallLayoutTest, TheFirstInstalledStartCopiesTheDefaultsAndLaterStartsKeepTheUsersOwn) {
  const std::string defaults = Records({1, 0, 9, 0, 0, 3, 6});
  const InstallLayout layout = Layout(InstalledTree(defaults) / "bin");
  PrepareUserFolders(layout);
  EXPECT_EQ(Read(layout.preferenceFolder + "Pref.PRF"), defaults);
  EXPECT_EQ(Read(layout.preferenceFolder + "WorkDir.DIR"), "A");
  Write(layout.preferenceFolder + "Pref.PRF", "mine");
  PrepareUserFolders(layout);
  EXPECT_EQ(Read(layout.preferenceFolder + "Pref.PRF"), "mine");
  EXPECT_EQ(Read(layout.sharedFolder + "Pref.PRF"), defaults);
}

TEST_F(InstallLayoutTest, AFolderLayoutIsLeftAsItIs) {
  const InstallLayout layout = FolderLayout((root / "portable").string());
  PrepareUserFolders(layout);
  PrepareDataFolder(layout, layout.defaultDataFolder);
  EXPECT_FALSE(fs::exists(root / "portable"));
}

TEST_F(InstallLayoutTest, AnInstalledWindowKeepsTheUsersFilesInTheirFoldersAndOpensTheSharedHelp) {
  const std::string defaults = Records({1, 1, 21, 0, 0, 0, 7});  // lines, no tip
  const InstallLayout layout = Layout(InstalledTree(defaults) / "bin");
  window = std::make_unique<Form1>(&prompts, layout);
  Form1& f = *window;
  EXPECT_TRUE(State(f).grid.LinesChecked);  // the defaults were read from the user's copy
  EXPECT_EQ(State(f).prefs.controls.WorkingDir, Documents() + "/Quorvane");
  EXPECT_TRUE(fs::is_directory(Documents() + "/Quorvane"));
  EXPECT_EQ(Read(Config() + "/Quorvane/WorkDir.DIR"), Documents() + "/Quorvane");

  f.Run(Cmd::MnuHelpHelp);
  f.Run(Cmd::MnuHelpTutorial);
  ASSERT_EQ(prompts.opened.size(), 2u);
  EXPECT_EQ(prompts.opened[0], layout.sharedFolder + "Help/quorvane.html");
  EXPECT_EQ(prompts.opened[1], layout.sharedFolder + "Tutorial/tutorial.html");

  f.Run(Cmd::MnuFileExit);
  EXPECT_TRUE(prompts.messages.empty());
  EXPECT_EQ(Read(Config() + "/Quorvane/Pref.PRF"), Records({1, 1, 21, 0, 0, 1, 6}));
  // The shared tree is never written.
  EXPECT_EQ(Read(layout.sharedFolder + "Pref.PRF"), defaults);
  EXPECT_EQ(Read(layout.sharedFolder + "WorkDir.DIR"), "A");
}

TEST_F(InstallLayoutTest, ADataFolderTheUserChoseIsNotMadeAtStartUp) {
  const InstallLayout layout = Layout(InstalledTree() / "bin");
  Write(layout.preferenceFolder + "WorkDir.DIR", (root / "elsewhere").string());
  window = std::make_unique<Form1>(&prompts, layout);
  EXPECT_EQ(State(*window).prefs.controls.WorkingDir, (root / "elsewhere").string());
  EXPECT_FALSE(fs::exists(root / "elsewhere"));
  EXPECT_FALSE(fs::exists(Documents() + "/Quorvane"));
}

// The removal advice names what exists here: the package manager for the
// Debian package and the folder of a portable copy; no Start menu.
TEST_F(InstallLayoutTest, TheUninstallPanelAndTheFirstTipSayHowTheProgramIsRemovedHere) {
  const fs::path portable = root / "portable";
  Write(portable / "Pref.PRF", Records({0, 1, 21, 0, 0, 0, 7}));
  Write(portable / "WorkDir.DIR", "A");
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
