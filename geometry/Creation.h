// Creation: the mouse on the view. The add commands that draw rectangular and
// circular sections click by click with a rubber band, the prompts in status
// panel 3, the X / Y / Rot read-out, Escape, and the three mouse procedures
// that dispatch every click to selection, guidelines, creation or an edit.
#pragma once

#include <cstdint>
#include <string>

#include "geometry/GeometryState.h"
#include "platform/Canvas.h"
#include "platform/WindowServices.h"
#include "platform/UiState.h"

// Online-help codes of the add commands.
constexpr int HelpAddRectangle = 5;
constexpr int HelpAddCircle = 22;

// Add Rectangle (MnuEditMagdomClick, SpeedButton4Click) and Add Circle
// (MnuEditCMagdomClick, SpeedButton23Click): lock the commands and wait for the
// first click. A full array is refused with a beep.
void AddRectangleClick(ViewScene& scene, UiState& ui);
void AddCircleClick(ViewScene& scene, UiState& ui);

// Every add command starts from a clean slate: no command flags, no shape and
// no rubber band left over from the command before.
void ClearCreationScratch(ViewScene& scene);

// The prompt of the command in progress, into status panel 3.
void ShowPrompt(const ViewScene& scene, UiState& ui);
// Current mouse position from the raw one, panels 0-2 (X, Y, Rot) and the
// gauge read-out.
void UpdateMouseReadout(ViewScene& scene, UiState& ui);

// The view's (and the form's) mouse events, at view pixel (x, y).
void VMouseDown(ViewScene& scene, Canvas& canvas, UiState& ui, float x, float y);
void VMouseMove(ViewScene& scene, Canvas& canvas, UiState& ui, float x, float y);
void VMouseUp(ViewScene& scene, Canvas& canvas, UiState& ui, float x, float y);

// A key typed in the window. Escape (27) cancels the command in progress (or
// the open external-field panel) and redraws the view from the table; every
// key empties status panel 4. Returns whether a command was cancelled.
bool FormKeyPress(ViewScene& scene, Canvas& canvas, UiState& ui, int key, bool externalFieldPanelVisible = false);

// "Rot: " with the angle of (dx, dy) from the horizontal, 0 to 90 degrees.
std::string RotationText(float dx, float dy);

// The pieces, for the magnetic kinds that share them and for the tests.
bool InsideDrawArea(const Mesh& mesh, float x, float y);
void RectClick(ViewScene& scene, Canvas& canvas, UiState& ui, std::int32_t& step,
               std::int32_t kind, float x, float y);
void CircleClick(ViewScene& scene, Canvas& canvas, UiState& ui, std::int32_t& step,
                 std::int32_t kind, float x, float y);
void RectRubberBand(ViewScene& scene, Canvas& canvas, std::int32_t& step);
void CircleRubberBand(ViewScene& scene, Canvas& canvas);
// The line from the first point (NewShape corner 1) to the mouse, the previous
// one erased first.
void RubberBandLine(ViewScene& scene, Canvas& canvas);
// Corners 3 and 4 of NewShape for the mouse at (mx, my): the rectangle stays
// rectangular on the first edge; the old corners go to SavedCorners.
void SquareCorners(ObjectTable& table, CommandState& command, float mx, float my);
// Completion of a section of kind 0 or 5: drawn red, stored, selected, and the
// command ended.
void FinishSection(ViewScene& scene, Canvas& canvas, UiState& ui, std::int32_t kind);
