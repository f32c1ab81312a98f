// LinePlotDrawing: the rubber line dragged across the view and the two graphs
// of a sampled plot line, on the screen's plot bitmap or on a printed page.
#pragma once

#include <cstdint>

#include "display/LinePlot.h"
#include "platform/Canvas.h"

// A move with the button down after a press: the rubber line (not-xor) moved
// to (x, y), PlotLineActive up.
void PlotLineDrag(LinePlotState& plot, CommandState& cmd, Canvas& view, float x, float y);

// Takes the rubber line off the view, if one is drawn.
void EraseRubberLine(LinePlotState& plot, Canvas& view);

// The two graphs of the samples on a white surface: axes, titles, the dots
// of flow rate and pressure and their scales. Without any flow or any
// pressure along the line only the frame and the titles are drawn.
void DrawPlotGraphs(Canvas& canvas, const LinePlotState& plot, const PlotLayout& layout);

// A printed plot: the square print area of a page, its border and the graphs.
void DrawPlotPage(Canvas& page, const LinePlotState& plot, const PlotPageArea& area, std::int32_t visibleMeshSize);
