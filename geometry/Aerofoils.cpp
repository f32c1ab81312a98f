#include "geometry/Aerofoils.h"

#include <algorithm>
#include <cmath>

#include "geometry/ObjectDrawing.h"

namespace {

// The profile's boundary: rows first..last hold "b" in the columns given (-1:
// none).
struct BoundaryRows {
  int first, last, a, b, c;
};
constexpr BoundaryRows Boundary[] = {
    {0, 0, 13, 14, 15},     {1, 1, 12, 16, -1},     {2, 2, 11, 17, -1},     {3, 3, 10, 17, -1},
    {4, 4, 10, 18, -1},     {5, 6, 9, 18, -1},      {7, 8, 8, 19, -1},      {9, 10, 7, 19, -1},
    {11, 13, 6, 19, -1},    {14, 16, 5, 19, -1},    {17, 19, 4, 19, -1},    {20, 23, 3, 19, -1},
    {24, 29, 2, 19, -1},    {30, 37, 1, 19, -1},    {38, 44, 0, 19, -1},    {45, 60, 0, 18, -1},
    {61, 71, 0, 17, -1},    {72, 81, 1, 17, -1},    {82, 89, 2, 17, -1},    {90, 96, 3, 17, -1},
    {97, 103, 4, 16, -1},   {104, 110, 5, 16, -1},  {111, 115, 6, 16, -1},  {116, 120, 7, 16, -1},
    {121, 122, 8, 16, -1},  {123, 125, 8, 15, -1},  {126, 128, 9, 15, -1},  {129, 132, 10, 15, -1},
    {133, 137, 11, 15, -1}, {138, 140, 12, 15, -1}, {141, 145, 13, 15, -1}, {146, 149, 14, 15, -1},
    {150, 150, 15, -1, -1},
};

// Where the chord centre (row 74, column 4) of a new aerofoil lands.
constexpr int ChordCentreRow = 74, ChordCentreColumn = 4;
constexpr int PlacementColumn = 148, PlacementRow = 141;

constexpr int Side = AerofoilMapSide;

char At(const std::vector<char>& map, int i, int j) {
  if (i < 0 || i >= Side || j < 0 || j >= Side) return ' ';
  return map[static_cast<std::size_t>(i) * Side + j];
}
char& MapCell(std::vector<char>& map, int i, int j) { return map[static_cast<std::size_t>(i) * Side + j]; }
bool Solid(char c) { return c == 'i' || c == 'b'; }

// One cell of a boundary sweep: B before and N after it along i.
void SweepCell(std::vector<char>& map, int i, int j, int before, int after, int& seen) {
  const char b = At(map, before, j), n = At(map, after, j);
  char& c = MapCell(map, i, j);
  if (c == 'i' && seen == 0) c = 'b';
  if (c == 'b') ++seen;
  if (c == ' ' && (b == 'b' || n == 'i') && n != ' ') c = 'b';
}

void RepairMap(std::vector<char>& map) {
  for (int i = 2; i <= Side - 3; ++i)
    for (int j = 2; j <= Side - 3; ++j)
      if (MapCell(map, i, j) == ' ' && Solid(At(map, i - 1, j)) && Solid(At(map, i + 1, j)) &&
          Solid(At(map, i, j - 1)) && Solid(At(map, i, j + 1)))
        MapCell(map, i, j) = 'i';
  for (int j = 0; j < Side; ++j) {
    int seen = 0;
    for (int i = 0; i < Side; ++i) SweepCell(map, i, j, i - 1, i + 1, seen);
  }
  for (int j = 0; j < Side; ++j) {
    int seen = 0;
    for (int i = Side - 1; i >= 0; --i) SweepCell(map, i, j, i + 1, i - 1, seen);
  }
  for (int i = 0; i < Side; ++i) {
    int seen = 0;
    for (int j = 0; j < Side; ++j) SweepCell(map, i, j, i - 1, i + 1, seen);
  }
  for (int i = 0; i < Side; ++i) {
    int seen = 0;
    for (int j = Side - 1; j >= 0; --j) SweepCell(map, i, j, i - 1, i + 1, seen);
  }
}

std::int32_t RoundCell(float v) { return RoundPixel(v); }

}  // namespace

void BuildAerofoilTemplate(AerofoilProfile& p) {
  p.fill(' ');
  for (const BoundaryRows& r : Boundary)
    for (int k = r.first; k <= r.last; ++k)
      for (int m : {r.a, r.b, r.c})
        if (m >= 0) p[static_cast<std::size_t>(k * AerofoilTemplateColumns + m)] = 'b';
  for (int m = 0; m < AerofoilTemplateColumns; ++m) {
    bool met = false;
    for (int k = 0; k < AerofoilTemplateRows; ++k) {
      char& c = p[static_cast<std::size_t>(k * AerofoilTemplateColumns + m)];
      if (c == 'b') {
        met = true;
        continue;
      }
      if (!met) continue;
      bool below = false;
      for (int n = k + 1; n < AerofoilTemplateRows && !below; ++n)
        below = p[static_cast<std::size_t>(n * AerofoilTemplateColumns + m)] == 'b';
      if (below) c = 'i';
    }
  }
}

void StampProfile(const AerofoilProfile& p, std::vector<char>& map, std::int32_t x, std::int32_t y,
                  std::int32_t angle) {
  if (map.size() != static_cast<std::size_t>(AerofoilMapCells)) map.assign(AerofoilMapCells, ' ');
  std::fill(map.begin(), map.end(), ' ');
  // The track bar counts nose-up degrees; on the screen y grows downwards.
  const float a = static_cast<float>(angle) * -0.0174532924f;
  const float ca = std::cos(a), sa = std::sin(a);
  for (int k = 0; k < AerofoilTemplateRows; ++k)
    for (int m = 0; m < AerofoilTemplateColumns; ++m) {
      const float dk = static_cast<float>(k - ChordCentreRow), dm = static_cast<float>(m - ChordCentreColumn);
      const float u = ca * dk + sa * dm;
      const float v = ca * dm - sa * dk;
      // Offsets come from documents: keep the sums in range before adding.
      const std::int64_t i = std::int64_t{x} + PlacementColumn + RoundCell(u);
      const std::int64_t j = std::int64_t{y} + PlacementRow + RoundCell(v);
      if (i < 0 || i >= Side || j < 0 || j >= Side) continue;
      MapCell(map, static_cast<int>(i), static_cast<int>(j)) = p[static_cast<std::size_t>(k * AerofoilTemplateColumns + m)];
    }
  RepairMap(map);
}

bool StampAerofoil(ViewScene& s, Canvas& c, UiState& ui, Prompts& prompts, std::int32_t x, std::int32_t y,
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
    prompts.Beep();
    prompts.Message(TooManyAerofoilsMessage);
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
  LockCommands(ui, true);
  s.command.AddAerofoilActive = 1;
  if (s.geometry.hooks.SaveViewSnapshot) s.geometry.hooks.SaveViewSnapshot();
  s.geometry.AerosizeVisible = true;
  ui.status[3] = "Add aerofoil";
  if (s.geometry.hooks.ShowOnlineHelp) s.geometry.hooks.ShowOnlineHelp(HelpAddAerofoil);
}

std::string AeroRotChange(ViewScene& s, std::int32_t position) {
  s.geometry.AeroRotPosition = std::clamp(position, AeroRotMin, AeroRotMax);
  return std::to_string(s.geometry.AeroRotPosition);
}

namespace {
void CloseAerosize(ViewScene& s) {
  s.geometry.AerosizeVisible = false;
  if (s.geometry.hooks.CloseEntryPanels) s.geometry.hooks.CloseEntryPanels();
}
}  // namespace

void AerosizeOk(ViewScene& s, Canvas& c, UiState& ui, Prompts& prompts) {
  if (!s.command.AddAerofoilActive) return;
  ObjectTable& t = s.table;
  CloseAerosize(s);
  // A fourth aerofoil is refused before anything is touched: the selection
  // and its commands stay as they were.
  if (t.AerofoilDataLen >= MaxAerofoils * AerofoilRecordSize) {
    prompts.Beep();
    prompts.Message(TooManyAerofoilsMessage);
    UnlockCommands(ui);
    const bool aerofoilSelected = t.ObjectSelected && t.SelectedKind == KindAerofoil;
    CancelCommand(s.command);
    if (aerofoilSelected) DisableNonAerofoilCommands(ui);
    return;
  }
  if (t.ObjectSelected) UnhighlightSelected(s, c, ui);
  BuildAerofoilTemplate(s.geometry.AerofoilTemplate);
  s.command.RestampMode = 0;
  const bool stamped = StampAerofoil(s, c, ui, prompts, 0, 0, s.geometry.AeroRotPosition);
  CancelCommand(s.command);
  if (stamped) {
    DisableNonAerofoilCommands(ui);
    ClearObjectLabels(ui);
    ShowSelectedData(s, ui);
    if (s.geometry.hooks.SaveViewSnapshot) s.geometry.hooks.SaveViewSnapshot();
  }
}

void AerosizeCancel(ViewScene& s, UiState& ui) {
  CloseAerosize(s);
  UnlockCommands(ui);
  if (s.table.ObjectSelected && s.table.SelectedKind == KindAerofoil) DisableNonAerofoilCommands(ui);
  CancelCommand(s.command);
}

void RestampAerofoils(ViewScene& s, Canvas& c, UiState& ui, Prompts& prompts) {
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
    auto whole = [](float v, float limit) {
      return std::isfinite(v) ? RoundPixel(std::clamp(v, -limit, limit)) : 0;
    };
    StampAerofoil(s, c, ui, prompts, whole(r[0], 1000.0f), whole(r[1], 1000.0f), whole(r[3], 360.0f));
  }
  s.command.RestampMode = mode;
  // The selection is shown the way every selection is: red.
  if (t.ObjectSelected && t.SelectedKind == KindAerofoil) {
    HighlightSelected(s, c);
    DisableNonAerofoilCommands(ui);
  }
}
