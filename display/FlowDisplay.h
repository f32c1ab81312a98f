// FlowDisplayState: how the solution is shown: flow lines or the pressure map,
// the contour density, the pressure colouring and filter, and whether the
// current solution has been drawn.
#pragma once

#include <cstdint>

struct FlowDisplayState {
  std::int32_t StreamlinesShown = 0;  // flow lines drawn for the current solution
  std::int32_t StreamLevelCount = 21; // contour levels: 41 high, 21 normal, 9 low
  std::int32_t PressureShown = 0;     // the pressure map is on the view
  std::int32_t SolidFill = 1;         // View > Solid fill
  std::int32_t BcolorItem = 0;        // 0 colour, 1 grey
  std::int32_t LinlogItem = 0;
  float FilterLevel = 1.0f;
  std::int32_t DensityRedraw = 0;
  std::int32_t ViewSwitchRedraw = 0;
  std::int32_t SmoothingLevel = 1;    // 0 none, 1 normal, 2 high
};
