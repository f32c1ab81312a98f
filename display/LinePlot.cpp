#include "display/LinePlot.h"

#include <algorithm>
#include <cmath>
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

void Line(Canvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
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

void EraseRubberLine(LinePlotState& plot, Canvas& view) {
  if (!plot.RubberLineDrawn) return;
  view.SetPen(Colours::Black, 1, PenMode::NotXor, PenStyle::Solid);
  Line(view, plot.PressX, plot.PressY, plot.RubberEndX, plot.RubberEndY);
  plot.RubberLineDrawn = false;
}

void PlotLineDrag(LinePlotState& plot, CommandState& cmd, Canvas& view, float x, float y) {
  cmd.PlotLineActive = 1;
  EraseRubberLine(plot, view);
  plot.RubberEndX = TruncPixel(x);
  plot.RubberEndY = TruncPixel(y);
  view.SetPen(Colours::Black, 1, PenMode::NotXor, PenStyle::Solid);
  Line(view, plot.PressX, plot.PressY, plot.RubberEndX, plot.RubberEndY);
  plot.RubberLineDrawn = true;
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

void SamplePlotLine(LinePlotState& plot, const GaugeState& gauge, const Mesh& mesh) {
  const std::int32_t dx = plot.PlotEndCol - plot.PlotStartCol, dy = plot.PlotEndRow - plot.PlotStartRow;
  const std::int32_t n = std::max(std::abs(dx), std::abs(dy));
  plot.PlotSampleLast = -1;
  // A line needs two cells, and its samples must fit.
  if (n == 0 || n + 2 > PlotSampleCapacity) return;
  StoreSample(plot, 0, gauge, mesh, plot.PlotStartRow, plot.PlotStartCol);
  if (std::abs(dy) < std::abs(dx)) {
    const float slope = static_cast<float>(dy) / static_cast<float>(std::abs(dx));
    const std::int32_t step = dx < 0 ? -1 : 1;
    for (std::int32_t i = 1; i <= n + 1; ++i)
      StoreSample(plot, i, gauge, mesh, static_cast<std::int32_t>(static_cast<float>(i) * slope) + plot.PlotStartRow,
                  plot.PlotStartCol + i * step);
  } else {
    const float slope = static_cast<float>(dx) / static_cast<float>(std::abs(dy));
    const std::int32_t step = dy < 0 ? -1 : 1;
    for (std::int32_t i = 1; i <= n + 1; ++i)
      StoreSample(plot, i, gauge, mesh, plot.PlotStartRow + i * step,
                  static_cast<std::int32_t>(static_cast<float>(i) * slope) + plot.PlotStartCol);
  }
}

void DrawPlotGraphs(Canvas& c, const LinePlotState& plot, const PlotLayout& l) {
  c.SetPen(Colours::Black, l.axisPen, PenMode::NotXor, PenStyle::Solid);
  c.SetFontColour(Colours::Black);
  c.SetBrush(Colours::White, BrushStyle::Clear);  // the labels have no background of their own
  if (l.fontPixels > 0) c.SetFont("DejaVu Sans", l.fontPixels);
  const std::int32_t yf = l.flowBase, yt = l.pressureTop, yb = l.pressureBottom;
  const std::int32_t middle = (yb + yt) / 2;
  c.TextOut(l.titleX, l.flowTitleY, "Flow rate");
  Line(c, l.axisX, l.flowTop, l.axisX, yf);
  Line(c, l.axisX, yf, l.lineRight, yf);
  c.TextOut(l.titleX, l.pressureTitleY, "Pressure");
  Line(c, l.axisX, yt, l.axisX, yb);
  Line(c, l.axisX, middle, l.lineRight, middle);

  const std::int32_t last = plot.PlotSampleLast;
  if (last < 1) return;
  const std::int32_t n = last - 1;
  const std::int32_t xStep = static_cast<std::int32_t>(static_cast<float>(l.lineRight - l.axisX) / (n + 1));
  float fMax = 0, pMax = 0;
  for (std::int32_t i = 0; i <= last; ++i) {
    fMax = std::max(fMax, plot.FlowSamples[static_cast<std::size_t>(i)]);
    pMax = std::max(pMax, std::fabs(plot.PressureSamples[static_cast<std::size_t>(i)]));
  }
  if (!(fMax > 0) || !(pMax > 0)) return;
  const float fs = static_cast<float>(yf - l.flowTop) / fMax;
  const float ps = static_cast<float>(yb - yt) / (2.0f * pMax);
  const std::int32_t ym = yb - (yb - yt) / 2;
  c.SetPenWidth(l.dotPen);
  for (std::int32_t i = 0; i <= last; ++i) {
    const std::int32_t x = l.axisX + i * xStep;
    const std::int32_t yF = yf - TruncPixel(plot.FlowSamples[static_cast<std::size_t>(i)] * fs);
    const std::int32_t yP = ym - TruncPixel(plot.PressureSamples[static_cast<std::size_t>(i)] * ps);
    Line(c, x, yF, x, yF + 1);
    Line(c, x, yP, x, yP + 1);
  }
  const std::string sF = FormatReading(fMax, 0), sP = FormatReading(pMax, 0);
  c.TextOut(l.scaleTextX, yf - TruncPixel(fMax * fs), sF);
  c.TextOut(l.scaleTextX, yf - l.scaleTextDrop, "0");
  c.TextOut(l.scaleTextX, ym - TruncPixel(pMax * ps), sP);
  c.TextOut(l.scaleTextX, ym + TruncPixel(pMax * ps) - l.scaleTextDrop, "-" + sP);
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

void DrawPlotPage(Canvas& page, const LinePlotState& plot, const PlotPageArea& a, std::int32_t visibleMeshSize) {
  const float cells = static_cast<float>(std::max(1, visibleMeshSize) + 1);
  const float cellWidth = static_cast<float>(a.PrintRight - a.PrintLeft) / cells;
  const float cellHeight = static_cast<float>(a.PrintBottom - a.PrintTop) / cells;
  const std::int32_t p = 5 * a.PrintPenScale;
  page.SetPen(Colours::Black, p, PenMode::Copy, PenStyle::Solid);
  page.SetBrush(Colours::White, BrushStyle::Clear);
  const std::int32_t left = TruncPixel(static_cast<float>(a.PrintLeft - p) - cellWidth);
  const std::int32_t top = TruncPixel(static_cast<float>(a.PrintTop - p) - cellHeight);
  page.MoveTo(left, top);
  page.LineTo(left, a.PrintBottom + p);
  page.LineTo(a.PrintRight + p, a.PrintBottom + p);
  page.LineTo(a.PrintRight + p, top);
  page.LineTo(left, top);
  DrawPlotGraphs(page, plot, PagePlotLayout(a.PrintLeft, a.PrintTop, a.PrintRight, a.PrintBottom, a.PrintPenScale));
}
