// StreamField: what the flow-line display is drawn from: the smoothed copy of
// the solution, its contour levels, and the dot width for a speed.
#pragma once

#include <cstdint>

#include "display/FlowDisplay.h"
#include "display/FlowField.h"
#include "mesh/Mesh.h"

// Whether the mesh holds every array the flow lines are drawn from.
bool HoldsStreamDisplay(const Mesh& mesh);

// How many contour levels are drawn: StreamLevelCount held to 1..51.
std::int32_t StreamLevelsUsed(const FlowDisplayState& flow);

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
