// MeshSetup: turns the drawing into the linear system of the flow: face weights
// from the obstacles, the coarse and fine solid maps, the uniform-stream and edge
// sources, and the 5-point matrix in CoefSouth / CoefEast / CoefDiag with
// RightHandSide.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "mesh/Mesh.h"

struct ObjectTable;
struct UiState;
struct CommandState;
class WindowServices;

// The external-field settings set-up reads: the strength (travels with the
// document only) and the item indexes of the direction lists, -1 when nothing
// is chosen. Vertical (ListBox1): 0 "None", 1 "Top to bottom", 2 "Bottom to top";
// horizontal (ListBox2): 0 "None", 1 "Left to right", 2 "Right to left".
struct ExternalField {
  float Strength = 0;
  std::int32_t VerticalItem = -1;
  std::int32_t HorizontalItem = -1;
};


struct MeshSetupOptions {
  // The flags under which the previous StreamFunction stays as the next run's
  // starting point (a re-stamp while opening, printing, the Flow Lines /
  // Pressure switch and the density commands).
  bool restampMode = false;
  bool printingActive = false;
  bool viewSwitchRedraw = false;
  bool densityRedraw = false;
  // View > Solid fill: the obstacles painted grey by `paintSolidFill` (when
  // given), with `aerofoilStrokes` for the aerofoils' wide strokes.
  bool solidFill = false;
  std::function<void(bool aerofoilStrokes)> paintSolidFill;
  // The window's part, each optional: the selected object drawn green again
  // (ObjectSelected is read again after it), and ClearView + RedrawAllObjects.
  std::function<void()> unhighlightSelected;
  std::function<void()> redrawView;

  bool KeepsSolution() const { return restampMode || printingActive || viewSwitchRedraw || densityRedraw; }
};

struct MeshSetupReport {
  // Records left out because their coordinates are not finite or lie further
  // than a whole view beyond the view (a damaged document).
  std::int32_t objectsLeftOut = 0;
  bool solidFillPainted = false;
};

// The whole set-up on the mesh of its current size (the solver arrays are
// allocated anew when their size does not match). Afterwards the system is ready
// to run: mesh.SystemReady is set.
MeshSetupReport MeshSetup(const ObjectTable& table, const ExternalField& field, Mesh& mesh,
                          const MeshSetupOptions& options = {});

// Analyse > Set up Mesh round MeshSetup, as the window runs it: the commands
// locked (not while re-stamping), flow lines cleared from the view when they are
// shown (streamlinesShown is then 0), the hourglass, Analyse > Run enabled, the
// help labels cleared and, at the 300 setting, help code 26 shown.
// restampMode and printingActive are taken from `commands`.
MeshSetupReport MeshSetupCommand(const ObjectTable& table, const ExternalField& field, Mesh& mesh,
                                 MeshSetupOptions options, UiState& ui, CommandState& commands,
                                 std::int32_t& streamlinesShown, WindowServices& services);

// The face weight of free fluid (0.001 on the 100 mesh, else 0.005) and of the
// outer frame (a fifth of it).
float BaseFaceWeight(const Mesh& mesh);

// The fine points (first … last along one axis) that visible cell `cell` of a
// mesh of `visible` cells covers, as set-up samples the aerofoil maps: 3 a cell
// at the 100 setting, 1 at the 300 setting, 2 (one shared) at the 200 setting.
void FineSpan(std::int32_t cell, std::int32_t visible, std::int32_t& first, std::int32_t& last);
float FrameFaceWeight(const Mesh& mesh);
