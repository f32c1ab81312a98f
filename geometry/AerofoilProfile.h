// AerofoilProfile: the built-in wing profile and its stamping into an
// aerofoil's 300 × 300 cell map at an angle of attack and a cell offset.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "geometry/ObjectTable.h"

constexpr std::int32_t AerofoilTemplateRows = 151;    // k, along the chord from the leading edge
constexpr std::int32_t AerofoilTemplateColumns = 20;  // m, across the thickness
constexpr std::int32_t MaxAerofoils = 3;

using AerofoilProfile = std::array<char, AerofoilTemplateRows * AerofoilTemplateColumns>;

// The profile from its boundary table, with the cells between the leading and
// trailing boundary of every thickness column filled as interior.
void BuildAerofoilTemplate(AerofoilProfile& profile);

// The profile turned by `angle` degrees (positive: nose up) and laid into `map`
// with its chord centre at cell (148 + x, 141 + y), then the holes the rotation
// leaves filled and the boundary cells marked again. Cells that fall off the
// frame are dropped. The map is blanked first.
void StampProfile(const AerofoilProfile& profile, std::vector<char>& map, std::int32_t x, std::int32_t y,
                  std::int32_t angle);

// A record's offset or angle as the stamping takes it: rounded, held to
// ±limit, and 0 for a value that is not a number (records come from files).
std::int32_t AerofoilRecordWhole(float v, float limit);

// Every aerofoil map of the table stamped again from its record, as a
// document that has just been read needs them; the selection is untouched.
void StampAerofoilMaps(ObjectTable& table, const AerofoilProfile& profile);
