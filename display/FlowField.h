// FlowField: the speed of every mesh point, derived from the solved stream
// function, normalised for the pressure display (linear or log stretched), and
// the colour and grey ramps that the display paints it with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/FlowDisplay.h"
#include "mesh/Mesh.h"
#include "platform/Rgb.h"

// Whether the mesh holds the arrays a flow field is computed into.
bool HoldsFlowField(const Mesh& mesh);

// What the speed computation is for: the flow lines, gauge and plot (linear,
// fills SpeedGrid) or the pressure map (honours the Lin / Log choice).
enum class FlowFieldMode { Compute, Pressure };

// SpeedField and PressureField from StreamFunction: the signed neighbour
// difference of largest size at every point; then PressureField normalised to
// 0..1 over the displayed points (obstacle edges take the far side's value)
// and, in compute mode or with "Lin", copied into SpeedGrid. A field with no
// flow at all gives 0 everywhere. Does nothing before flow lines are shown.
void ComputeFlowField(Mesh& mesh, FlowDisplayState& flow, FlowFieldMode mode = FlowFieldMode::Compute);

// The colour ramp and the grey scale of a normalised value (clamped to 0..1).
Rgb PressureColour(float v);
Rgb PressureGrey(float v);

// The visible cells of a mesh field as CSV, one line per mesh row from the
// top, one value per visible column, no header; `magnitude` writes |value|.
std::string VisibleFieldCsv(const Mesh& mesh, const std::vector<float>& field, bool magnitude);
