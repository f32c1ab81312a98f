// PressureMap: the speed of every mesh point and the "Flow Pressure" display
// built on it: one coloured (or grey) square per mesh point, slow flow red /
// white, fast flow violet to black, obstacles grey, flow lines on top. Also the
// Flow Lines / Pressure switch and the choices of the pressure display panels.
#pragma once

#include <cstdint>

#include "display/FlowDisplay.h"
#include "mesh/Mesh.h"
#include "platform/Canvas.h"

struct UiState;

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

// Paints the map that ComputeFlowField left in PressureField, then the
// obstacles grey over it.
void PaintPressureMap(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, const FlowTarget& target = {});

// The whole pressure display: the panel shown, the field computed and painted,
// the flow lines over it, and only the toggle, print and clipboard commands left
// usable.
void ShowPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                         const FlowTarget& target = {});

// The toggle button: flow lines to pressure map and back. Without a solution
// only the check marks move.
void SwitchFlowView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks);
// View > Flow Lines and View > Flow Pressure: the switch, unless that view is
// already on.
void ChooseFlowLinesView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks);
void ChooseFlowPressureView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui,
                            const FlowHooks& hooks);

// "Flow pressure display": the Color / Mono and Lin / Log choices (item
// indexes, -1 for none) and the map painted anew.
void SetPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                        std::int32_t bcolorItem, std::int32_t linlogItem);
// The filter panel's Set: FilterLevel from the track bar position (0..100) and
// the map painted anew.
void SetFilterLevel(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, const FlowHooks& hooks,
                    std::int32_t position);
// View > Solid fill: toggles the check mark that set-up reads.
void ToggleSolidFill(FlowDisplayState& flow, UiState& ui);
