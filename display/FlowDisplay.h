// FlowDisplayState: how the solution is shown: flow lines or the pressure map,
// the contour density, the pressure colouring and filter, and whether the
// current solution has been drawn. Also where a flow drawing lands (view or
// printer page) and the calls it makes into the rest of the program.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/WindowServices.h"

// Contour densities of Tools > Flow Lines.
inline constexpr std::int32_t HighStreamLevels = 41;
inline constexpr std::int32_t NormalStreamLevels = 21;
inline constexpr std::int32_t LowStreamLevels = 9;
inline constexpr std::int32_t MaxStreamLevels = 51;
// The densities behind the marks High, Normal and Low, in that order.
inline constexpr std::array<std::int32_t, 3> DensityLevels = {HighStreamLevels, NormalStreamLevels, LowStreamLevels};
// The marks a density command leaves: the one whose density it is.
inline std::array<bool, 3> DensityMarksOf(std::int32_t levelCount) {
  return {levelCount == HighStreamLevels, levelCount == NormalStreamLevels, levelCount == LowStreamLevels};
}

// SpeedGrid holds up to 358 × 358 mesh points, column by column.
inline constexpr std::int32_t SpeedGridStride = 359;

struct FlowDisplayState {
  std::int32_t StreamlinesShown = 0;  // flow lines drawn for the current solution
  std::int32_t StreamLevelCount = NormalStreamLevels;
  std::array<float, MaxStreamLevels> StreamLevels{};  // the first StreamLevelCount are used
  // Normalised speed 0..1 of each mesh point at [column × SpeedGridStride + row]:
  // the pen widths of the flow-line dots.
  std::vector<float> SpeedGrid = std::vector<float>(SpeedGridStride * SpeedGridStride, 0.0f);

  // Which view is on: 0 flow lines ("Flow Lines" checked), 1 the pressure map
  // ("Flow Pressure" checked).
  std::int32_t PressureShown = 0;
  std::int32_t SolidFill = 1;         // View > Solid fill
  std::int32_t BcolorItem = 0;        // "Flow pressure display": 0 Color, 1 Mono, -1 none chosen
  std::int32_t LinlogItem = 0;        // 0 Lin, 1 Log
  float FilterLevel = 1.0f;           // (100 - Bfilter_level) / 100; the map does not use it
  std::int32_t FilterPosition = 0;    // Bfilter_level, 0..100
  bool BdisplayVisible = false;       // the "Flow pressure display" panel
  bool BFilterVisible = false;        // the filter panel with Bfilter_level and Bset
  std::int32_t DensityRedraw = 0;     // a density command is redrawing: set-up keeps the solution
  std::int32_t ViewSwitchRedraw = 0;  // the Flow Lines / Pressure switch is redrawing: likewise
  std::int32_t SmoothingLevel = 1;    // Analyse > Smoothing: 0 none, 1 normal, 2 high
  // The Tools > Flow Lines marks, High / Normal / Low. They are their own
  // fact: a document may store marks that disagree with StreamLevelCount (a
  // density of 30 keeps Normal marked; all three 0 leave none marked).
  std::array<bool, 3> DensityMarks{false, true, false};

  // Smallest signed speed and a 255th of the speed range of the last speed
  // computation; points inside an obstacle are given Min + 125 × Unit.
  float SpeedMin = 0, SpeedUnit = 0;
};

// Where a flow drawing lands: the view (MeshTop from the mesh, no left offset,
// one-pixel pen unit) or a printer page. For the page the printing code puts the
// printer's cell size into the mesh's CellWidth / CellHeight while it draws.
struct FlowTarget {
  bool printer = false;
  std::int32_t PrintLeft = 0, PrintTop = 0, PrintPenScale = 1;
};

// The calls a flow drawing makes into the other subsystems (the window's own
// services come as WindowServices). Either may be left empty.
struct FlowHooks {
  std::function<void()> ReadGaugeCalibration;
  // The view redrawn through mesh set-up with the solution kept (DensityRedraw
  // or ViewSwitchRedraw is up while it runs).
  std::function<void()> MeshSetupRedraw;
};

// Truncation toward zero of a pixel coordinate, the way the flow displays place
// everything; values that are not finite or lie far off any canvas are pinned
// well outside it instead of overflowing.
inline int TruncPixel(float v) {
  if (!(v > -1.0e6f)) return -1000000;
  if (!(v < 1.0e6f)) return 1000000;
  return static_cast<int>(v);
}

// Start-up and File > New: flow lines checked, the pressure and filter panels
// hidden, colour on "Color", filter level 1.0.
void ResetFlowView(FlowDisplayState& flow);
