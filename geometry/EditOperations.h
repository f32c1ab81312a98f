// EditOperations: the commands that change the selected object: Copy, Move,
// Rotate, Flip, Stretch / Trapezoid / Expand, Clear, and Clear All for the
// whole table. Copy, Move, Rotate and the sizes are armed by their starter and
// then driven by the mouse: a preview follows the drag in not-xor (so it
// erases cleanly) and the release commits the change through StoreShape.
#pragma once

#include <array>
#include <cstdint>

#include "geometry/GeometryState.h"
#include "platform/Canvas.h"
#include "platform/WindowServices.h"
#include "platform/UiState.h"

// Online-help codes of the edit commands.
constexpr int HelpFlip = 1;
constexpr int HelpCopy = 9;
constexpr int HelpMove = 10;
constexpr int HelpRotate = 11;
constexpr int HelpSize = 14;

inline constexpr const char* ClearAllQuestion = "Do you want to clear all objects from the net?";

// The armed commands. Each does nothing when no object is selected or the
// selected kind is not one it applies to; `solidFill` (View > Solid fill
// checked) first redraws the view with outlines only. Copy of a kind whose
// array is full is refused with a beep.
void CopyClick(ViewScene& scene, Canvas& canvas, UiState& ui, bool solidFill);
void MoveClick(ViewScene& scene, Canvas& canvas, UiState& ui, bool solidFill);
void RotateClick(ViewScene& scene, Canvas& canvas, UiState& ui, bool solidFill);
void StretchClick(ViewScene& scene, Canvas& canvas, UiState& ui, bool solidFill);
void TrapezoidClick(ViewScene& scene, Canvas& canvas, UiState& ui, bool solidFill);
void ExpandClick(ViewScene& scene, Canvas& canvas, UiState& ui, bool solidFill);

// The drag of an armed command: the preview while the button is down, and
// the commit on release. A position that would carry the object out of the
// drawing area is answered with a beep; the command stays armed.
void EditPreview(ViewScene& scene, Canvas& canvas, UiState& ui, float x, float y);
void EditCommit(ViewScene& scene, Canvas& canvas, UiState& ui, float x, float y);

// Flip Left/Right and Top/Bottom of a polygon about its centroid, at once.
// A flip that would leave the drawing area is refused with a beep.
void FlipLeftRightClick(ViewScene& scene, Canvas& canvas, UiState& ui);
void FlipTopBottomClick(ViewScene& scene, Canvas& canvas, UiState& ui);

// Clear: the selected object leaves the table and the view (an aerofoil with
// its map; the later aerofoils move down one place).
void ClearClick(ViewScene& scene, Canvas& canvas, UiState& ui, bool solidFill);
// Clear All, after a Yes to the question: the table emptied and the view
// cleared to the grid.
void ClearAllClick(ViewScene& scene, Canvas& canvas, UiState& ui);

// The angle of (dx, dy) on the screen, counter-clockwise from the right, in
// radians 0 .. 2π.
float ScreenAngle(float dx, float dy);
// (x, y) turned by `angle` counter-clockwise on the screen.
void RotateBy(float angle, float& x, float& y);
