// GridState: the grid overlay the user chose (dots or lines, shown or not,
// the centre lines), as the documents and preference files store it.
#pragma once

#include <cstdint>

struct GridState {
  std::int32_t GridDotsCode = 17;   // 17: the grid type is dots
  std::int32_t GridLinesCode = 0;   // 18: the grid type is lines
  std::int32_t ShowGridCode = 19;   // 19: the grid is shown
  std::int32_t CentreLinesShown = 1;
  // Check marks of Tools > Grid > Dots / Lines, Show Grid and Show Centre Lines.
  bool DotsChecked = true;
  bool LinesChecked = false;
  bool ShowGridChecked = true;
  bool CentreLinesChecked = true;
};
