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

  // Settings the document carries for other parts of the program.
  std::string ExtfldStrength = "0";     // text of the external-field strength entry
  float ExternalFieldStrength = 0.0f;   // the accepted strength that mesh set-up uses
  std::int32_t ListBox1Item = -1;       // vertical field direction, -1 when none chosen
  std::int32_t ListBox2Item = -1;       // horizontal field direction, -1 when none chosen
  std::int32_t ShowValues = 0;          // object values written beside the objects
  // The view of the last document read: its origin in its window and its size.
  std::int32_t SavedViewOriginX = 0, SavedViewOriginY = 0, SavedViewSize = 0;
};

// "Quorvane [UNTITLED]" or "Quorvane " + the full file name.
std::string WindowCaption(const DocumentState& doc);
