// DocumentState: the document in memory as the file commands see it: whether it
// has unsaved changes, its file name (empty while untitled), its title, and the
// data folder the dialogs start in.
#pragma once

#include <cstdint>
#include <string>

struct DocumentState {
  std::int32_t DocumentModified = 0;
  std::int32_t SaveCancelled = 0;
  std::string CurrentFileName;  // empty while untitled
  std::string Title;            // at most 32 characters
  std::string DataFolder;
};

// "Quorvane [UNTITLED]" or "Quorvane " + the full file name.
std::string WindowCaption(const DocumentState& doc);
