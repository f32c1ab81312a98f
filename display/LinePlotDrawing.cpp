#include "display/LinePlotDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "display/FlowDisplay.h"

namespace {

void Line(Canvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

}  // namespace

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
