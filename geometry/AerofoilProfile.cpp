#include "geometry/AerofoilProfile.h"

#include <algorithm>
#include <cmath>

#include "geometry/HitTest.h"

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
      const std::int64_t i = std::int64_t{x} + PlacementColumn + RoundPixel(u);
      const std::int64_t j = std::int64_t{y} + PlacementRow + RoundPixel(v);
      if (i < 0 || i >= Side || j < 0 || j >= Side) continue;
      MapCell(map, static_cast<int>(i), static_cast<int>(j)) = p[static_cast<std::size_t>(k * AerofoilTemplateColumns + m)];
    }
  RepairMap(map);
}

std::int32_t AerofoilRecordWhole(float v, float limit) {
  return std::isfinite(v) ? RoundPixel(std::clamp(v, -limit, limit)) : 0;
}

void StampAerofoilMaps(ObjectTable& t, const AerofoilProfile& profile) {
  const std::int32_t count = std::clamp(t.AerofoilDataLen / AerofoilRecordSize, 0, MaxAerofoils);
  t.AerofoilDataLen = count * AerofoilRecordSize;
  for (std::int32_t n = 1; n <= MaxAerofoils; ++n) {
    std::vector<char>& map = t.AerofoilMap(n);
    if (n > count) {
      std::fill(map.begin(), map.end(), ' ');
      continue;
    }
    const float* r = t.AerofoilData.data() + (n - 1) * AerofoilRecordSize;
    StampProfile(profile, map, AerofoilRecordWhole(r[0], 1000.0f), AerofoilRecordWhole(r[1], 1000.0f),
                 AerofoilRecordWhole(r[3], 360.0f));
  }
}
