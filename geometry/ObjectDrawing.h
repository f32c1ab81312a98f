// ObjectDrawing: the outlines of the objects in the table, drawn in not-xor so
// that a second drawing removes them (green, the selected one red), the
// selection of an object by a click, and the data labels of the selected object.
#pragma once

#include <cstdint>
#include <string>

#include "geometry/GeometryState.h"
#include "geometry/HitTest.h"
#include "platform/Canvas.h"
#include "platform/UiState.h"

namespace ObjectColours {
inline constexpr Rgb Normal{0, 128, 0};
inline constexpr Rgb Selected{255, 0, 0};
inline constexpr Rgb RubberBand{0, 0, 0};
}  // namespace ObjectColours

// Half the side of the square that stands for a wire, in pixels.
constexpr std::int32_t WireHalfSide = 4;
// The square of a wire with a dot (current out of the mesh) or a cross (into
// it), centred on (cx, cy), with the pen in force.
void DrawWireSymbol(Canvas& canvas, int cx, int cy, int half, float strength);

// The whole drawing of this subsystem over a view the caller has cleared: the
// help labels blanked, the grid when shown, every object green, the selected
// one red. Forgets the guidelines (the cleared view has lost them).
void RedrawAllObjects(ViewScene& scene, Canvas& canvas, UiState& ui, const DrawTarget& target = {});

// The selected object (SelectedKind, SelectedRecord) from green to red, and
// back; UnhighlightSelected also ends the selection.
void HighlightSelected(ViewScene& scene, Canvas& canvas);
void UnhighlightSelected(ViewScene& scene, Canvas& canvas, UiState& ui);

// The outline of NewShape (corners 1-2-3-4-1) with the pen in force.
void DrawPolygon(ViewScene& scene, Canvas& canvas);

// One aerofoil drawn from its cell map: offset 0, 4 or 8 for aerofoils 1-3,
// -1 for the scratch map. Colour "red", "black" or "green".
void DrawAerofoil(const ObjectTable& table, const Mesh& mesh, Canvas& canvas, std::int32_t offset,
                  const std::string& colour, const DrawTarget& target = {});

// The click (x, y) on the view with no command in progress: the object under
// it becomes the selection (or none), highlighted red.
void SelectAt(ViewScene& scene, Canvas& canvas, UiState& ui, float x, float y);

// The value fields written beside the objects, when the document asks for it.
void DrawObjectValues(ViewScene& scene, Canvas& canvas);

// DataLabel1 and DataLabel2: what and how large the selected object is.
void ShowSelectedData(const ViewScene& scene, UiState& ui);

// While an aerofoil is selected only Move and Clear apply to it.
void DisableNonAerofoilCommands(UiState& ui);
void EnableNonAerofoilCommands(UiState& ui);
