// RecoveryKeeper: the window's side of the recovery copy. The copy lives in the
// user's data folder under the XDG rules (<data home>/Quorvane/recovery). While
// the document has unsaved changes the keeper writes it between commands, at
// most once every couple of seconds and again once the program is idle; it
// removes the copy as soon as there are none (New, Open, Save, the exit), and
// at start-up offers the copy that a session which ended abnormally left.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <string>

#include "documents/Recovery.h"

class ShellServices;

class RecoveryKeeper {
 public:
  static constexpr int WriteInterval = 2000;  // milliseconds from one copy to the next, at least
  static constexpr const char* Question = "Recover unsaved work?";

  explicit RecoveryKeeper(ShellServices& window, std::string folder = DefaultFolder());
  // Finish.
  ~RecoveryKeeper();
  RecoveryKeeper(const RecoveryKeeper&) = delete;
  RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

  // The recovery folder of this user; empty when the system names no data folder.
  static std::string DefaultFolder();

  // At start-up: takes the copy a session that ended abnormally left; true
  // when there is one to offer. A copy another running program holds is left alone.
  bool FindLeftWork();
  bool OfferPending() const { return offerPending_; }
  // Once the window is shown: "Recover unsaved work?". Yes hands the copy to
  // the window in `recovered`, to be opened as an untitled, modified document
  // (true); No removes it. A copy that cannot be read is reported and removed.
  bool Offer(DocumentImage& recovered);
  // After anything that may have changed the document: once the program is
  // idle, the copy follows the document.
  void Check();
  // The normal end of the program: the copy and its lock go. A copy that was
  // never offered stays for the next start.
  void Finish();

  const RecoverySlot& Slot() const { return slot_; }
  int CopiesWritten() const { return copiesWritten_; }

 private:
  void Follow();
  void WriteCopy();

  ShellServices& window_;
  RecoverySlot slot_;
  QTimer idle_;      // the next turn of the event loop
  QTimer throttle_;  // the end of the interval after the last copy
  QElapsedTimer sinceWrite_;
  std::string lastFlags_, lastData_, lastTitle_;  // what the copy on disk holds
  int copiesWritten_ = 0;
  bool offerPending_ = false;
  bool finished_ = false;
  bool failureReported_ = false;
};
