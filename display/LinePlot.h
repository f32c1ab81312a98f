// LinePlot: the flow rate and the pressure along a line dragged across the
// flow display, as two graphs that replace the view (or fill a printed page):
// the rubber line while dragging, the samples along the line, the drawing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "display/Gauge.h"
#include "mesh/Mesh.h"
#include "platform/Rgb.h"
#include "platform/CommandState.h"

inline constexpr std::int32_t PlotSampleCapacity = 151;
// Both ends of a plot line must lie in cells 0 .. PlotCellLimit - 1, which
// keeps the samples within their capacity.
inline constexpr std::int32_t PlotCellLimit = 100;

struct LinePlotState {
  std::int32_t PlotStartCol = 0, PlotStartRow = 0, PlotEndCol = 0, PlotEndRow = 0;
  std::int32_t PlotStartIndex = 0;  // k0, the start's mesh index
  std::int32_t PressX = 0, PressY = 0;
  // The rubber line as it stands on the view, so that it is erased where it was.
  bool RubberLineDrawn = false;
  std::int32_t RubberEndX = 0, RubberEndY = 0;
  std::array<float, PlotSampleCapacity> FlowSamples{}, PressureSamples{};
  std::int32_t PlotSampleLast = -1;  // samples 0 .. PlotSampleLast are valid
};

// Where the frame, the titles and the curves lie on a surface, and the pens.
struct PlotLayout {
  std::int32_t axisX = 0, lineRight = 0;
  std::int32_t flowTop = 0, flowBase = 0;           // flow graph: top of its axis, base line (Yf)
  std::int32_t pressureTop = 0, pressureBottom = 0;  // pressure graph (Yt, Yb)
  std::int32_t titleX = 0, flowTitleY = 0, pressureTitleY = 0;
  std::int32_t scaleTextX = 0, scaleTextDrop = 0;  // labels of the scales, and how far "0" sits above its line
  std::int32_t axisPen = 1, dotPen = 3;
  std::int32_t fontPixels = 0;  // 0: the canvas's font as it is
};
PlotLayout ScreenPlotLayout(const Mesh& mesh);
PlotLayout PagePlotLayout(std::int32_t printLeft, std::int32_t printTop, std::int32_t printRight,
                          std::int32_t printBottom, std::int32_t penScale);


enum class PlotEnd { SameCell, OutsideMesh, Accepted };
// The end cell of the release at (x, y), and whether a plot can be drawn.
PlotEnd SetPlotEnd(LinePlotState& plot, const Mesh& mesh, float x, float y);

// The readings along the line from the start cell to one cell beyond the end
// cell, walked along the longer axis: PlotSampleLast = max(|dx|, |dy|) + 1.
// Obstacle cells read 0 for both. Nothing is sampled for a line of one cell.
void SamplePlotLine(LinePlotState& plot, const GaugeState& gauge, const Mesh& mesh);
// The visible cells the plot line samples, from its start cell on.
std::vector<Cell> PlotSampleCells(const LinePlotState& plot);
// The samples as CSV: a header, then the sample's number, its visible cell
// (row, column) and its readings in m/s and atmospheres.
std::string PlotSamplesCsv(const LinePlotState& plot);

// A press in gauge mode: the start cell and pixel, PlotPending up.
void PlotLinePress(LinePlotState& plot, CommandState& cmd, const Mesh& mesh, float x, float y);

// The square print area of a page for a printed plot.
struct PlotPageArea {
  std::int32_t PrintPenScale = 1, PrintLeft = 0, PrintTop = 0, PrintRight = 0, PrintBottom = 0;
};
PlotPageArea ComputePlotPageArea(std::int32_t pageWidth, std::int32_t pageHeight, std::int32_t dotsPerInch);
