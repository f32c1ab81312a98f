// Aerofoils: Add Aerofoil with its "Select aerofoil angle" panel, and the
// re-stamping (with drawing) of every aerofoil of a document just read.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "geometry/AerofoilProfile.h"
#include "geometry/GeometryState.h"
#include "platform/Canvas.h"
#include "platform/WindowServices.h"
#include "platform/UiState.h"

constexpr std::int32_t AeroRotMin = -20, AeroRotMax = 20;
constexpr int HelpAddAerofoil = 27;
inline constexpr const char* TooManyAerofoilsMessage = "Three aerofoils maximum can be used.";

// StampAerofoil: a new aerofoil (selected, red) or, in restamp mode, the map of
// the aerofoil at RestampOffset rebuilt (green). A fourth aerofoil is refused
// with a beep and the message; the table is left as it was. Returns whether
// the aerofoil was stamped.
bool StampAerofoil(ViewScene& scene, Canvas& canvas, UiState& ui, std::int32_t x, std::int32_t y,
                   std::int32_t angle);

// Add Aerofoil (mnuEditAeroClick, SpeedButton6Click): the angle panel opens.
void AddAerofoilClick(ViewScene& scene, UiState& ui);
// AeroRotChange: the track bar moved; the caption the Aeroang label shows.
std::string AeroRotChange(ViewScene& scene, std::int32_t position);
// Button1Click (OK) and Button4Click (Cancel) of the angle panel.
void AerosizeOk(ViewScene& scene, Canvas& canvas, UiState& ui);
void AerosizeCancel(ViewScene& scene, UiState& ui);

// Every aerofoil of a loaded document stamped again from its record, drawn
// green; the last one becomes the selection (red).
void RestampAerofoils(ViewScene& scene, Canvas& canvas, UiState& ui);
