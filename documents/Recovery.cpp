#include "documents/Recovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <system_error>

#include "display/FlowDisplay.h"
#include "documents/Document.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "mesh/NumberText.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"

namespace {

// More programs than anyone runs at once; a folder full of live slots refuses
// a further copy rather than growing without end.
constexpr int MaxSlots = 64;
constexpr const char* SlotPrefix = "recovery-";

std::string SlotBase(const std::string& folder, int n) { return folder + "/" + SlotPrefix + std::to_string(n); }

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// A copy is its flag and data files together; one without the other is what a
// removal cut off left.
bool CopyThere(const std::string& base) { return Exists(base + ".FLG") && Exists(base + ".QDN"); }

void RemoveCopyFiles(const std::string& base) {
  // The data file first: whatever a cut-off removal leaves is no copy.
  for (const char* ext : {".QDN", ".FLG", ".TLE"}) ::unlink((base + ext).c_str());
}

// Locks a slot's lock file without waiting (creating it when missing); -1
// when another program holds it. When the file was removed by its holder
// between our open and our lock, the lock would be on a name nobody sees any
// more: the file is opened afresh, so two programs never hold one slot.
int LockSlot(const std::string& lockName) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return -1;
    }
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && ::stat(lockName.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
      return fd;
    ::close(fd);
  }
  return -1;
}

// The slot numbers that have any file in the folder, in order.
std::set<int> SlotsInFolder(const std::string& folder) {
  std::set<int> slots;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(SlotPrefix, 0) != 0) continue;
    std::size_t i = std::char_traits<char>::length(SlotPrefix);
    int n = 0;
    const std::size_t first = i;
    while (i < name.size() && i - first < 4 && name[i] >= '0' && name[i] <= '9') n = n * 10 + (name[i++] - '0');
    if (i > first && i < name.size() && name[i] == '.' && n < MaxSlots) slots.insert(n);
  }
  return slots;
}

// With the slot locked: finishes or undoes a write of its copy that was cut
// off; true when a whole copy is there afterwards.
bool SettleSlot(const std::string& base) {
  std::string reason;
  FinishInterruptedSave(base + ".QDN", reason);
  if (CopyThere(base)) return true;
  RemoveCopyFiles(base);
  return false;
}

}  // namespace

RecoverySlot::RecoverySlot(std::string folder) : folder_(std::move(folder)) {}

RecoverySlot::~RecoverySlot() { Drop(); }

void RecoverySlot::Drop() {
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
  base_.clear();
  hasCopy_ = false;
}

std::string RecoverySlot::CopyName() const { return base_.empty() ? std::string() : base_ + ".QDN"; }

bool RecoverySlot::ClaimLeftCopy() {
  if (Held()) return hasCopy_;
  if (folder_.empty()) return false;
  for (int n : SlotsInFolder(folder_)) {
    const std::string base = SlotBase(folder_, n);
    const std::string lockName = base + ".lock";
    const int fd = LockSlot(lockName);
    if (fd < 0) continue;  // a program that is running
    if (SettleSlot(base)) {
      lockFd_ = fd;
      base_ = base;
      hasCopy_ = true;
      return true;
    }
    // Nothing to offer: the lock file of a session that ended without a copy.
    ::unlink(lockName.c_str());
    ::close(fd);
  }
  return false;
}

bool RecoverySlot::ClaimFree(std::string& reason) {
  if (folder_.empty()) {
    reason = "there is no data folder";
    return false;
  }
  std::error_code ec;
  if (std::filesystem::create_directories(folder_, ec))
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ec);
  for (int n = 0; n < MaxSlots; ++n) {
    const std::string base = SlotBase(folder_, n);
    const int fd = LockSlot(base + ".lock");
    if (fd < 0) continue;
    if (SettleSlot(base)) {
      // A crashed session's copy waits here for the next start to offer it.
      ::close(fd);
      continue;
    }
    lockFd_ = fd;
    base_ = base;
    hasCopy_ = false;
    return true;
  }
  reason = Exists(folder_) ? "no free place in " + folder_ : "cannot create " + folder_;
  return false;
}

bool RecoverySlot::ReadCopy(std::int32_t viewSize, DocumentImage& image, std::string& reason) const {
  if (!hasCopy_) {
    reason = "no copy";
    return false;
  }
  return LoadDocumentFiles(base_ + ".QDN", viewSize, image, reason);
}

bool RecoverySlot::Write(const DocumentImage& image, std::string& reason) {
  if (!Held() && !ClaimFree(reason)) return false;
  if (!SaveDocumentFiles(base_ + ".QDN", image, reason)) return false;
  hasCopy_ = true;
  return true;
}

void RecoverySlot::RemoveCopy() {
  if (!Held() || !hasCopy_) return;
  std::string reason;
  FinishInterruptedSave(base_ + ".QDN", reason);
  RemoveCopyFiles(base_);
  hasCopy_ = false;
}

void RecoverySlot::Release() {
  if (!Held()) return;
  RemoveCopy();
  // Removed while still locked: a program that opened it meanwhile sees the
  // name gone and opens afresh (LockSlot).
  ::unlink((base_ + ".lock").c_str());
  Drop();
}

DocumentImage CaptureForRecovery(const DocumentContext& ctx) {
  float strength = ctx.doc.ExternalFieldStrength;
  double entered = 0;
  if (ParseNumberText(ctx.doc.ExtfldStrength, entered) && std::isfinite(static_cast<float>(entered)))
    strength = static_cast<float>(entered);
  return CaptureDocument(ctx.table, ctx.mesh, ctx.grid, ctx.display, ctx.doc, strength);
}

void AdoptRecoveredDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks,
                            const DocumentImage& image) {
  UiState& ui = ctx.ui;
  ui.status[2] = "";
  ClearDataLabels(ui);
  ctx.cmd.RestampMode = 1;  // re-stamping the loaded aerofoils adds no record
  CommitDocument(image, ctx.table, ctx.mesh, ctx.grid, ctx.display, ctx.doc, ui);
  ctx.doc.CurrentFileName.clear();
  DrawCommittedDocument(ctx, services, hooks);

  UnlockCommands(ui);
  ui.status[3] = " ";
  CancelCommand(ctx.cmd);
  ui.cursor = CursorShape::Default;
  // The work is still unsaved: the program asks about it as about any change.
  ctx.doc.DocumentModified = 1;
  ui.caption = WindowCaption(ctx.doc);
}
