// PressureMap: the "Flow Pressure" display built on the flow field: one
// coloured (or grey) square per mesh point, slow flow red / white, fast flow
// violet to black, obstacles grey, flow lines on top. Also the Flow Lines /
// Pressure switch and the choices of the pressure display panels.
#pragma once

#include <cstdint>

#include "display/FlowDisplay.h"
#include "display/FlowField.h"
#include "mesh/Mesh.h"
#include "platform/Canvas.h"

struct UiState;



// Paints the map that ComputeFlowField left in PressureField, then the
// obstacles grey over it.
void PaintPressureMap(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, const FlowTarget& target = {});

// The whole pressure display: the panel shown, the field computed and painted,
// the flow lines over it, and only the toggle, print and clipboard commands left
// usable.
void ShowPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                         const FlowTarget& target = {});

// The toggle button: flow lines to pressure map and back. Without a solution
// only the check marks move.
void SwitchFlowView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks);
// View > Flow Lines and View > Flow Pressure: the switch, unless that view is
// already on.
void ChooseFlowLinesView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks);
void ChooseFlowPressureView(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services,
                            const FlowHooks& hooks);

// "Flow pressure display": the Color / Mono and Lin / Log choices (item
// indexes, -1 for none) and the map painted anew.
void SetPressureDisplay(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                        std::int32_t bcolorItem, std::int32_t linlogItem);
// The filter panel's Set: FilterLevel from the track bar position (0..100) and
// the map painted anew.
void SetFilterLevel(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui, WindowServices& services, const FlowHooks& hooks,
                    std::int32_t position);
// View > Solid fill: toggles the check mark that set-up reads.
void ToggleSolidFill(FlowDisplayState& flow);
