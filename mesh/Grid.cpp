#include "mesh/Grid.h"

#include "platform/Canvas.h"

namespace {

struct Step {
  std::int32_t k;  // cells across
  std::int32_t s;  // grid step
};

Step GridStep(const Mesh& mesh) {
  const std::int32_t k = mesh.ShownCells();
  return {k, (mesh.VisibleMeshSize == 200 || mesh.VisibleMeshSize == 300) ? 2 : 1};
}

int GX(const Mesh& m, const GridTarget& t, std::int32_t a) {
  return static_cast<int>(static_cast<float>(a) * m.CellWidth) + t.originX;
}
int GY(const Mesh& m, const GridTarget& t, std::int32_t a) {
  return static_cast<int>(static_cast<float>(a) * m.CellHeight) + t.originY;
}

void MinorPen(Canvas& c, const GridTarget& t, bool dots) {
  if (t.printer)
    c.SetPen(Colours::Grey, (dots ? 1 : 2) * t.penUnit, PenMode::NotXor);
  else
    c.SetPen(Colours::Grey, 1, PenMode::Xor);
}

void MajorPen(Canvas& c, const GridTarget& t, bool dots) {
  if (t.printer)
    c.SetPen(Colours::Black, (dots ? 4 : 1) * t.penUnit, PenMode::NotXor);
  else
    c.SetPen(Colours::White, 1, PenMode::Xor);
}

void Dot(Canvas& c, int x, int y) {
  c.MoveTo(x, y);
  c.LineTo(x + 1, y);
}

void Line(Canvas& c, int x0, int y0, int x1, int y1) {
  c.MoveTo(x0, y0);
  c.LineTo(x1, y1);
}

// The tenth positions run to (K div 10) × s like the minor ones scale; past K
// they would only fall outside the view, so they stop at K.
std::int32_t TenthCount(const Step& st) { return st.k / 10; }

void TenthLines(Canvas& c, const Mesh& m, const GridTarget& t, const Step& st) {
  for (std::int32_t i = 0; i <= TenthCount(st); ++i) {
    Line(c, GX(m, t, 0), GY(m, t, 10 * i), GX(m, t, st.k), GY(m, t, 10 * i));
    Line(c, GX(m, t, 10 * i), GY(m, t, 0), GX(m, t, 10 * i), GY(m, t, st.k));
  }
}

void TenthDots(Canvas& c, const Mesh& m, const GridTarget& t, const Step& st) {
  for (std::int32_t i = 0; i <= st.k / st.s; ++i)
    for (std::int32_t j = 0; j <= TenthCount(st); ++j) Dot(c, GX(m, t, st.s * i), GY(m, t, 10 * j));
  for (std::int32_t i = 0; i <= TenthCount(st); ++i)
    for (std::int32_t j = 0; j <= st.k / st.s; ++j) Dot(c, GX(m, t, 10 * i), GY(m, t, st.s * j));
}

void Finish(Canvas& c, const Mesh& m, GridState& g, const GridTarget& t, bool dots) {
  if (m.MeshExtended == 0) {
    c.SetPen(Colours::Purple, 1, t.printer ? PenMode::NotXor : PenMode::Xor);
    c.SetBrush(Colours::White, BrushStyle::Clear);
    const std::int32_t b = m.MeshBorder;
    c.Rectangle(GX(m, t, b), GY(m, t, b), GX(m, t, m.MeshSize - b), GY(m, t, m.MeshSize - b));
    c.SetBrush(Colours::White, BrushStyle::Solid);
  }
  g.DotsChecked = dots;
  g.LinesChecked = !dots;
  if (g.CentreLinesChecked) DrawCentreLines(c, m, t);
}

}  // namespace

void DrawGridLines(Canvas& c, const Mesh& m, GridState& g, const GridTarget& t) {
  const Step st = GridStep(m);
  MinorPen(c, t, false);
  for (std::int32_t i = 0; i <= st.k / st.s; ++i)
    Line(c, GX(m, t, 0), GY(m, t, st.s * i), GX(m, t, st.k), GY(m, t, st.s * i));
  for (std::int32_t i = 0; i <= st.k / st.s; ++i)
    Line(c, GX(m, t, st.s * i), GY(m, t, 0), GX(m, t, st.s * i), GY(m, t, st.k));
  // The minor pass drew the tenth lines too; drawing them once more takes that
  // away before the major pen goes over them.
  TenthLines(c, m, t, st);
  MajorPen(c, t, false);
  TenthLines(c, m, t, st);
  Finish(c, m, g, t, false);
}

void DrawGridDots(Canvas& c, const Mesh& m, GridState& g, const GridTarget& t) {
  const Step st = GridStep(m);
  MinorPen(c, t, true);
  for (std::int32_t i = 0; i <= st.k / st.s; ++i)
    for (std::int32_t j = 0; j <= st.k / st.s; ++j) Dot(c, GX(m, t, st.s * i), GY(m, t, st.s * j));
  TenthDots(c, m, t, st);
  MajorPen(c, t, true);
  TenthDots(c, m, t, st);
  Finish(c, m, g, t, true);
}

void DrawCentreLines(Canvas& c, const Mesh& m, const GridTarget& t) {
  const std::int32_t k = m.ShownCells();
  const int w = static_cast<int>(k * m.CellWidth), h = static_cast<int>(k * m.CellHeight);
  const int cx = w / 2 + t.originX, cy = h / 2 + t.originY;
  c.SetPen(Colours::Teal, 1, PenMode::NotXor);
  Line(c, cx, t.originY, cx, h + t.originY);
  Line(c, t.originX, cy, w + t.originX, cy);
}

void DrawCurrentGrid(Canvas& c, const Mesh& m, GridState& g, const GridTarget& t) {
  if (!g.ShowGridChecked) return;
  if (g.LinesChecked) {
    DrawGridLines(c, m, g, t);
  } else {
    DrawGridDots(c, m, g, t);
    g.GridDotsCode = 17;
  }
}

bool ChooseGridDots(Canvas& c, const Mesh& m, GridState& g) {
  if (g.GridDotsCode == 17 || !g.ShowGridChecked) return false;
  if (g.GridLinesCode == 18) DrawGridLines(c, m, g);
  DrawGridDots(c, m, g);
  g.GridDotsCode = 17;
  g.GridLinesCode = 0;
  g.DotsChecked = true;
  g.LinesChecked = false;
  return true;
}

bool ChooseGridLines(Canvas& c, const Mesh& m, GridState& g) {
  if (g.GridLinesCode == 18 || !g.ShowGridChecked) return false;
  if (g.GridDotsCode == 17) DrawGridDots(c, m, g);
  DrawGridLines(c, m, g);
  g.GridLinesCode = 18;
  g.GridDotsCode = 0;
  g.DotsChecked = false;
  g.LinesChecked = true;
  return true;
}

void ToggleShowGrid(Canvas& c, const Mesh& m, GridState& g) {
  const bool wasShown = g.ShowGridChecked;
  g.ShowGridChecked = !wasShown;
  g.ShowGridCode = wasShown ? 0 : 19;
  // Drawing the current type again removes it, or brings it back.
  if (g.GridDotsCode == 17)
    DrawGridDots(c, m, g);
  else if (g.GridLinesCode == 18)
    DrawGridLines(c, m, g);
}

void ToggleCentreLines(Canvas& c, const Mesh& m, GridState& g) {
  if (g.ShowGridChecked) DrawCentreLines(c, m);
  g.CentreLinesChecked = !g.CentreLinesChecked;
  g.CentreLinesShown = g.CentreLinesChecked ? 1 : 0;
}

void ClearView(Canvas& canvas, const Mesh& mesh) {
  canvas.SetPen(Colours::Black, 1, PenMode::Black, PenStyle::Solid);
  canvas.SetBrush(Colours::White, BrushStyle::Solid);
  canvas.FillRect(0, 0, mesh.ViewRight, mesh.ViewBottom);
}
