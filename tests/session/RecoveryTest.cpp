// Unsaved work after a crash: the whole program is killed during a run and
// while editing (a copy of this test program, started for it and driven like
// any session), and the next start offers the work back. Also what a live
// session does with its copy: it follows the edits, goes with Save, New and
// Open, and a second window leaves it alone.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <set>

#include "SessionFixture.h"
#include "core/DocumentTestScene.h"
#include "documents/DocumentFile.h"
#include "documents/Recovery.h"
#include "shell/RecoveryKeeper.h"

namespace {

// The environment of a program the tests start to be killed: the pipe it
// reports on and the data folder it keeps its copy in.
constexpr const char* VictimPipeVariable = "QUORVANE_TEST_VICTIM_PIPE";
constexpr const char* VictimDataVariable = "QUORVANE_TEST_VICTIM_DATA";

std::string DataHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString(); }

class RecoveryTest : public SessionFixture {
 protected:
  void SetUp() override {
    SessionFixture::SetUp();
    recoveryFolder = RecoveryKeeper::DefaultFolder();
    std::filesystem::remove_all(recoveryFolder);
  }
  void TearDown() override {
    SessionFixture::TearDown();
    std::filesystem::remove_all(recoveryFolder);
  }

  void DrawCircle(float column = 50) { SessionFixture::DrawCircle(column, 50, 6); }
  // Starts the program and waits until the question about left work, asked
  // once the window is on the screen, is answered.
  Form1& LaunchAndAnswer() {
    Form1& f = Launch();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !WindowProbe::Recovery(f).OfferPending(); }, 5000));
    QApplication::processEvents();
    return f;
  }
  bool WaitForCopies(int n) {
    return QTest::qWaitFor([&] { return WindowProbe::Recovery(*window).CopiesWritten() >= n; }, 5000);
  }
  std::vector<float> Circle() const {
    return {State(*window).objects.CircleData.begin(), State(*window).objects.CircleData.begin() + 10};
  }
  std::vector<float> Solution() const { return {State(*window).mesh.StreamFunction.begin(), State(*window).mesh.StreamFunction.end()}; }
  std::set<std::string> RecoveryFiles() const {
    std::set<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(recoveryFolder, ec), end; !ec && it != end; it.increment(ec))
      names.insert(it->path().filename().string());
    return names;
  }
  // What the window's copy holds, read as the next start would.
  DocumentImage CopyOnDisk() {
    DocumentImage image;
    std::string reason;
    EXPECT_TRUE(LoadDocumentFiles(WindowProbe::Recovery(*window).Slot().CopyName(), State(*window).mesh.ViewSize, image, reason))
        << reason;
    return image;
  }
  // The copy a session that ended abnormally leaves: written, and its lock let go.
  void LeaveCopy(const DocumentImage& image) {
    RecoverySlot crashed(recoveryFolder);
    std::string reason;
    ASSERT_TRUE(crashed.Write(image, reason)) << reason;
  }
  // The circle drawn and solved in a session that ends normally: what a
  // recovered session must show.
  void DrawReference() {
    Launch();
    DrawCircle();
    referenceCircle = Circle();
    Run();
    referenceSolution = Solution();
    window.reset();
    ASSERT_EQ(RecoveryFiles(), std::set<std::string>{}) << "a normal end leaves no copy";
  }

  // Starts this test program again to run the session `name` (registered
  // below), waits until it reports that it is where it is to be killed, and
  // kills it with SIGKILL.
  void KillVictimWhenReady(const std::string& name) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.push_back(std::string(VictimPipeVariable) + "=" + std::to_string(ready[1]));
    env.push_back(std::string(VictimDataVariable) + "=" + DataHome());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", filter = "--gtest_filter=RecoveryVictim." + name;
    char* argv[] = {self.data(), filter.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, self.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(ready[1]);
    ASSERT_EQ(spawned, 0);
    pollfd p{ready[0], POLLIN, 0};
    char c = 0;
    const bool reported = ::poll(&p, 1, 60000) == 1 && ::read(ready[0], &c, 1) == 1;
    ::close(ready[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    std::error_code ec;
    std::filesystem::remove_all("/tmp/quorvane-tests-" + std::to_string(child), ec);
    for (int serial = 0; serial < 4; ++serial)
      std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                      ("quorvane-session-" + std::to_string(child) + "-" + std::to_string(serial)),
                                  ec);
    ASSERT_TRUE(reported) << "the session " << name << " ended before it was killed";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  }

  // Recovered: untitled, changed, the circle where it was drawn.
  void ExpectRecoveredCircle(const std::string& at) {
    const Form1& f = *window;
    EXPECT_EQ(prompts.yesNoQuestions, std::vector<std::string>{"Recover unsaved work?"}) << at;
    EXPECT_EQ(f.windowTitle().toStdString(), "Quorvane [UNTITLED]") << at;
    EXPECT_EQ(State(f).doc.DocumentModified, 1) << at;
    EXPECT_EQ(State(f).doc.CurrentFileName, "") << at;
    EXPECT_EQ(State(f).objects.RectDataLen, 0) << "the rectangle in progress was never part of the drawing, " << at;
    EXPECT_EQ(Circle(), referenceCircle) << at;
    ExpectIdle(at);
  }
  // The exit as the user makes it, letting the recovered work go.
  void ExitWithoutSaving() {
    prompts.answers = {Answer::No};
    Choose(Cmd::MnuFileExit);
    const std::size_t shown = Controls(*window).ExitPanels[0]->isVisible() ? 0 : 1;
    ASSERT_TRUE(Controls(*window).ExitPanels[shown]->isVisible());
    QTest::mouseClick(Controls(*window).ExitPanels[shown]->ExitButton, Qt::LeftButton);
    EXPECT_EQ(RecoveryFiles(), std::set<std::string>{}) << "a normal exit leaves nothing to recover";
    window.reset();
  }

  std::string recoveryFolder;
  std::vector<float> referenceCircle, referenceSolution;
};

// ---------------------------------------------------------------- the sessions that are killed

// Registered only in the copy of the program that the tests start.
class Victim : public RecoveryTest {
 protected:
  void SetUp() override {
    RecoveryTest::SetUp();
    setenv("XDG_DATA_HOME", std::getenv(VictimDataVariable), 1);
    Launch();
  }
  static void ReportReadyAndWait() {
    const int fd = std::atoi(std::getenv(VictimPipeVariable));
    (void)!::write(fd, "r", 1);
    for (;;) ::pause();
  }
};

// The circle is drawn and its copy written; the run is under way when the
// program is killed.
class KilledDuringARun : public Victim {
  void TestBody() override {
    DrawCircle();
    ASSERT_TRUE(WaitForCopies(1));
    QTimer solving;
    QObject::connect(&solving, &QTimer::timeout, [this] {
      if (Controls(*window).ProgressBar1->isVisible()) ReportReadyAndWait();
    });
    solving.start(0);
    ClickButton(Cmd::SpeedButton21);
    FAIL() << "the run ended before the program was killed";
  }
};

// The circle is drawn and solved, and a rectangle is half drawn.
class KilledWhileEditingAfterARun : public Victim {
  void TestBody() override {
    DrawCircle();
    ASSERT_TRUE(WaitForCopies(1));
    ClickButton(Cmd::SpeedButton21);
    ASSERT_EQ(State(*window).display.StreamlinesShown, 1);
    ASSERT_TRUE(WaitForCopies(2)) << "the solved drawing is copied once the program is idle";
    ClickButton(Cmd::SpeedButton4);
    ClickView(20, 20);
    ClickView(20, 30);
    ReportReadyAndWait();
  }
};

const bool victimsRegistered = [] {
  if (!std::getenv(VictimPipeVariable)) return false;
  ::testing::RegisterTest("RecoveryVictim", "DuringARun", nullptr, nullptr, __FILE__, __LINE__,
                          []() -> ::testing::Test* { return new KilledDuringARun; });
  ::testing::RegisterTest("RecoveryVictim", "WhileEditingAfterARun", nullptr, nullptr, __FILE__, __LINE__,
                          []() -> ::testing::Test* { return new KilledWhileEditingAfterARun; });
  return true;
}();

// ---------------------------------------------------------------- the next start

// Answered Yes, the drawing comes back; after a kill during the run it runs as
// it would have, after a kill while editing its solution comes back with it.
TEST_F(RecoveryTest, AKillLeavesTheDrawingAndAnySolutionToRecover) {
  ASSERT_NO_FATAL_FAILURE(DrawReference());
  for (const bool duringARun : {true, false})
    for (int round = 0; round < 2; ++round) {
      const std::string at = (duringARun ? "during a run, round " : "while editing, round ") + std::to_string(round + 1);
      ASSERT_NO_FATAL_FAILURE(KillVictimWhenReady(duringARun ? "DuringARun" : "WhileEditingAfterARun"));
      ASSERT_EQ(RecoveryFiles().count("recovery-0.QDN"), 1u) << at;
      prompts = ScriptedPrompts();
      prompts.answers = {Answer::Yes};
      LaunchAndAnswer();
      ExpectRecoveredCircle(at);
      if (duringARun) {
        EXPECT_EQ(State(*window).display.StreamlinesShown, 0) << "the run was cut off, " << at;
        ClickButton(Cmd::SpeedButton21);
        ASSERT_EQ(State(*window).display.StreamlinesShown, 1) << at;
        EXPECT_EQ(Solution(), referenceSolution) << at;
      } else {
        EXPECT_EQ(State(*window).display.StreamlinesShown, 1) << at;
        EXPECT_EQ(Solution(), referenceSolution) << at;
        // The flow lines are on the view: they go when the drawing is redrawn alone.
        const QImage recovered = View();
        WindowProbe::RedrawView(*window);
        EXPECT_NE(View(), recovered) << at;
      }
      ExitWithoutSaving();
    }
}

// The question waits for the window, and the start-up tip for the answer; No
// removes the copy, and without a copy the start is as it always was.
TEST_F(RecoveryTest, TheQuestionComesAfterTheWindowIsShownAndBeforeTheTip) {
  struct Watching : ScriptedPrompts {
    std::function<void()> onQuestion;
    Answer AskYesNo(const std::string& text) override {
      if (onQuestion) onQuestion();
      return ScriptedPrompts::AskYesNo(text);
    }
  };
  ASSERT_NO_FATAL_FAILURE(DrawReference());
  WritePreferences(true);
  for (const Answer answer : {Answer::No, Answer::No, Answer::Yes}) {
    ASSERT_NO_FATAL_FAILURE(KillVictimWhenReady("DuringARun"));
    Watching watching;
    watching.answers = {answer};
    bool shown = false, tipShown = true;
    window = std::make_unique<Form1>(&watching, folder.string() + "/");
    watching.onQuestion = [&] {
      shown = window->isVisible();
      tipShown = Controls(*window).GroupBox1->isVisible();
    };
    EXPECT_FALSE(Controls(*window).GroupBox1->isVisibleTo(window.get())) << "the tip waits for the answer";
    ShowMainWindow(*window);
    // A key before the question changes nothing: the copy waits for the answer.
    QTest::keyClick(window.get(), Qt::Key_A);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watching.yesNoQuestions.empty(); }, 5000));
    EXPECT_TRUE(shown);
    EXPECT_FALSE(tipShown);
    QApplication::processEvents();
    EXPECT_TRUE(Controls(*window).GroupBox1->isVisible()) << "the tip follows the answer";
    EXPECT_EQ(State(*window).objects.CircleDataLen, answer == Answer::Yes ? 10 : 0);
    EXPECT_FALSE(window->Action(Cmd::MnuFile)->isEnabled()) << "the tip holds the commands as at any start";
    if (answer == Answer::No) {
      EXPECT_EQ(State(*window).doc.DocumentModified, 0);
      EXPECT_EQ(window->windowTitle().toStdString(), "Quorvane [UNTITLED]");
      EXPECT_EQ(RecoveryFiles().count("recovery-0.QDN"), 0u);
      window.reset();
      prompts = ScriptedPrompts();
      LaunchAndAnswer();
      EXPECT_TRUE(prompts.questions.empty()) << "the next start asks nothing";
    }
    window.reset();
  }
  // No copy: the tip at once, and no question.
  prompts = ScriptedPrompts();
  window = std::make_unique<Form1>(&prompts, folder.string() + "/");
  EXPECT_TRUE(Controls(*window).GroupBox1->isVisibleTo(window.get()));
  ShowMainWindow(*window);
  QTest::qWait(20);
  EXPECT_TRUE(prompts.questions.empty());
}

TEST_F(RecoveryTest, ADocumentNamedOnTheCommandLineOpensAfterTheAnswer) {
  auto savedScene = std::make_unique<Scene>();
  Scene& saved = *savedScene;
  saved.AddRecord(KindRect, {10, 20, 60, 20, 60, 80, 10, 80, 999, 0});
  saved.doc.Title = "Named";
  const std::string name = (folder / "named.QDN").string();
  std::string reason;
  ASSERT_TRUE(SaveDocumentFiles(name, CaptureForRecovery(saved.ctx), reason)) << reason;
  auto crashedScene = std::make_unique<Scene>();
  Scene& crashed = *crashedScene;
  crashed.AddRecord(KindCircle, {200, 150, 0, 30, 0, 0, 0, 0, 999, 0});
  for (const Answer answer : {Answer::Yes, Answer::No, Answer::Yes}) {
    const std::string at = answer == Answer::Yes ? "recovered" : "not recovered";
    LeaveCopy(CaptureForRecovery(crashed.ctx));
    prompts = ScriptedPrompts();
    // Recovered work is unsaved work: the open asks about it first.
    prompts.answers = {answer, Answer::No};
    window = std::make_unique<Form1>(&prompts, folder.string() + "/");
    ShowMainWindow(*window);
    QTimer::singleShot(0, window.get(), [this, name] { window->OpenAfterStartUp(name); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return State(*window).doc.CurrentFileName == name; }, 5000)) << at;
    QApplication::processEvents();
    std::vector<std::string> asked = {"Recover unsaved work?"};
    if (answer == Answer::Yes) asked.push_back("Save changes to Quorvane [UNTITLED]?");
    EXPECT_EQ(prompts.questions, asked) << at;
    EXPECT_EQ(State(*window).objects.RectDataLen, 10) << at;
    EXPECT_EQ(State(*window).objects.CircleDataLen, 0) << at;
    EXPECT_EQ(window->windowTitle().toStdString(), "Quorvane " + name) << at;
    EXPECT_EQ(RecoveryFiles().count("recovery-0.QDN"), 0u) << "the open set the work aside, " << at;
    window.reset();
  }
}

// ---------------------------------------------------------------- a live session

TEST_F(RecoveryTest, TheCopyFollowsTheEditsAndGoesWithSaveNewAndOpen) {
  const std::string prefBytes = ReadFile(folder / "Pref.PRF");
  Form1& f = Launch();
  const std::string name = (folder / "kept.QDN").string();
  // Each way the work is put aside, twice.
  const std::function<void()> putAside[] = {
      [&] {
        prompts.fileNames = {name};
        Choose(Cmd::MnuFileSaveAs);
      },
      [&] { Choose(Cmd::MnuFileSave); },
      [&] {
        prompts.answers = {Answer::No};
        ClickButton(Cmd::SpeedButton19);
      },
      [&] {
        prompts.answers = {Answer::No};
        prompts.fileNames = {name};
        ClickButton(Cmd::SpeedButton2);
      }};
  int written = 0;
  for (int round = 0; round < 2; ++round) {
    for (std::size_t way = 0; way < std::size(putAside); ++way) {
      const std::string at = "way " + std::to_string(way) + ", round " + std::to_string(round + 1);
      EXPECT_EQ(RecoveryFiles().count("recovery-0.QDN"), 0u) << at;
      DrawCircle(20 + 10 * static_cast<float>(way));
      ASSERT_TRUE(WaitForCopies(++written)) << at;
      EXPECT_EQ(CopyOnDisk().Objects[1].size(), State(f).objects.CircleDataLen + 0u) << at;
      if (round == 0 && way == 0) {
        // A second change within the interval waits for it, then is copied.
        DrawCircle(25);
        QTest::qWait(50);
        EXPECT_EQ(WindowProbe::Recovery(f).CopiesWritten(), written) << "no second copy at once";
        EXPECT_EQ(CopyOnDisk().Objects[1].size() + 10, State(f).objects.CircleDataLen + 0u);
        ASSERT_TRUE(WaitForCopies(++written));
        EXPECT_EQ(CopyOnDisk().Objects[1].size(), State(f).objects.CircleDataLen + 0u);
      }
      putAside[way]();
      QApplication::processEvents();
      EXPECT_EQ(State(f).doc.DocumentModified, 0) << at;
      EXPECT_EQ(RecoveryFiles(), std::set<std::string>{"recovery-0.lock"}) << at;
    }
  }
  // A key that changes nothing writes nothing, not even after the interval.
  DrawCircle();
  ASSERT_TRUE(WaitForCopies(++written));
  Press(Qt::Key_A);
  Press(Qt::Key_A);
  QTest::qWait(RecoveryKeeper::WriteInterval + 300);
  EXPECT_EQ(WindowProbe::Recovery(f).CopiesWritten(), written);
  // The copy never touched the preferences.
  EXPECT_EQ(ReadFile(folder / "Pref.PRF"), prefBytes);
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(RecoveryTest, ASecondWindowNeitherOffersNorWritesOverTheFirstsCopy) {
  Form1& first = Launch();
  DrawCircle();
  ASSERT_TRUE(WaitForCopies(1));
  const std::string firstCopy = ReadFile(recoveryFolder + "/recovery-0.QDN");
  for (int round = 0; round < 2; ++round) {
    ScriptedPrompts secondPrompts;
    Form1 second(&secondPrompts, folder.string() + "/");
    ShowMainWindow(second);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    QApplication::processEvents();
    EXPECT_TRUE(secondPrompts.questions.empty()) << round;
    EXPECT_EQ(State(second).objects.CircleDataLen, 0);
    // Its own work goes to a copy of its own.
    QTest::mouseClick(second.Button(Cmd::SpeedButton4), Qt::LeftButton);
    const float cell = State(second).mesh.CellWidth;
    auto at = [cell](float column, float row) {
      return QPoint(static_cast<int>(column * cell), static_cast<int>(row * cell));
    };
    // Both windows cover the screen: the moves go to the second one's view itself.
    for (const QPoint p : {at(30, 40), at(30, 60), at(40, 55), at(45, 60)}) {
      QMouseEvent move(QEvent::MouseMove, QPointF(p), Controls(second).V->mapToGlobal(QPointF(p)), Qt::NoButton,
                       Qt::NoButton, {});
      QApplication::sendEvent(Controls(second).V, &move);
      if (p != at(40, 55)) QTest::mouseClick(Controls(second).V, Qt::LeftButton, {}, p);
    }
    ASSERT_EQ(State(second).objects.RectDataLen, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return WindowProbe::Recovery(second).CopiesWritten() == 1; }, 5000));
    EXPECT_EQ(WindowProbe::Recovery(second).Slot().CopyName(), recoveryFolder + "/recovery-1.QDN");
    EXPECT_EQ(ReadFile(recoveryFolder + "/recovery-0.QDN"), firstCopy);
  }
  EXPECT_EQ(State(first).objects.CircleDataLen, 10);
  EXPECT_EQ(RecoveryFiles().count("recovery-1.QDN"), 0u) << "a window that ends normally takes its copy with it";
}

}  // namespace
