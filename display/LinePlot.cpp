#include "display/LinePlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "display/FlowDisplay.h"

namespace {

// A sample's readings; a reading the numbers cannot hold counts as none.
void StoreSample(LinePlotState& plot, std::int32_t i, const GaugeState& gauge, const Mesh& mesh, std::int32_t row,
                 std::int32_t column) {
  const GaugeReading r = ReadingAt(gauge, mesh, row, column);
  const bool usable = r.valid && !r.solid;
  plot.FlowSamples[static_cast<std::size_t>(i)] = usable ? r.flowRate : 0.0f;
  plot.PressureSamples[static_cast<std::size_t>(i)] = usable ? r.pressure : 0.0f;
  plot.PlotSampleLast = i;
}

}  // namespace

PlotLayout ScreenPlotLayout(const Mesh& mesh) {
  PlotLayout l;
  const std::int32_t t = mesh.MeshTop;
  l.axisX = 50;
  // The view is ViewSize wide; ViewRight also counts the window's left margin.
  l.lineRight = std::min(mesh.ViewRight, mesh.ViewSize) - 10;
  l.flowTop = t + 30;
  l.flowBase = mesh.ViewSize / 2 + t - 10;
  l.pressureTop = mesh.ViewSize / 2 + t + 30;
  l.pressureBottom = mesh.MeshBottom - 10;
  l.titleX = 50;
  l.flowTitleY = t + 10;
  l.pressureTitleY = l.pressureTop - 20;
  l.scaleTextX = 15;
  l.scaleTextDrop = 10;
  l.axisPen = 1;
  l.dotPen = 3;
  return l;
}

PlotLayout PagePlotLayout(std::int32_t printLeft, std::int32_t printTop, std::int32_t printRight,
                          std::int32_t printBottom, std::int32_t penScale) {
  PlotLayout l;
  const std::int32_t u = std::max(1, (printBottom - printTop) / 100);
  const std::int32_t half = (printBottom - printTop) / 2 + printTop;
  l.axisX = printLeft + 5 * u;
  l.lineRight = printRight - u;
  l.flowTop = printTop + 3 * u;
  l.flowBase = half - u;
  l.pressureTop = half + 3 * u;
  l.pressureBottom = printBottom - u;
  l.titleX = printLeft + 5 * u;
  l.flowTitleY = printTop + u;
  l.pressureTitleY = l.pressureTop - 3 * u;
  l.scaleTextX = printLeft + (3 * u) / 2;
  l.scaleTextDrop = u;
  l.axisPen = std::max(1, penScale);
  l.dotPen = 6 * std::max(1, penScale);
  l.fontPixels = std::max(10, 2 * u);
  return l;
}

void PlotLinePress(LinePlotState& plot, CommandState& cmd, const Mesh& mesh, float x, float y) {
  const Cell cell = PixelToCell(mesh, x, y);
  plot.PlotStartCol = cell.column;
  plot.PlotStartRow = cell.row;
  plot.PlotStartIndex = mesh.Index(cell.row, cell.column);
  plot.PressX = TruncPixel(x);
  plot.PressY = TruncPixel(y);
  plot.RubberLineDrawn = false;
  cmd.PlotPending = 1;
}


PlotEnd SetPlotEnd(LinePlotState& plot, const Mesh& mesh, float x, float y) {
  const Cell cell = PixelToCell(mesh, x, y);
  plot.PlotEndCol = cell.column;
  plot.PlotEndRow = cell.row;
  auto inside = [](std::int32_t v) { return v >= 0 && v < PlotCellLimit; };
  if (!inside(cell.column) || !inside(cell.row)) return PlotEnd::OutsideMesh;
  if (cell.column == plot.PlotStartCol && cell.row == plot.PlotStartRow) return PlotEnd::SameCell;
  return PlotEnd::Accepted;
}

std::vector<Cell> PlotSampleCells(const LinePlotState& plot) {
  std::vector<Cell> cells;
  const std::int32_t dx = plot.PlotEndCol - plot.PlotStartCol, dy = plot.PlotEndRow - plot.PlotStartRow;
  const std::int32_t n = std::max(std::abs(dx), std::abs(dy));
  // A line needs two cells, and its samples must fit.
  if (n == 0 || n + 2 > PlotSampleCapacity) return cells;
  cells.push_back({plot.PlotStartRow, plot.PlotStartCol});
  if (std::abs(dy) < std::abs(dx)) {
    const float slope = static_cast<float>(dy) / static_cast<float>(std::abs(dx));
    const std::int32_t step = dx < 0 ? -1 : 1;
    for (std::int32_t i = 1; i <= n + 1; ++i)
      cells.push_back({static_cast<std::int32_t>(static_cast<float>(i) * slope) + plot.PlotStartRow,
                       plot.PlotStartCol + i * step});
  } else {
    const float slope = static_cast<float>(dx) / static_cast<float>(std::abs(dy));
    const std::int32_t step = dy < 0 ? -1 : 1;
    for (std::int32_t i = 1; i <= n + 1; ++i)
      cells.push_back({plot.PlotStartRow + i * step,
                       static_cast<std::int32_t>(static_cast<float>(i) * slope) + plot.PlotStartCol});
  }
  return cells;
}

void SamplePlotLine(LinePlotState& plot, const GaugeState& gauge, const Mesh& mesh) {
  plot.PlotSampleLast = -1;
  const std::vector<Cell> cells = PlotSampleCells(plot);
  for (std::size_t i = 0; i < cells.size(); ++i)
    StoreSample(plot, static_cast<std::int32_t>(i), gauge, mesh, cells[i].row, cells[i].column);
}

std::string PlotSamplesCsv(const LinePlotState& plot) {
  std::string text = "sample,row,column,flow_rate_m_per_s,pressure_atm\n";
  const std::vector<Cell> cells = PlotSampleCells(plot);
  char line[160];
  for (std::int32_t i = 0; i <= plot.PlotSampleLast && i < static_cast<std::int32_t>(cells.size()); ++i) {
    const auto k = static_cast<std::size_t>(i);
    std::snprintf(line, sizeof line, "%d,%d,%d,%.9g,%.9g\n", i, cells[k].row, cells[k].column,
                  static_cast<double>(plot.FlowSamples[k]), static_cast<double>(plot.PressureSamples[k]));
    text += line;
  }
  return text;
}

PlotPageArea ComputePlotPageArea(std::int32_t pageWidth, std::int32_t pageHeight, std::int32_t dotsPerInch) {
  PlotPageArea a;
  a.PrintPenScale = std::max(1, dotsPerInch / 300);
  const std::int32_t margin = pageWidth / 16;
  a.PrintLeft = a.PrintTop = margin;
  a.PrintRight = pageWidth - margin;
  a.PrintBottom = pageHeight - margin;
  // The largest square inside the margins.
  if (a.PrintRight - a.PrintLeft <= a.PrintBottom - a.PrintTop)
    a.PrintBottom = a.PrintTop + (a.PrintRight - a.PrintLeft);
  else
    a.PrintRight = a.PrintLeft + (a.PrintBottom - a.PrintTop);
  return a;
}

