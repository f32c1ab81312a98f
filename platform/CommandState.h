// CommandState: the flags and step counters of the command in progress, for
// every command of the program. All are 0 while idle; CancelCommand returns the
// whole set to that in one stroke, so a flag added here is reset with the rest.
// MouseState holds the positions the mouse handlers track; it survives a cancel.
#pragma once

#include <array>
#include <cstdint>

struct CommandState {
  std::int32_t CommandActive = 0;
  // Add commands.
  std::int32_t AddRectStep = 0;      // 1 first point .. 4 rubber band, 5 completed
  std::int32_t AddCircleStep = 0;    // 1 centre, 3 rubber band, 4 completed
  std::int32_t AddAerofoilActive = 0;
  std::int32_t AddGuidelineStep = 0;
  // Edit commands.
  std::int32_t CopyActive = 0;
  std::int32_t MoveActive = 0;
  std::int32_t RotateActive = 0;
  std::int32_t FlipActive = 0;
  std::int32_t StretchActive = 0;
  std::int32_t TrapezoidActive = 0;
  std::int32_t ExpandActive = 0;
  std::int32_t ChangeDataActive = 0;
  std::int32_t SwitchPolesActive = 0;
  // Rubber band and shape checks.
  std::int32_t RubberBandDrawn = 0;
  float FirstClickX = 0, FirstClickY = 0;
  std::array<float, 4> SavedCorners{};
  std::int32_t ShortEdgeFlag = 0;
  std::int32_t BadRectFlag = 0;
  std::int32_t AirFlag = 0;
  std::int32_t EscapePressed = 0;
  // Other work that runs as a command.
  std::int32_t RestampMode = 0;
  std::int32_t PrintingActive = 0;
  std::int32_t LoadFailed = 0;
  std::int32_t MeshSetupBusy = 0;
  std::int32_t PlotLineStep = 0;
  // The gauge's line plot: a press has fixed the start, the line is being
  // dragged (click calibration waits), a plot is on the view.
  std::int32_t PlotPending = 0;
  std::int32_t PlotLineActive = 0;
  std::int32_t PlotShown = 0;

  // True while any add or edit command is in progress.
  bool Busy() const;
};

struct MouseState {
  std::int32_t MouseButtonDown = 0;
  float MouseRawX = 0, MouseRawY = 0;
  float MouseX = 0, MouseY = 0;
  float PrevMouseX = 0, PrevMouseY = 0;
};

// Every command-step flag back to 0; the selection and the document are kept.
inline void CancelCommand(CommandState& state) { state = CommandState{}; }
