#include "documents/Preferences.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

constexpr int RecordCount = 7;
constexpr std::int32_t DefaultDensity = 21;

// Writes `bytes` to `path` through a temporary file renamed over it, so a
// failed write leaves the old file whole.
bool WriteWhole(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

void PutInt32(std::string& bytes, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void SetGridStyle(bool lines, Preferences& prefs, GridState& grid) {
  prefs.controls.GridTypeItem = lines ? 0 : 1;
  grid.GridLinesCode = lines ? 18 : 0;
  grid.GridDotsCode = lines ? 0 : 17;
  grid.LinesChecked = lines;
  grid.DotsChecked = !lines;
}

void SetGridShown(bool shown, Preferences& prefs, GridState& grid) {
  prefs.controls.ShowGrid = shown;
  grid.ShowGridCode = shown ? 19 : 0;
  grid.ShowGridChecked = shown;
}

void SetDensity(std::int32_t value, Preferences& prefs, FlowDisplayState& display) {
  display.StreamLevelCount = value;
  const auto at = std::find(DensityLevels.begin(), DensityLevels.end(), value);
  if (at == DensityLevels.end()) return;  // an odd count is used as it is; the marks stay where they were
  prefs.controls.FlowLinesItem = static_cast<std::int32_t>(at - DensityLevels.begin());
  display.DensityMarks = DensityMarksOf(value);
}

}  // namespace

PrefRead LoadPreferences(const std::string& programFolder, Preferences& prefs, GridState& grid,
                         FlowDisplayState& display) {
  SetGridStyle(false, prefs, grid);
  SetGridShown(true, prefs, grid);
  SetDensity(DefaultDensity, prefs, display);

  std::ifstream in(programFolder + PrefFileName, std::ios::binary);
  if (!in) return PrefRead::Missing;
  for (int record = 1; record <= RecordCount; ++record) {
    unsigned char b[4];
    if (!in.read(reinterpret_cast<char*>(b), 4)) return PrefRead::Damaged;
    const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (std::uint32_t(b[1]) << 8) |
                                                 (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24));
    switch (record) {
      case 1: SetGridStyle(value == 1, prefs, grid); break;
      case 2: SetGridShown(value != 0, prefs, grid); break;
      case 3: SetDensity(value >= 1 && value <= 51 ? value : DefaultDensity, prefs, display); break;
      case 4: prefs.ShowStartUpTips = value == 1; break;
      case 5: break;
      case 6: prefs.TipIndex = value < 0 ? 0 : value > 11 ? 11 : value; break;
      case 7: prefs.ExitPanelChoice = value; break;
    }
  }
  return PrefRead::Complete;
}

PrefRead LoadDataFolder(const std::string& programFolder, Preferences& prefs, const std::string& defaultDataFolder) {
  const std::string defaultFolder = defaultDataFolder.empty() ? programFolder + "Data" : defaultDataFolder;
  std::ifstream in(programFolder + DataFolderFileName, std::ios::binary);
  std::string line;
  const bool opened = static_cast<bool>(in);
  if (opened) std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (opened && !line.empty() && line != "A") {
    prefs.controls.WorkingDir = line;
    return PrefRead::Complete;
  }
  prefs.controls.WorkingDir = defaultFolder;
  WriteWhole(programFolder + DataFolderFileName, defaultFolder);
  if (!opened) return PrefRead::Missing;
  return line == "A" ? PrefRead::Complete : PrefRead::Damaged;
}

PrefWrite SavePreferences(const std::string& programFolder, Preferences& prefs) {
  const PreferenceControls& c = prefs.controls;
  const std::int32_t exitPanel = prefs.ExitPanelChoice == 7 ? 6 : 7;
  std::string bytes;
  PutInt32(bytes, c.GridTypeItem == 0 ? 1 : 0);
  PutInt32(bytes, c.ShowGrid ? 1 : 0);
  PutInt32(bytes, DensityLevels[static_cast<std::size_t>(std::clamp(c.FlowLinesItem, 0, 2))]);
  PutInt32(bytes, prefs.ShowStartUpTips ? 1 : 0);
  PutInt32(bytes, 0);
  PutInt32(bytes, prefs.TipIndex + 1 > 11 ? 0 : prefs.TipIndex + 1);
  PutInt32(bytes, exitPanel);
  PrefWrite result;
  result.prefFile = WriteWhole(programFolder + PrefFileName, bytes);
  result.dataFolderFile = WriteWhole(programFolder + DataFolderFileName, c.WorkingDir);
  if (result.prefFile) prefs.ExitPanelChoice = exitPanel;
  return result;
}
