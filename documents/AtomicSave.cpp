#include "documents/AtomicSave.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace {

SaveStepHook stepHook = nullptr;

void Step(const char* step) {
  if (stepHook) [[unlikely]]
    stepHook(step);
}

bool Fail(std::string& reason, std::string text) {
  reason = std::move(text);
  return false;
}

std::string SystemReason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// Folder and file-name part of a path ("." for a bare name).
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}
std::string NameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
std::string Beside(const std::string& path, const std::string& name) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
}

// 64-bit FNV-1a: enough to tell a complete new file from a torn one.
std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

std::string Hex(std::uint64_t v) {
  char text[17];
  for (int i = 15; i >= 0; --i, v >>= 4) text[i] = "0123456789abcdef"[v & 0xF];
  return std::string(text, 16);
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

void Remove(const std::string& path) {
  if (!Exists(path)) return;
  Step("remove");
  ::unlink(path.c_str());
}

// Flushes the folder's list of names, so that renames and removals survive a
// power cut. A file system that cannot flush a folder is taken as it is.
void SyncFolder(const std::string& folder) {
  Step("flush folder");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// Saves and completions in one folder take turns, also between programs.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// Creates a new file, writes it in blocks and flushes it to the disk.
bool WriteDurably(const std::string& path, std::string_view bytes, mode_t mode, bool keepMode, std::string& reason) {
  constexpr std::size_t Block = 32 * 1024;
  Step("create");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return Fail(reason, SystemReason("cannot create", path));
  bool ok = !keepMode || ::fchmod(fd, mode) == 0;
  for (std::size_t done = 0; ok && done < bytes.size();) {
    Step("write");
    const ssize_t n = ::write(fd, bytes.data() + done, std::min(Block, bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<std::size_t>(n);
  }
  if (ok) {
    Step("flush");
    ok = ::fsync(fd) == 0;
  }
  if (!ok) reason = SystemReason("cannot write", path);
  Step("close");
  if (::close(fd) != 0 && ok) ok = Fail(reason, SystemReason("cannot write", path));
  return ok;
}

// Reads a whole regular file of at most maxBytes; false when it is not one.
bool ReadSmallFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) <= maxBytes;
  if (ok) {
    bytes.assign(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) ok = false;
      else done += static_cast<std::size_t>(n);
    }
  }
  ::close(fd);
  return ok;
}

// ---- The journal ----------------------------------------------------------
//
// Text, one line per file in the order of the targets, each naming the new
// file and the file it replaces with the new file's size and hash:
//   Quorvane save journal 1
//   <size> <hash> <length>:<new file name> <length>:<target name>
//   end
// Names are counted, so any byte a file system allows may be in them.

constexpr std::string_view JournalHeading = "Quorvane save journal 1\n";
constexpr std::size_t MaxJournalBytes = 8 * 1024;

struct JournalEntry {
  std::uint64_t size = 0, hash = 0;
  std::string temp, target;  // names in the document's folder
};
using Journal = std::array<JournalEntry, 3>;

std::string EncodeJournal(const Journal& journal) {
  std::string out(JournalHeading);
  for (const auto& e : journal) {
    out += std::to_string(e.size) + " " + Hex(e.hash) + " " + std::to_string(e.temp.size()) + ":" + e.temp + " " +
           std::to_string(e.target.size()) + ":" + e.target + "\n";
  }
  return out + "end\n";
}

class JournalReader {
 public:
  explicit JournalReader(std::string_view text) : rest_(text) {}
  bool Literal(std::string_view s) {
    if (rest_.substr(0, s.size()) != s) return false;
    rest_.remove_prefix(s.size());
    return true;
  }
  bool Number(std::uint64_t& v, int base = 10) {
    const auto r = std::from_chars(rest_.data(), rest_.data() + rest_.size(), v, base);
    if (r.ec != std::errc() || r.ptr == rest_.data()) return false;
    rest_.remove_prefix(static_cast<std::size_t>(r.ptr - rest_.data()));
    return true;
  }
  bool Name(std::string& name) {
    std::uint64_t n = 0;
    if (!Number(n) || !Literal(":") || n == 0 || n > rest_.size()) return false;
    name.assign(rest_.substr(0, n));
    rest_.remove_prefix(n);
    return true;
  }
  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

bool DecodeJournal(std::string_view text, Journal& journal) {
  JournalReader in(text);
  if (!in.Literal(JournalHeading)) return false;
  for (auto& e : journal)
    if (!in.Number(e.size) || !in.Literal(" ") || !in.Number(e.hash, 16) || !in.Literal(" ") || !in.Name(e.temp) ||
        !in.Literal(" ") || !in.Name(e.target) || !in.Literal("\n"))
      return false;
  return in.Literal("end\n") && in.AtEnd();
}

bool PlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

// Whether a file holds exactly the bytes the journal describes.
bool Holds(const std::string& path, const JournalEntry& e) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) != e.size)
    return false;
  std::string bytes;
  return ReadSmallFile(path, e.size, bytes) && bytes.size() == e.size && Fnv1a(bytes) == e.hash;
}

// Largest new file a journal may describe: far beyond any document.
constexpr std::uint64_t MaxNewFileBytes = 64ull * 1024 * 1024;

// ---- Saves of earlier versions --------------------------------------------
//
// They wrote each new file as "<target>.~<pid>-<n>.tmp", then kept each old
// file as "<target>.~<pid>-<n>.old", then renamed the new files one by one.
// Where a save got as far as keeping an old file, all its new files were
// complete, so the save is finished; then every such file goes.

struct Leftover {
  std::size_t target;
  std::string tag;  // "<pid>-<n>"
  bool old;
  std::string path;
};

bool Digits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<Leftover> EarlierLeftovers(const DocumentTargets& targets, const std::string& folder) {
  std::vector<Leftover> found;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const std::string prefix = NameOf(targets[i]) + ".~";
      if (name.size() <= prefix.size() + 4 || name.substr(0, prefix.size()) != prefix) continue;
      const std::string_view suffix = name.substr(name.size() - 4);
      if (suffix != ".tmp" && suffix != ".old") continue;
      const std::string_view tag = name.substr(prefix.size(), name.size() - prefix.size() - 4);
      const std::size_t dash = tag.find('-');
      if (dash == std::string_view::npos || !Digits(tag.substr(0, dash)) || !Digits(tag.substr(dash + 1))) continue;
      found.push_back({i, std::string(tag), suffix == ".old", Beside(targets[i], std::string(name))});
    }
  }
  ::closedir(dir);
  return found;
}

void FinishEarlierSaves(const DocumentTargets& targets, const std::string& folder) {
  const std::vector<Leftover> found = EarlierLeftovers(targets, folder);
  if (found.empty()) return;
  std::map<std::string, bool> backupsBegun;
  for (const auto& f : found) backupsBegun[f.tag] = backupsBegun[f.tag] || f.old;
  bool renamed = false;
  for (const auto& f : found)
    if (!f.old && backupsBegun[f.tag]) {
      Step("rename");
      renamed = ::rename(f.path.c_str(), targets[f.target].c_str()) == 0 || renamed;
    }
  if (renamed) SyncFolder(folder);
  for (const auto& f : found) Remove(f.path);
  SyncFolder(folder);
}

// The journal of an interrupted save: finished when every new file is either
// still complete under its own name or already in place, else undone.
bool FinishJournal(const DocumentTargets& targets, const std::string& folder, const std::array<std::string, 5>& work,
                   std::string& reason) {
  const std::string& journalPath = work[3];
  if (!Exists(journalPath)) return true;
  std::string text;
  Journal journal;
  bool readable = ReadSmallFile(journalPath, MaxJournalBytes, text) && DecodeJournal(text, journal);
  // Another document whose name has the same hash keeps its journal.
  if (readable && journal[0].target != NameOf(targets[0])) return true;
  // A journal that does not describe this document's files as a save writes
  // them is damaged; its save is undone, which leaves the old files alone.
  for (std::size_t i = 0; readable && i < 3; ++i)
    readable = journal[i].temp == NameOf(work[i]) && PlainName(journal[i].target) && journal[i].size <= MaxNewFileBytes;
  readable = readable && journal[2].target == NameOf(targets[2]) && journal[1].target != journal[0].target &&
             journal[1].target != journal[2].target;
  bool complete = readable;
  std::array<bool, 3> pending{};
  for (std::size_t i = 0; complete && i < 3; ++i) {
    const std::string target = Beside(targets[0], journal[i].target);
    pending[i] = Holds(work[i], journal[i]);
    complete = pending[i] || (!Exists(work[i]) && Holds(target, journal[i]));
  }
  if (complete) {
    for (std::size_t i = 0; i < 3; ++i) {
      if (!pending[i]) continue;
      const std::string target = Beside(targets[0], journal[i].target);
      Step("rename");
      if (::rename(work[i].c_str(), target.c_str()) != 0)
        return Fail(reason, SystemReason("cannot finish the interrupted save of", target));
    }
    SyncFolder(folder);
  }
  // Otherwise the save is undone: the old files were never touched, and the new
  // ones go with the other work files once the journal has gone.
  Remove(journalPath);
  SyncFolder(folder);
  return true;
}

bool FinishLocked(const DocumentTargets& targets, const std::string& folder, const std::array<std::string, 5>& work,
                  std::string& reason) {
  FinishEarlierSaves(targets, folder);
  if (!FinishJournal(targets, folder, work, reason)) return false;
  // Without a journal of this document, the work files are from a save that
  // never got as far as deciding: the old files are whole.
  if (Exists(work[3])) return true;
  for (const std::size_t i : {4, 0, 1, 2}) Remove(work[i]);
  return true;
}

}  // namespace

void SetSaveStepHook(SaveStepHook hook) { stepHook = hook; }

std::array<std::string, 5> SaveWorkNames(const DocumentTargets& targets) {
  const std::string stem = ".quorvane-" + Hex(Fnv1a(NameOf(targets[0]))) + ".";
  std::array<std::string, 5> names;
  const char* const suffixes[5] = {"flg", "qdn", "tle", "journal", "journal-new"};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = Beside(targets[0], stem + suffixes[i]);
  return names;
}

bool FinishInterruptedSave(const DocumentTargets& targets, std::string& reason) {
  const std::string folder = FolderOf(targets[0]);
  FolderLock lock(folder);
  return FinishLocked(targets, folder, SaveWorkNames(targets), reason);
}

bool ReplaceDocumentFiles(const DocumentTargets& targets, const std::array<std::string_view, 3>& contents,
                          std::string& reason) {
  const std::string folder = FolderOf(targets[0]);
  const auto work = SaveWorkNames(targets);
  FolderLock lock(folder);
  if (!FinishLocked(targets, folder, work, reason)) return false;
  if (Exists(work[3])) return Fail(reason, "another document's save is unfinished in " + folder);

  // Everything that would stop the renames is found before anything is written.
  // Write protection is read from the mode bits: a save as root is never refused
  // a write, yet must respect a file its owner made read-only.
  std::array<struct stat, 3> old{};
  std::array<bool, 3> existed{};
  for (std::size_t i = 0; i < 3; ++i) {
    struct stat st {};
    if (::stat(targets[i].c_str(), &st) != 0) {
      if (errno == ENOENT) continue;  // no file yet, or a link to none
      return Fail(reason, SystemReason("cannot reach", targets[i]));
    }
    if (S_ISDIR(st.st_mode)) return Fail(reason, targets[i] + " is a folder");
    if (!S_ISREG(st.st_mode)) return Fail(reason, targets[i] + " is not a file");
    if ((st.st_mode & S_IWUSR) == 0 || (::geteuid() != 0 && ::access(targets[i].c_str(), W_OK) != 0))
      return Fail(reason, targets[i] + " is write-protected");
    old[i] = st;
    existed[i] = true;
  }

  Journal journal;
  auto removeWork = [&] {
    for (const auto& w : work)
      if (Exists(w)) ::unlink(w.c_str());
  };
  for (std::size_t i = 0; i < 3; ++i) {
    if (!WriteDurably(work[i], contents[i], old[i].st_mode & 07777, existed[i], reason)) {
      removeWork();
      return false;
    }
    journal[i] = {contents[i].size(), Fnv1a(contents[i]), NameOf(work[i]), NameOf(targets[i])};
  }
  // The save is decided the moment the journal appears under its name.
  if (!WriteDurably(work[4], EncodeJournal(journal), 0, false, reason)) {
    removeWork();
    return false;
  }
  Step("rename");
  if (::rename(work[4].c_str(), work[3].c_str()) != 0) {
    reason = SystemReason("cannot write", work[3]);
    removeWork();
    return false;
  }
  SyncFolder(folder);

  for (std::size_t i = 0; i < 3; ++i) {
    Step("rename");
    if (::rename(work[i].c_str(), targets[i].c_str()) != 0)
      return Fail(reason, SystemReason("cannot replace", targets[i]) +
                              "; the save is finished when the document is next opened");
  }
  SyncFolder(folder);
  Remove(work[3]);
  SyncFolder(folder);
  return true;
}
