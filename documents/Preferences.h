// Preferences: the settings that carry from one run to the next, kept beside
// the program in Pref.PRF (seven little-endian 32-bit integers) and WorkDir.DIR
// (the data folder, one line without a line end).
#pragma once

#include <cstdint>
#include <string>

#include "display/FlowDisplay.h"
#include "mesh/GridState.h"
#include "platform/UiState.h"

// The pending preferences, as the Preferences panel shows them.
struct PreferenceControls {
  std::int32_t FlowLinesItem = 1;  // ListBox4: 0 High, 1 Normal, 2 Low
  std::int32_t GridTypeItem = 1;   // ListBox3: 0 Lines, 1 Dots
  bool ShowGrid = true;            // CheckBox1
  std::string WorkingDir;          // the data folder as typed
};

struct Preferences {
  PreferenceControls controls;
  bool ShowStartUpTips = true;  // Help > Show start up tips
  std::int32_t TipIndex = 0;    // 0..11, the tip shown next
  std::int32_t ExitPanelChoice = 7;
};

// What became of reading a preference file.
enum class PrefRead { Complete, Missing, Damaged };

constexpr const char* PrefFileName = "Pref.PRF";
constexpr const char* DataFolderFileName = "WorkDir.DIR";

// Reads Pref.PRF from the program folder, applying every record that could be
// read to the preferences, the current grid and the flow-line density; the
// rest keep their defaults. The density is taken only within 1..51 (else 21)
// and the tip number is held to 0..11.
PrefRead LoadPreferences(const std::string& programFolder, Preferences& prefs, GridState& grid,
                         FlowDisplayState& display);
// Reads WorkDir.DIR into prefs.controls.WorkingDir. "A" (no folder chosen yet),
// a missing or empty file give `defaultDataFolder` (the program folder + "Data"
// when empty), which is written back at once.
PrefRead LoadDataFolder(const std::string& programFolder, Preferences& prefs,
                        const std::string& defaultDataFolder = {});
// Which of the two files a save wrote in full; a file that was not written is
// left on disk as it was.
struct PrefWrite {
  bool prefFile = false, dataFolderFile = false;
  bool Complete() const { return prefFile && dataFolderFile; }
};
// Writes both files with the exit panel choice toggled; the toggle is kept for
// the rest of the run only when Pref.PRF was written, so a retried save after a
// failure still alternates the panels.
PrefWrite SavePreferences(const std::string& programFolder, Preferences& prefs);
