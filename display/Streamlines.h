// Streamlines: the "Flow Lines" display. Contours of a smoothed copy of the
// solution, found by scanning every mesh square at pixel resolution and drawn as
// short dots whose thickness grows where the flow is slow; and the Tools > Flow
// Lines density commands that redraw them without a new solve.
#pragma once

#include <cstdint>

#include "display/FlowDisplay.h"
#include "display/StreamField.h"
#include "mesh/Mesh.h"

class Canvas;
struct UiState;

// The whole flow-line display: the hourglass, commands locked, the smoothed
// copy, the speed field, the levels, the dots on `canvas`, the progress bar,
// then the gauge calibration and the view snapshot. The commands stay locked;
// the caller unlocks them. Answers false when Escape ended the scan early (what
// was drawn stays, the finishing steps still run).
bool DrawStreamlines(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                     const FlowTarget& target = {});

// Tools > Flow Lines > High / Normal / Low: the level count and its check mark;
// with a solution on the view, the view redrawn through set-up (solution kept)
// and the flow lines drawn anew. Ends with the commands unlocked.
void SetStreamDensity(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                      std::int32_t levelCount);
