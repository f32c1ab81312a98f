// Recovery: a copy of unsaved work that outlives a crash of the program. Each
// running program keeps its copy in a slot of the recovery folder, written as
// any document is saved ("recovery-<n>.QDN", ".FLG", ".TLE"), and holds the
// slot's lock file "recovery-<n>.lock" with flock(2) for as long as it runs.
// A copy whose lock nobody holds was left by a session that did not end
// normally; a copy whose lock is held belongs to a program still running.
#pragma once

#include <cstdint>
#include <string>

#include "documents/DocumentFile.h"
#include "documents/FileCommands.h"

class RecoverySlot {
 public:
  explicit RecoverySlot(std::string folder);
  // Lets go of the lock and leaves the copy where it is, as a crash would:
  // a normal end calls Release first.
  ~RecoverySlot();
  RecoverySlot(const RecoverySlot&) = delete;
  RecoverySlot& operator=(const RecoverySlot&) = delete;

  // Takes the first slot that holds a copy left by a session that ended
  // abnormally; false when there is none. Lock files and debris that such
  // sessions left without a copy are cleared on the way. Makes no slot.
  bool ClaimLeftCopy();
  // Reads the held slot's copy as a document (a write of it that was cut off
  // is finished or undone first), scaled to a view of viewSize pixels.
  bool ReadCopy(std::int32_t viewSize, DocumentImage& image, std::string& reason) const;
  // Writes the image as the held slot's copy, all three files or none. Without
  // a slot, first takes a free one: never a live program's, never one that
  // holds a crashed session's copy (the folder is made when missing).
  bool Write(const DocumentImage& image, std::string& reason);
  // The copy goes; the slot stays held.
  void RemoveCopy();
  // The normal end: the copy and the lock file go, and the slot is free.
  void Release();

  bool Held() const { return lockFd_ >= 0; }
  bool HasCopy() const { return hasCopy_; }
  const std::string& Folder() const { return folder_; }
  // The copy's data file name ("" while no slot is held).
  std::string CopyName() const;

 private:
  bool ClaimFree(std::string& reason);
  void Drop();

  std::string folder_;
  std::string base_;  // folder + "/recovery-<n>" of the held slot
  int lockFd_ = -1;
  bool hasCopy_ = false;
};

// The document in memory as its recovery copy holds it. The external-field
// strength is the one entered when its text is a number, else the one last
// accepted: a copy is never refused.
DocumentImage CaptureForRecovery(const DocumentContext& ctx);

// Puts a recovered document in place as Open does, but untitled and with its
// changes unsaved: caption "Quorvane [UNTITLED]", DocumentModified 1.
void AdoptRecoveredDocument(DocumentContext& ctx, WindowServices& services, const DocumentHooks& hooks,
                            const DocumentImage& image);
