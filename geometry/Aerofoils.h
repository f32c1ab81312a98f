// Aerofoils: the built-in wing profile, its stamping into an aerofoil's
// 300 × 300 cell map at an angle of attack and a cell offset, Add Aerofoil with
// its "Select aerofoil angle" panel, and the re-stamping of every aerofoil of a
// document that has just been read.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "geometry/GeometryState.h"
#include "platform/Canvas.h"
#include "platform/Prompts.h"
#include "platform/UiState.h"

constexpr std::int32_t AerofoilTemplateRows = 151;    // k, along the chord from the leading edge
constexpr std::int32_t AerofoilTemplateColumns = 20;  // m, across the thickness
constexpr std::int32_t MaxAerofoils = 3;
constexpr std::int32_t AeroRotMin = -20, AeroRotMax = 20;
constexpr int HelpAddAerofoil = 27;
inline constexpr const char* TooManyAerofoilsMessage = "Three aerofoils maximum can be used.";

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

// StampAerofoil: a new aerofoil (selected, red) or, in restamp mode, the map of
// the aerofoil at RestampOffset rebuilt (green). A fourth aerofoil is refused
// with a beep and the message; the table is left as it was. Returns whether
// the aerofoil was stamped.
bool StampAerofoil(ViewScene& scene, Canvas& canvas, UiState& ui, Prompts& prompts, std::int32_t x, std::int32_t y,
                   std::int32_t angle);

// Add Aerofoil (mnuEditAeroClick, SpeedButton6Click): the angle panel opens.
void AddAerofoilClick(ViewScene& scene, UiState& ui);
// AeroRotChange: the track bar moved; the caption the Aeroang label shows.
std::string AeroRotChange(ViewScene& scene, std::int32_t position);
// Button1Click (OK) and Button4Click (Cancel) of the angle panel.
void AerosizeOk(ViewScene& scene, Canvas& canvas, UiState& ui, Prompts& prompts);
void AerosizeCancel(ViewScene& scene, UiState& ui);

// Every aerofoil of a loaded document stamped again from its record, drawn
// green; the last one becomes the selection (red).
void RestampAerofoils(ViewScene& scene, Canvas& canvas, UiState& ui, Prompts& prompts);
