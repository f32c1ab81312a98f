// ProgramState: the program's state as the main window owns it for the whole
// run, one instance of each subsystem's struct, plus the solution the last run
// left and what this program adds (lift, the solver choice).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "display/FlowDisplay.h"
#include "display/FreeStream.h"
#include "display/Gauge.h"
#include "display/LinePlot.h"
#include "display/Lift.h"
#include "display/SurfacePressure.h"
#include "documents/Document.h"
#include "documents/FileCommands.h"
#include "documents/Preferences.h"
#include "geometry/GeometryState.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "mesh/Solver.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"
#include "shell/AppSettings.h"

struct ProgramState {
  ObjectTable objects;
  Mesh mesh;
  GridState grid;
  FlowDisplayState display;
  DocumentState doc;
  CommandState cmd;
  MouseState mouse;
  UiState ui;
  Preferences prefs;
  GeometryState geometry;
  SolverSettings solver;
  AppSettings appSettings;
  bool liftOn = false;        // Analyse > Lift (trailing-edge condition)
  bool onlineHelpOn = false;  // Help > On Line Help
  // The empty mesh's flow, kept for the whole run: the reference of lift, of
  // the surface pressure and of the gauge's U/U∞ and Cp.
  FreeStream freeStream;
  // The last run's circulations, and the solution they were added to: the
  // read-out beside the view holds while that solution is on the mesh.
  LiftResult lift;
  std::vector<float> liftedStream;
  SolverResult lastSolve;  // the last run's outcome and iteration count
  // The gauge's calibration and readings, the line plot's line and samples,
  // and the surface pressure last sampled with its title.
  GaugeState gauge;
  LinePlotState plot;
  SurfacePressure surface;
  std::string surfaceTitle;
  // The state structs the document's procedures work on.
  DocumentContext documentContext{objects, mesh, grid, display, doc, cmd, ui};

  ProgramState() = default;
  ProgramState(const ProgramState&) = delete;  // the contexts refer to this instance's members
  ProgramState& operator=(const ProgramState&) = delete;
};
