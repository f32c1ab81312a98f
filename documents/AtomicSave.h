// AtomicSave: replaces the three files of a document as one. The new files are
// written and flushed under short names of their own beside the old ones; a
// small journal, itself put in place by a rename, marks the moment the save is
// decided; then the new files are renamed over the old ones and the journal
// goes. A save cut off at any instant is finished (or, when its new files are
// incomplete, undone) before the document is next read or written.
#pragma once

#include <array>
#include <string>
#include <string_view>

// The files of one document, all in one folder: the flag, data and title file.
using DocumentTargets = std::array<std::string, 3>;

// Writes contents[i] as targets[i]. First finishes a save of the same document
// that was cut off. An existing target that is a folder, or whose mode gives
// its owner no write permission, stops the save before anything is written.
// A new file takes the permissions of the file it replaces. False with the
// reason on failure; until the journal is in place, a failure leaves the old
// files as they were and no temporary file behind.
bool ReplaceDocumentFiles(const DocumentTargets& targets, const std::array<std::string_view, 3>& contents,
                          std::string& reason);

// Finishes or undoes an interrupted save of the document, and removes what
// saves cut off earlier left in its folder, including the "<file>.~<pid>-<n>.tmp"
// and ".old" files of the program's earlier versions. False with the reason
// only when an interrupted save is there and cannot be finished now (the
// document is then not to be read).
bool FinishInterruptedSave(const DocumentTargets& targets, std::string& reason);

// The short names beside the targets that a save of this document uses: the
// three new files, the journal and the journal being written. Derived from a
// hash of the flag file's name, so any name the file system takes can be saved.
std::array<std::string, 5> SaveWorkNames(const DocumentTargets& targets);

// For tests: called with a short label before every step of a save or of its
// completion that changes the disk (each create, write, flush, close, rename
// and removal), so that a test can end the process at any of them.
using SaveStepHook = void (*)(const char* step);
void SetSaveStepHook(SaveStepHook hook);
