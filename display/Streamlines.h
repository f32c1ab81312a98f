// Streamlines: the "Flow Lines" display. Contours of a smoothed copy of the
// solution, found by scanning every mesh square at pixel resolution and drawn as
// short dots whose thickness grows where the flow is slow; and the Tools > Flow
// Lines density commands that redraw them without a new solve.
#pragma once

#include <cstdint>

#include "display/FlowDisplay.h"
#include "mesh/Mesh.h"

class Canvas;
struct UiState;

// StreamDisplay from StreamFunction: a copy, smoothed over the visible mesh with
// the weight of the smoothing level (none, normal 0.1, high 0.25).
void PrepareStreamDisplay(Mesh& mesh, const FlowDisplayState& flow);

// The StreamLevelCount contour levels over the displayed points of
// StreamDisplay, evenly spaced from the smallest value up to (not including)
// the largest, where the largest is never taken below 0.
void ComputeStreamLevels(const Mesh& mesh, FlowDisplayState& flow);

// Dot width on the view for a normalised speed 0..1 (1 fast .. 6 slow); a page
// multiplies it by 2 × PrintPenScale.
int StreamDotWidth(float speed);

// The whole flow-line display: the hourglass, commands locked, the smoothed
// copy, the speed field, the levels, the dots on `canvas`, the progress bar,
// then the gauge calibration and the view snapshot. The commands stay locked;
// the caller unlocks them. Answers false when Escape ended the scan early (what
// was drawn stays, the finishing steps still run).
bool DrawStreamlines(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                     const FlowTarget& target = {});

// Tools > Flow Lines > High / Normal / Low: the level count and its check mark;
// with a solution on the view, the view redrawn through set-up (solution kept)
// and the flow lines drawn anew. Ends with the commands unlocked.
void SetStreamDensity(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                      std::int32_t levelCount);
