#include "geometry/Aerofoils.h"

#include <algorithm>
#include <cmath>

#include "geometry/ObjectDrawing.h"

bool StampAerofoil(ViewScene& s, Canvas& c, UiState& ui, std::int32_t x, std::int32_t y,
                   std::int32_t angle) {
  ObjectTable& t = s.table;
  GeometryState& g = s.geometry;
  const bool restamp = s.command.RestampMode == 1;
  std::int32_t len = t.AerofoilDataLen;
  if (restamp) {
    const std::int32_t o = g.RestampOffset;
    // Only an aerofoil that exists can be rebuilt.
    if (o < 0 || o % AerofoilRecordSize != 0 || o + AerofoilRecordSize > len) return false;
    len -= AerofoilRecordSize;
  }
  if (len >= MaxAerofoils * AerofoilRecordSize || len < 0) {
    s.services.Ask().Beep();
    s.services.Ask().Message(TooManyAerofoilsMessage);
    UnlockCommands(ui);
    return false;
  }
  const std::int32_t offset = restamp ? g.RestampOffset : len;
  std::vector<char>& map = t.AerofoilMap(offset / AerofoilRecordSize + 1);
  if (restamp && offset == 0)
    for (std::int32_t n = 2; n <= MaxAerofoils; ++n) std::fill(t.AerofoilMap(n).begin(), t.AerofoilMap(n).end(), ' ');
  StampProfile(g.AerofoilTemplate, map, x, y, angle);
  if (!restamp) {
    float* r = t.AerofoilData.data() + offset;
    r[0] = static_cast<float>(x);
    r[1] = static_cast<float>(y);
    r[2] = 1.0f;
    r[3] = static_cast<float>(angle);
  }
  DrawAerofoil(t, s.mesh, c, offset, restamp ? "green" : "red");
  t.SelectedAerofoilOffset = len;
  t.SelectedAerofoil = len / AerofoilRecordSize + 1;
  t.AerofoilDataLen = len + AerofoilRecordSize;
  t.ObjectSelected = 1;
  t.SelectedKind = KindAerofoil;
  t.SelectedRecord.fill(0.0f);
  std::copy_n(t.AerofoilData.begin() + len, AerofoilRecordSize, t.SelectedRecord.begin());
  UnlockCommands(ui);
  return true;
}

void AddAerofoilClick(ViewScene& s, UiState& ui) {
  if (AnyCommand(s.command)) return;
  s.DocumentModified = 1;
  s.command.CommandActive = 1;
  LockCommands(ui, s.services, true);
  s.command.AddAerofoilActive = 1;
  s.services.SaveViewSnapshot();
  s.geometry.AerosizeVisible = true;
  ui.status[3] = "Add aerofoil";
  s.services.ShowOnlineHelp(HelpAddAerofoil);
}

std::string AeroRotChange(ViewScene& s, std::int32_t position) {
  s.geometry.AeroRotPosition = std::clamp(position, AeroRotMin, AeroRotMax);
  return std::to_string(s.geometry.AeroRotPosition);
}

namespace {
void CloseAerosize(ViewScene& s) {
  s.geometry.AerosizeVisible = false;
  if (s.geometry.hooks.CloseEntryPanels) s.geometry.hooks.CloseEntryPanels();
  s.services.RestoreViewSnapshot();
}
}  // namespace

void AerosizeOk(ViewScene& s, Canvas& c, UiState& ui) {
  if (!s.command.AddAerofoilActive) return;
  ObjectTable& t = s.table;
  CloseAerosize(s);
  // A fourth aerofoil is refused before anything is touched: the selection
  // and its commands stay as they were.
  if (t.AerofoilDataLen >= MaxAerofoils * AerofoilRecordSize) {
    s.services.Ask().Beep();
    s.services.Ask().Message(TooManyAerofoilsMessage);
    UnlockCommands(ui);
    const bool aerofoilSelected = t.ObjectSelected && t.SelectedKind == KindAerofoil;
    CancelCommand(s.command);
    if (aerofoilSelected) DisableNonAerofoilCommands(ui);
    return;
  }
  if (t.ObjectSelected) UnhighlightSelected(s, c, ui);
  BuildAerofoilTemplate(s.geometry.AerofoilTemplate);
  s.command.RestampMode = 0;
  const bool stamped = StampAerofoil(s, c, ui, 0, 0, s.geometry.AeroRotPosition);
  CancelCommand(s.command);
  if (stamped) {
    DisableNonAerofoilCommands(ui);
    ClearObjectLabels(ui);
    ShowSelectedData(s, ui);
    s.services.SaveViewSnapshot();
  }
}

void AerosizeCancel(ViewScene& s, UiState& ui) {
  CloseAerosize(s);
  UnlockCommands(ui);
  if (s.table.ObjectSelected && s.table.SelectedKind == KindAerofoil) DisableNonAerofoilCommands(ui);
  CancelCommand(s.command);
}

void RestampAerofoils(ViewScene& s, Canvas& c, UiState& ui) {
  ObjectTable& t = s.table;
  const std::int32_t len = std::clamp(t.AerofoilDataLen / AerofoilRecordSize, 0, MaxAerofoils) * AerofoilRecordSize;
  if (len == 0) return;
  t.AerofoilDataLen = len;
  BuildAerofoilTemplate(s.geometry.AerofoilTemplate);
  const std::int32_t mode = s.command.RestampMode;
  s.command.RestampMode = 1;
  for (std::int32_t o = 0; o < len; o += AerofoilRecordSize) {
    s.geometry.RestampOffset = o;
    const float* r = t.AerofoilData.data() + o;
    // A record read from a file may hold anything; a wild offset stamps off
    // the frame and leaves an empty map.
    StampAerofoil(s, c, ui, AerofoilRecordWhole(r[0], 1000.0f), AerofoilRecordWhole(r[1], 1000.0f),
                  AerofoilRecordWhole(r[3], 360.0f));
  }
  s.command.RestampMode = mode;
  // The selection is shown the way every selection is: red.
  if (t.ObjectSelected && t.SelectedKind == KindAerofoil) {
    HighlightSelected(s, c);
    DisableNonAerofoilCommands(ui);
  }
}
