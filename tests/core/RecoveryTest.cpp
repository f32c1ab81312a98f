// The recovery copy between programs: a child process writes its copy and is
// killed, exits normally or stays alive holding its lock, and the parent looks
// at the folder as the next start would. Also a recovered document as the
// window takes it: untitled, modified and whole.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <set>

#include "TestServices.h"
#include "core/DocumentTestScene.h"
#include "documents/AtomicSave.h"
#include "documents/Recovery.h"

namespace {

int stepsLeft = 0;
int stepCount = 0;  // in a child process
void KillAtStep(const char*) {
  if (--stepsLeft == 0) ::kill(::getpid(), SIGKILL);
}
void CountStep(const char*) { ++stepCount; }

DocumentImage CircleDocument() { return CaptureForRecovery(CylinderScene()->ctx); }
DocumentImage SolvedBlocks() { return CaptureForRecovery(SolvedBlocksScene()->ctx); }

// The files of a whole copy in the first slot, with the lock of its program.
const std::set<std::string> SlotZero = {"recovery-0.FLG", "recovery-0.QDN", "recovery-0.TLE", "recovery-0.lock"};

void ExpectSameDocument(const DocumentImage& got, const DocumentImage& want) {
  EXPECT_EQ(got.Objects, want.Objects);
  EXPECT_EQ(got.StreamFunction, want.StreamFunction);
  EXPECT_EQ(got.Flags, want.Flags);
  EXPECT_EQ(got.Title, want.Title);
}

class RecoveryTest : public TempFolder {
 protected:
  void SetUp() override {
    TempFolder::SetUp();
    folder = Path("data/Quorvane/recovery");
  }
  void TearDown() override {
    for (pid_t pid : children) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    SetSaveStepHook(nullptr);
    TempFolder::TearDown();
  }

  // A program that does `work` with the folder and then runs on, holding what
  // it holds, until the test ends it. Returns once the work is done.
  pid_t StartProgram(const std::function<void(RecoverySlot&)>& work) {
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(ready[0]);
      RecoverySlot slot(folder);
      work(slot);
      (void)!::write(ready[1], "r", 1);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char c = 0;
    EXPECT_EQ(::read(ready[0], &c, 1), 1) << "the program died before its work was done";
    ::close(ready[0]);
    children.insert(child);
    return child;
  }
  void Kill(pid_t child) {
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    children.erase(child);
  }
  // Runs `work` in a program that then ends; its wait status.
  int RunProgram(const std::function<void(RecoverySlot&)>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
      RecoverySlot slot(folder);
      work(slot);
      ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    return status;
  }
  static void Write(RecoverySlot& slot, const DocumentImage& image) {
    std::string reason;
    if (!slot.Write(image, reason)) ::_exit(3);
  }
  // The names in the recovery folder.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      names.insert(it->path().filename().string());
    return names;
  }
  DocumentImage ReadOffered(RecoverySlot& slot) {
    DocumentImage image;
    std::string reason;
    EXPECT_TRUE(slot.ReadCopy(400, image, reason)) << reason;
    return image;
  }

  std::string folder;
  std::set<pid_t> children;
};

TEST_F(RecoveryTest, ACopyAKilledProgramLeftIsOfferedOnceAndReadsBackWhole) {
  const DocumentImage documents[] = {CircleDocument(), SolvedBlocks()};
  for (const DocumentImage& document : documents) {
    SCOPED_TRACE(document.Title);
    Kill(StartProgram([&](RecoverySlot& slot) {
      Write(slot, CircleDocument());
      Write(slot, document);  // the copy follows the work
    }));
    RecoverySlot next(folder);
    ASSERT_TRUE(next.ClaimLeftCopy());
    ExpectSameDocument(ReadOffered(next), document);
    // A third program started meanwhile does not offer it again.
    RecoverySlot third(folder);
    EXPECT_FALSE(third.ClaimLeftCopy());
    // Answered No: the copy goes, and no later start offers it.
    next.RemoveCopy();
    next.Release();
    EXPECT_FALSE(RecoverySlot(folder).ClaimLeftCopy());
    EXPECT_EQ(Names(), std::set<std::string>{});
  }
}

// Another program's copy, its own still alive or left by a crash, is never
// written over: a new one goes beside it. A live program's copy is not offered
// until it is killed; a crashed one's waits, while programs in turn work
// without asking (the first start's question not answered yet, say).
TEST_F(RecoveryTest, ANewCopyNeverTakesTheSlotOfALiveOrCrashedProgramsCopy) {
  for (const bool crashed : {false, true}) {
    SCOPED_TRACE(crashed ? "crashed" : "alive");
    std::filesystem::remove_all(folder);
    const pid_t other = StartProgram([](RecoverySlot& slot) { Write(slot, SolvedBlocks()); });
    if (crashed) Kill(other);
    const auto otherFiles = Names();
    ASSERT_EQ(otherFiles, SlotZero);
    const std::string otherData = Read(folder + "/recovery-0.QDN");
    for (int round = 0; round < 2; ++round) {
      RecoverySlot running(folder);
      EXPECT_TRUE(crashed || !running.ClaimLeftCopy()) << "a live program's copy is offered, round " << round;
      std::string reason;
      ASSERT_TRUE(running.Write(CircleDocument(), reason)) << reason;
      EXPECT_EQ(running.CopyName(), folder + "/recovery-1.QDN") << round;
      EXPECT_EQ(Read(folder + "/recovery-0.QDN"), otherData);
      running.Release();
    }
    EXPECT_EQ(Names(), otherFiles);
    if (!crashed) Kill(other);
    RecoverySlot next(folder);
    ASSERT_TRUE(next.ClaimLeftCopy());
    EXPECT_EQ(next.CopyName(), folder + "/recovery-0.QDN");
    ExpectSameDocument(ReadOffered(next), SolvedBlocks());
  }
}

TEST_F(RecoveryTest, ANormalEndOrARemovedCopyLeavesNothingToOffer) {
  for (int round = 0; round < 2; ++round) {
    const int status = RunProgram([](RecoverySlot& slot) {
      Write(slot, SolvedBlocks());
      slot.Release();
    });
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(Names(), std::set<std::string>{}) << round;
    EXPECT_FALSE(RecoverySlot(folder).ClaimLeftCopy());
  }
  // Killed after its work was saved (the copy removed): only the lock file is
  // left, and the next start clears it without a question.
  for (int round = 0; round < 2; ++round) {
    Kill(StartProgram([](RecoverySlot& slot) {
      Write(slot, SolvedBlocks());
      slot.RemoveCopy();
    }));
    EXPECT_EQ(Names(), std::set<std::string>{"recovery-0.lock"});
    EXPECT_FALSE(RecoverySlot(folder).ClaimLeftCopy());
    EXPECT_EQ(Names(), std::set<std::string>{}) << round;
  }
}

// The lock belongs to the program, not to what it starts: a browser the
// program opened, still running after the program was killed, does not make
// the copy look alive.
TEST_F(RecoveryTest, AProgramStartedByTheKilledOneDoesNotHoldItsCopy) {
  pid_t started = 0;
  int pidPipe[2];
  ASSERT_EQ(::pipe(pidPipe), 0);
  const pid_t program = StartProgram([&](RecoverySlot& slot) {
    Write(slot, CircleDocument());
    char sleepArg0[] = "sleep", sleepArg1[] = "60";
    char* argv[] = {sleepArg0, sleepArg1, nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ) != 0) ::_exit(4);
    (void)!::write(pidPipe[1], &pid, sizeof pid);
  });
  ASSERT_EQ(::read(pidPipe[0], &started, sizeof started), static_cast<ssize_t>(sizeof started));
  ::close(pidPipe[0]);
  ::close(pidPipe[1]);
  Kill(program);
  ASSERT_EQ(::kill(started, 0), 0) << "the started program still runs";
  RecoverySlot next(folder);
  EXPECT_TRUE(next.ClaimLeftCopy());
  ::kill(started, SIGKILL);
}

// Each copy replaces the last as a save does: a program killed at any step of
// writing one leaves the older copy or the newer, whole, and the next start
// clears whatever else the write had made. Killed during its first copy it
// leaves that copy whole or nothing.
TEST_F(RecoveryTest, AProgramKilledWhileWritingItsCopyLeavesAWholeOne) {
  const DocumentImage older = CircleDocument(), newer = SolvedBlocks();
  // How many steps a copy takes: the count comes back as the exit status.
  const int counted = RunProgram([&](RecoverySlot& slot) {
    SetSaveStepHook(CountStep);
    std::string reason;
    slot.Write(newer, reason);
    ::_exit(stepCount);
  });
  const int steps = WEXITSTATUS(counted);
  ASSERT_GT(steps, 20) << "every create, write, flush and rename is a step";

  for (const bool first : {false, true}) {
    int newerSeen = 0;
    for (int step = 1; step <= steps; ++step) {
      SCOPED_TRACE((first ? "first copy, killed before step " : "second copy, killed before step ") +
                   std::to_string(step));
      std::filesystem::remove_all(folder);
      const int status = RunProgram([&](RecoverySlot& slot) {
        if (!first) Write(slot, older);
        stepsLeft = step;
        SetSaveStepHook(KillAtStep);
        Write(slot, newer);
      });
      ASSERT_TRUE(WIFSIGNALED(status));
      RecoverySlot next(folder);
      if (!next.ClaimLeftCopy()) {
        EXPECT_TRUE(first) << "the older copy is always there to offer";
        EXPECT_EQ(newerSeen, 0) << "once the newer copy is decided, it stays";
        EXPECT_EQ(Names(), std::set<std::string>{});
        continue;
      }
      const DocumentImage got = ReadOffered(next);
      const bool isNewer = got.Title == newer.Title;
      ExpectSameDocument(got, isNewer ? newer : older);
      EXPECT_TRUE(isNewer || newerSeen == 0);
      newerSeen += isNewer;
      EXPECT_EQ(Names(), SlotZero);
      if (HasFailure()) return;
    }
    EXPECT_GT(newerSeen, 0);
  }
}

// ---------------------------------------------------------------- the document

TEST(RecoveredDocumentTest, OpensUntitledModifiedAndWholeWithItsFlowLines) {
  auto crashedScene = std::make_unique<Scene>();
  Scene& crashed = *crashedScene;
  crashed.AddRecord(KindRect, {10, 20, 60, 20, 60, 80, 10, 80, 999, 0});
  crashed.AddRecord(KindCircle, {200, 150, 0, 30, 0, 0, 0, 0, 999, 0});
  for (std::size_t i = 0; i < crashed.mesh.StreamFunction.size(); ++i)
    crashed.mesh.StreamFunction[i] = 0.5f * static_cast<float>(i % 17);
  crashed.display.StreamlinesShown = 1;
  crashed.doc.Title = "Before the crash";
  crashed.doc.CurrentFileName = "/home/user/wing.QDN";
  // A strength typed but not yet a number is stored as the one in force.
  crashed.doc.ExtfldStrength = "12.";
  crashed.doc.ExternalFieldStrength = 7.0f;
  EXPECT_EQ(CaptureForRecovery(crashed.ctx).ExternalFieldStrength, 12.0f);
  crashed.doc.ExtfldStrength = "12.5x";
  const DocumentImage copy = CaptureForRecovery(crashed.ctx);
  EXPECT_EQ(copy.ExternalFieldStrength, 7.0f);

  for (int round = 0; round < 2; ++round) {
    auto nextScene = std::make_unique<Scene>();
    Scene& next = *nextScene;
    next.AddRecord(KindRect, {100, 100, 150, 100, 150, 150, 100, 150, 999, 0});
    next.doc.CurrentFileName = "/home/user/other.QDN";
    next.cmd.AddRectStep = 2;
    TestServices services;
    std::vector<std::string>& calls = services.calls;
    DocumentHooks hooks;
    hooks.SolidFillSetUp = [&] { calls.push_back("solid fill"); };
    hooks.DrawStreamlines = [&] {
      EXPECT_EQ(next.mesh.StreamFunction[5], 2.5f) << "the flow lines come from the recovered solution";
      calls.push_back("flow lines");
    };
    AdoptRecoveredDocument(next.ctx, services, hooks, copy);
    EXPECT_EQ(next.table.RectDataLen, 10);
    EXPECT_EQ(next.table.CircleDataLen, 10);
    EXPECT_EQ(next.table.RectData[0], 10.0f);
    EXPECT_EQ(next.doc.CurrentFileName, "");
    EXPECT_EQ(next.ui.caption, "Quorvane [UNTITLED]");
    EXPECT_EQ(next.doc.DocumentModified, 1);
    EXPECT_EQ(next.doc.Title, "Before the crash");
    EXPECT_EQ(next.doc.ExternalFieldStrength, 7.0f);
    EXPECT_EQ(next.display.StreamlinesShown, 1);
    EXPECT_EQ(next.cmd.AddRectStep, 0) << "no command is left in progress";
    EXPECT_EQ(next.cmd.RestampMode, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"redraw", "solid fill", "flow lines", "snapshot"})) << round;
  }
}

}  // namespace
