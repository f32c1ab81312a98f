// A save ended at each of its steps in turn, as by a crash or a kill, and an
// open ended while it finishes such a save: the document opens afterwards,
// entirely old or entirely new, and nothing is left beside it. Also the work
// files of the program's earlier versions and journals that cannot be trusted.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "core/DocumentTestScene.h"
#include "documents/AtomicSave.h"
#include "documents/DocumentFile.h"

namespace {

int stepsLeft = 0;
std::vector<std::string> stepLog;

void KillAtStep(const char*) {
  if (--stepsLeft == 0) ::kill(::getpid(), SIGKILL);
}
void LogStep(const char* step) { stepLog.emplace_back(step); }

struct Files {
  std::string flg, qdn, tle;
  bool operator==(const Files&) const = default;
};

class SaveCrashTest : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    name = Path("doc.QDN");
    const auto a = CylinderScene(), b = SolvedBlocksScene();
    oldImage = CaptureDocument(a->table, a->mesh, a->grid, a->display, a->doc, 0);
    newImage = CaptureDocument(b->table, b->mesh, b->grid, b->display, b->doc, 0);
    ASSERT_TRUE(SaveDocumentFiles(name, newImage, reason)) << reason;
    newFiles = Current();
    ASSERT_TRUE(SaveDocumentFiles(name, oldImage, reason)) << reason;
    oldFiles = Current();
    ASSERT_NE(oldFiles.flg, newFiles.flg);
    ASSERT_NE(oldFiles.qdn.size(), newFiles.qdn.size());
  }
  void TearDown() override {
    SetSaveStepHook(nullptr);
    TempFolder::TearDown();
  }
  Files Current() const { return {Read(Path("doc.FLG")), Read(Path("doc.QDN")), Read(Path("doc.TLE"))}; }
  void PutOldDocument() {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) std::filesystem::remove_all(entry.path());
    Write(Path("doc.FLG"), oldFiles.flg);
    Write(Path("doc.QDN"), oldFiles.qdn);
    Write(Path("doc.TLE"), oldFiles.tle);
  }
  // Runs `work` in a child process that is killed at its step-th step; false
  // when the work ended before that step.
  static bool KilledAt(int step, const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
      stepsLeft = step;
      SetSaveStepHook(KillAtStep);
      work();
      ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  }
  // Saves the new document over the old one, logging its steps; their count.
  int LogSaveSteps() {
    PutOldDocument();
    stepLog.clear();
    SetSaveStepHook(LogStep);
    SaveNew();
    SetSaveStepHook(nullptr);
    return static_cast<int>(stepLog.size());
  }
  void SaveNew() const {
    std::string why;
    SaveDocumentFiles(name, newImage, why);
  }
  void Open() const {
    DocumentImage image;
    std::string why;
    LoadDocumentFiles(name, 400, image, why);
  }
  // Opens the document: it must be whole, and nothing but its three files is
  // left. True when it is the new one.
  bool OpensWhole() {
    DocumentImage image;
    EXPECT_TRUE(LoadDocumentFiles(name, 400, image, reason)) << reason;
    const Files now = Current();
    EXPECT_TRUE(now == oldFiles || now == newFiles) << "a mixture of the two documents";
    EXPECT_EQ(image.Title, now == newFiles ? newImage.Title : oldImage.Title);
    EXPECT_EQ(EntriesInFolder(), 3u) << "a work file is left";
    return now == newFiles;
  }
  std::string name, reason;
  DocumentImage oldImage, newImage;
  Files oldFiles, newFiles;
};

TEST_F(SaveCrashTest, ASaveEndedAtAnyStepOpensOldOrNewWithNothingLeft) {
  const int steps = LogSaveSteps();
  ASSERT_GT(steps, 20) << "every create, write, flush, close and rename is a step";

  int opensNew = 0;
  for (int step = 1; step <= steps; ++step) {
    SCOPED_TRACE("killed before step " + std::to_string(step) + " (" + stepLog[step - 1] + ")");
    PutOldDocument();
    ASSERT_TRUE(KilledAt(step, [this] { SaveNew(); }));
    const bool isNew = OpensWhole();
    // Once the new document is decided, every later end still gives it.
    EXPECT_TRUE(isNew || opensNew == 0);
    opensNew += isNew;
  }
  EXPECT_GT(opensNew, 3) << "kills after the journal is in place finish the save";
  EXPECT_LT(opensNew, steps - 15) << "kills before it keep the old document";
  PutOldDocument();
  EXPECT_FALSE(KilledAt(steps + 1, [this] { SaveNew(); }));
  EXPECT_EQ(Current(), newFiles);
  EXPECT_EQ(EntriesInFolder(), 3u);
}

// The open that finishes an interrupted save may itself be ended at any of its
// steps; the next open still finds one whole document. The saves ended are the
// last one before the journal (every new file beside the old ones) and all
// those after it.
TEST_F(SaveCrashTest, AnOpenEndedWhileFinishingASaveLeavesItToTheNextOpen) {
  const int steps = LogSaveSteps();
  const int journalRename = static_cast<int>(std::find(stepLog.begin(), stepLog.end(), "rename") - stepLog.begin()) + 1;
  int cases = 0;
  for (int step = journalRename; step <= steps; ++step) {
    PutOldDocument();
    ASSERT_TRUE(KilledAt(step, [this] { SaveNew(); }));
    std::vector<std::pair<std::filesystem::path, std::string>> leftByTheSave;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      leftByTheSave.emplace_back(entry.path(), Read(entry.path().string()));
    for (int openStep = 1;; ++openStep) {
      SCOPED_TRACE("save killed before step " + std::to_string(step) + ", open before step " +
                   std::to_string(openStep));
      for (const auto& entry : std::filesystem::directory_iterator(dir)) std::filesystem::remove(entry.path());
      for (const auto& [path, bytes] : leftByTheSave) Write(path.string(), bytes);
      if (!KilledAt(openStep, [this] { Open(); })) break;
      ++cases;
      OpensWhole();
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(cases, steps - journalRename) << "every kind of unfinished save has steps to finish it";
}

// A journal whose new files do not all match it (a disk that lost writes), or
// that is damaged, is undone: the old document stays.
TEST_F(SaveCrashTest, AJournalThatCannotBeTrustedIsUndone) {
  const auto work = SaveWorkNames({Path("doc.FLG"), Path("doc.QDN"), Path("doc.TLE")});
  // The first step after the journal's rename: all new files are still beside the old ones.
  int decided = 0;
  for (int step = 1; decided == 0; ++step) {
    PutOldDocument();
    ASSERT_TRUE(KilledAt(step, [this] { SaveNew(); }));
    if (std::filesystem::exists(work[3])) decided = step;
  }
  const std::function<void()> spoilers[] = {
      [&] { std::filesystem::resize_file(work[1], newFiles.qdn.size() / 2); },
      [&] { Write(work[2], "Two blocks, solveD"); },
      [&] { std::filesystem::remove(work[0]); },
      [&] { Write(work[3], Read(work[3]).substr(0, 40)); }};
  for (const auto& spoil : spoilers) {
    PutOldDocument();
    ASSERT_TRUE(KilledAt(decided, [this] { SaveNew(); }));
    spoil();
    EXPECT_FALSE(OpensWhole());
  }
}

// The program's earlier versions wrote each new file as "<file>.~<pid>-<n>.tmp"
// and kept each old one as "<file>.~<pid>-<n>.old" before renaming the new ones
// one by one. A save that got as far as keeping an old file had all its new
// files complete and is finished; one that had not is dropped.
TEST_F(SaveCrashTest, WorkFilesOfEarlierVersionsAreFinishedOrRemoved) {
  // Killed after the first of the three renames.
  PutOldDocument();
  Write(Path("doc.FLG"), newFiles.flg);
  Write(Path("doc.FLG.~8770-0.old"), oldFiles.flg);
  Write(Path("doc.QDN.~8770-0.tmp"), newFiles.qdn);
  Write(Path("doc.QDN.~8770-0.old"), oldFiles.qdn);
  Write(Path("doc.TLE.~8770-0.tmp"), newFiles.tle);
  Write(Path("doc.TLE.~8770-0.old"), oldFiles.tle);
  EXPECT_TRUE(OpensWhole());

  // Killed while writing the new data file; another document's files stay.
  PutOldDocument();
  Write(Path("doc.FLG.~8770-0.tmp"), newFiles.flg);
  Write(Path("doc.QDN.~8770-0.tmp"), newFiles.qdn.substr(0, 1000));
  Write(Path("docs.FLG.~8770-0.tmp"), "another document's");
  Write(Path("doc.FLG.~notes"), "not a work file");
  DocumentImage image;
  ASSERT_TRUE(LoadDocumentFiles(name, 400, image, reason)) << reason;
  EXPECT_EQ(Current(), oldFiles);
  EXPECT_EQ(EntriesInFolder(), 5u);
  EXPECT_TRUE(std::filesystem::exists(Path("docs.FLG.~8770-0.tmp")));
  EXPECT_TRUE(std::filesystem::exists(Path("doc.FLG.~notes")));
}

}  // namespace
