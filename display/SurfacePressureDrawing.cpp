#include "display/SurfacePressureDrawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "display/FlowDisplay.h"

namespace {

constexpr double Pi = 3.14159265358979323846;

// The drawing's frame inside the layout: the plot area and the unit of length.
struct Frame {
  std::int32_t u = 1;
  std::int32_t plotLeft = 0, plotTop = 0, plotRight = 0, plotBottom = 0;
  double xLow = 0, xHigh = 1, xStep = 1;
  double cpLow = -1, cpHigh = 1, cpStep = 0.5;

  int X(double position) const {
    return plotLeft + TruncPixel(static_cast<float>((position - xLow) / (xHigh - xLow) * (plotRight - plotLeft)));
  }
  // The most negative Cp at the top.
  int Y(double cp) const {
    return plotTop + TruncPixel(static_cast<float>((cp - cpLow) / (cpHigh - cpLow) * (plotBottom - plotTop)));
  }
};

// A step of 1, 2, 2.5 or 5 times a power of ten that divides `range` into at
// most `most` parts.
double NiceStep(double range, int most) {
  if (!(range > 0) || !std::isfinite(range)) return 1;
  const double raw = range / most;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 2.5, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

// Decimals enough to tell the ticks of `step` apart.
int DecimalsFor(double step) {
  int decimals = 0;
  while (decimals < 3 && std::fabs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
    ++decimals;
  return decimals;
}

std::string Number(double value, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string text = buf;
  if (text.find_first_not_of("-0.") == std::string::npos && text[0] == '-') text.erase(0, 1);
  return text;
}

Frame MakeFrame(const SurfacePressure& surface, const SurfacePlotLayout& l) {
  Frame f;
  f.u = std::max(1, (l.bottom - l.top) / 100);
  const std::int32_t u = f.u;
  f.plotLeft = l.left + 10 * u;
  f.plotRight = l.right - 4 * u;
  f.plotTop = l.top + 13 * u;
  f.plotBottom = l.bottom - 10 * u;

  double positionHigh = 0;
  double low = 0, high = 1;  // Cp = 1 (stagnation) and 0 always in view
  for (const SurfaceSample& s : surface.samples) {
    if (!std::isfinite(s.cp)) continue;
    positionHigh = std::max(positionHigh, s.position);
    low = std::min(low, s.cp);
    high = std::max(high, s.cp);
  }
  if (surface.hasExact) low = std::min(low, -3.0);  // 1 − 4 sin²θ at 90 degrees
  f.cpStep = NiceStep(high - low, 8);
  f.cpLow = std::floor(low / f.cpStep - 1e-9) * f.cpStep;
  f.cpHigh = std::ceil(high / f.cpStep + 1e-9) * f.cpStep;
  if (!(f.cpHigh > f.cpLow)) f.cpHigh = f.cpLow + f.cpStep;

  switch (surface.axis) {
    case SurfaceAxis::AngleDegrees:
      f.xLow = 0, f.xHigh = 360, f.xStep = 45;
      break;
    case SurfaceAxis::XOverC:
      f.xLow = 0, f.xHigh = 1, f.xStep = 0.1;
      break;
    default:
      f.xStep = NiceStep(positionHigh, 8);
      f.xLow = 0;
      f.xHigh = std::max(f.xStep, std::ceil(positionHigh / f.xStep - 1e-9) * f.xStep);
      break;
  }
  return f;
}

void Line(Canvas& c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

void Axes(Canvas& c, const Frame& f, const SurfacePlotLayout& l, SurfaceAxis axis) {
  const std::int32_t u = f.u;
  const int textHeight = c.TextHeight("0");
  // Light guide lines at every tick, Cp = 0 darker.
  c.SetPen(Colours::Silver, 1, PenMode::Copy, PenStyle::Dot);
  const int cpTicks = static_cast<int>(std::lround((f.cpHigh - f.cpLow) / f.cpStep));
  for (int i = 0; i <= cpTicks; ++i) Line(c, f.plotLeft, f.Y(f.cpLow + i * f.cpStep), f.plotRight, f.Y(f.cpLow + i * f.cpStep));
  const int xTicks = static_cast<int>(std::lround((f.xHigh - f.xLow) / f.xStep));
  for (int i = 0; i <= xTicks; ++i) Line(c, f.X(f.xLow + i * f.xStep), f.plotTop, f.X(f.xLow + i * f.xStep), f.plotBottom);
  c.SetPen(Colours::Grey, l.pen, PenMode::Copy, PenStyle::Solid);
  Line(c, f.plotLeft, f.Y(0), f.plotRight, f.Y(0));

  c.SetPen(Colours::Black, l.pen, PenMode::Copy, PenStyle::Solid);
  c.SetBrush(Colours::White, BrushStyle::Clear);
  c.MoveTo(f.plotLeft, f.plotTop);
  c.LineTo(f.plotLeft, f.plotBottom);
  c.LineTo(f.plotRight, f.plotBottom);
  c.LineTo(f.plotRight, f.plotTop);
  c.LineTo(f.plotLeft, f.plotTop);

  const int cpDecimals = DecimalsFor(f.cpStep);
  for (int i = 0; i <= cpTicks; ++i) {
    const double cp = f.cpLow + i * f.cpStep;
    const std::string text = Number(cp, cpDecimals);
    Line(c, f.plotLeft - u, f.Y(cp), f.plotLeft, f.Y(cp));
    c.TextOut(f.plotLeft - u - c.TextWidth(text) - u / 2, f.Y(cp) - textHeight / 2, text);
  }
  c.TextOut(f.plotLeft - c.TextWidth("Cp") / 2, f.plotTop - textHeight - u, "Cp");
  const int xDecimals = DecimalsFor(f.xStep);
  for (int i = 0; i <= xTicks; ++i) {
    const double x = f.xLow + i * f.xStep;
    // x/c reads every other tick.
    if (axis == SurfaceAxis::XOverC && i % 2 == 1) continue;
    const std::string text = Number(x, axis == SurfaceAxis::XOverC ? 1 : xDecimals);
    Line(c, f.X(x), f.plotBottom, f.X(x), f.plotBottom + u);
    c.TextOut(f.X(x) - c.TextWidth(text) / 2, f.plotBottom + u + u / 2, text);
  }
  const std::string caption = SurfaceAxisCaption(axis);
  c.TextOut((f.plotLeft + f.plotRight - c.TextWidth(caption)) / 2, f.plotBottom + 3 * u + textHeight, caption);
}

// The typical spacing of the samples: a gap much wider than it (samples left
// out where the readings met an obstacle) breaks the curve.
double TypicalSpacing(const std::vector<const SurfaceSample*>& points) {
  std::vector<double> gaps;
  for (std::size_t i = 1; i < points.size(); ++i) gaps.push_back(std::fabs(points[i]->position - points[i - 1]->position));
  if (gaps.empty()) return 0;
  std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
  return gaps[gaps.size() / 2];
}

void Curve(Canvas& c, const Frame& f, const std::vector<const SurfaceSample*>& points) {
  const double breakGap = 2.5 * TypicalSpacing(points);
  const SurfaceSample* previous = nullptr;
  for (const SurfaceSample* s : points) {
    const int x = f.X(s->position), y = f.Y(s->cp);
    if (previous && std::fabs(s->position - previous->position) <= breakGap) {
      c.LineTo(x, y);
    } else {
      // A lone sample still shows as a dot.
      c.MoveTo(x, y);
      c.LineTo(x + 1, y);
      c.MoveTo(x, y);
    }
    previous = s;
  }
}

struct CurveStyle {
  Rgb colour;
  PenStyle style;
  std::string name;
};

}  // namespace

SurfacePlotLayout ScreenSurfacePlotLayout(const Mesh& mesh) {
  SurfacePlotLayout l;
  l.left = 0;
  l.top = 0;
  l.right = std::max(1, std::min(mesh.ViewRight, mesh.ViewSize));
  l.bottom = std::max(1, mesh.ViewSize);
  l.pen = 1;
  l.fontPixels = std::max(10, 2 * ((l.bottom - l.top) / 100));
  return l;
}

SurfacePlotLayout PageSurfacePlotLayout(const PlotPageArea& a) {
  SurfacePlotLayout l;
  l.left = a.PrintLeft;
  l.top = a.PrintTop;
  l.right = a.PrintRight;
  l.bottom = a.PrintBottom;
  l.pen = std::max(1, a.PrintPenScale);
  l.fontPixels = std::max(10, 2 * ((l.bottom - l.top) / 100));
  return l;
}

std::string SurfaceAxisCaption(SurfaceAxis axis) {
  switch (axis) {
    case SurfaceAxis::AngleDegrees: return "Angle round the section, degrees from the upstream point, over the top";
    case SurfaceAxis::XOverC: return "x/c along the chord from the nose";
    case SurfaceAxis::ArcLength: return "Distance round the outline from its first corner, cells";
    default: return "";
  }
}

void DrawSurfacePressure(Canvas& c, const SurfacePressure& surface, const std::string& title,
                         const SurfacePlotLayout& l) {
  c.SetFont("DejaVu Sans", l.fontPixels);
  c.SetFontColour(Colours::Black);
  c.SetBrush(Colours::White, BrushStyle::Clear);
  const Frame f = MakeFrame(surface, l);
  const std::int32_t u = f.u;
  const int textHeight = c.TextHeight("0");
  c.TextOut(l.left + 2 * u, l.top + 2 * u, title);
  if (surface.samples.empty()) return;
  Axes(c, f, l, surface.axis);

  // The curves, and their legend on the line under the title.
  const int curvePen = std::max(2 * l.pen, u / 4);
  std::vector<std::pair<CurveStyle, std::vector<const SurfaceSample*>>> curves;
  if (surface.axis == SurfaceAxis::XOverC) {
    for (const SurfaceSide side : {SurfaceSide::Upper, SurfaceSide::Lower}) {
      std::vector<const SurfaceSample*> points;
      for (const SurfaceSample& s : surface.samples)
        if (s.side == side && std::isfinite(s.cp)) points.push_back(&s);
      const CurveStyle style = side == SurfaceSide::Upper ? CurveStyle{Colours::Navy, PenStyle::Solid, "upper surface"}
                                                          : CurveStyle{Colours::Red, PenStyle::Dash, "lower surface"};
      curves.emplace_back(style, points);
    }
  } else {
    std::vector<const SurfaceSample*> points;
    for (const SurfaceSample& s : surface.samples)
      if (std::isfinite(s.cp)) points.push_back(&s);
    curves.emplace_back(CurveStyle{Colours::Navy, PenStyle::Solid, surface.hasExact ? "computed" : "Cp on the outline"},
                        points);
  }
  int legendX = l.left + 2 * u;
  const int legendY = l.top + 6 * u;
  auto legend = [&](const CurveStyle& style) {
    c.SetPen(style.colour, curvePen, PenMode::Copy, style.style);
    Line(c, legendX, legendY + textHeight / 2, legendX + 5 * u, legendY + textHeight / 2);
    legendX += 6 * u;
    c.TextOut(legendX, legendY, style.name);
    legendX += c.TextWidth(style.name) + 3 * u;
  };
  for (const auto& [style, points] : curves) {
    c.SetPen(style.colour, curvePen, PenMode::Copy, style.style);
    Curve(c, f, points);
    legend(style);
  }
  if (surface.hasExact) {
    const CurveStyle exact{Colours::Red, PenStyle::Dash, "exact 1 \u2212 4 sin\u00B2\u03B8"};
    c.SetPen(exact.colour, curvePen, PenMode::Copy, exact.style);
    for (int degrees = 0; degrees <= 360; degrees += 2) {
      const double sine = std::sin(degrees * Pi / 180.0);
      const int x = f.X(degrees), y = f.Y(1.0 - 4.0 * sine * sine);
      if (degrees == 0)
        c.MoveTo(x, y);
      else
        c.LineTo(x, y);
    }
    legend(exact);
    if (std::isfinite(surface.rmsDifference)) c.TextOut(legendX, legendY, "RMS difference " + Number(surface.rmsDifference, 3));
  }
}

void DrawSurfacePressurePage(Canvas& page, const SurfacePressure& surface, const std::string& title,
                             const PlotPageArea& a) {
  const std::int32_t p = 5 * std::max(1, a.PrintPenScale);
  page.SetPen(Colours::Black, p, PenMode::Copy, PenStyle::Solid);
  page.SetBrush(Colours::White, BrushStyle::Clear);
  page.MoveTo(a.PrintLeft - p, a.PrintTop - p);
  page.LineTo(a.PrintLeft - p, a.PrintBottom + p);
  page.LineTo(a.PrintRight + p, a.PrintBottom + p);
  page.LineTo(a.PrintRight + p, a.PrintTop - p);
  page.LineTo(a.PrintLeft - p, a.PrintTop - p);
  DrawSurfacePressure(page, surface, title, PageSurfacePlotLayout(a));
}
