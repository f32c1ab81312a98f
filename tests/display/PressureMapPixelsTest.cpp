// The pressure map written straight into the view image paints the same pixels
// as one painter rectangle per square did, and Canvas::FillSolidRect the same
// pixels as FillRect with a solid brush.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>

#include "display/FlowScenes.h"
#include "display/PressureMap.h"
#include "display/SolidCells.h"

using namespace flowscenes;

namespace {

// The map as it was painted before: a FillRect for every square and every
// grey obstacle stroke.
void PaintSquareBySquare(Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, const FlowTarget& target) {
  const std::int32_t n = mesh.MeshSize, b = mesh.MeshBorder * mesh.MeshExtended;
  std::vector<float>& p = mesh.PressureField;
  const SolidCells solid = MakeSolidCells(mesh);
  const float inside = flow.SpeedMin + 125.0f * flow.SpeedUnit;
  const std::int32_t visible = std::min(mesh.VisibleMeshSize, n - 2 * mesh.MeshBorder);
  for (std::int32_t r = 0; r < visible; ++r)
    for (std::int32_t c = 0; c < visible; ++c)
      if (solid.Enclosed(r, c)) p[n * (mesh.MeshBorder + r) + mesh.MeshBorder + c] = inside;
  const float cw = mesh.CellWidth, ch = mesh.CellHeight;
  const float left = target.printer ? static_cast<float>(target.PrintLeft) : 0.0f;
  const float top = static_cast<float>(target.printer ? target.PrintTop : mesh.MeshTop);
  const std::int32_t total = n * n;
  for (std::int32_t r = b; r <= n - 1 - b; ++r)
    for (std::int32_t x = b; x <= n - 1 - b; ++x) {
      const std::int32_t k = r * n + x;
      float v = p[k];
      Rgb rgb;
      if (flow.BcolorItem == 0) {
        rgb = PressureColour(v);
      } else {
        if (v < 0.01f) v = (k - n >= 0 && p[k - n] >= 0.01f) ? p[k - n] : k + n < total ? p[k + n] : v;
        rgb = PressureGrey(v);
      }
      canvas.SetBrush(rgb, BrushStyle::Solid);
      const float x0 = static_cast<float>(x) * cw - static_cast<float>(b) * cw + left;
      const float y0 = static_cast<float>(r) * ch + top - static_cast<float>(b) * ch;
      canvas.FillRect(TruncPixel(x0), TruncPixel(y0), TruncPixel(x0 + cw), TruncPixel(y0 + ch));
    }
  canvas.SetBrush(Colours::Grey, BrushStyle::Solid);
  for (std::int32_t col = 0; col < 300; ++col)
    for (std::int32_t row = 0; row < 300; ++row) {
      if (mesh.SolidMap[static_cast<std::size_t>(col) * Mesh::SolidMapStride + row] != 's') continue;
      if (!target.printer) {
        const float w = FineStepX(mesh), h = FineStepY(mesh);
        const float y = static_cast<float>(row) * h + static_cast<float>(mesh.MeshTop);
        canvas.FillRect(TruncPixel(static_cast<float>(col) * w - w), TruncPixel(y - h),
                        TruncPixel(static_cast<float>(col) * w), TruncPixel(y + static_cast<float>(TruncPixel(w)) - h) + 1);
      } else {
        const float w = cw / 3.0f, h = ch / 3.0f;
        const float x0 = static_cast<float>(col) * w + left, y0 = static_cast<float>(row) * h + top;
        canvas.FillRect(TruncPixel(x0), TruncPixel(y0), TruncPixel(x0 + w), TruncPixel(y0 + h));
      }
    }
  canvas.Flush();
}

// The flow round a centred circle on a view laid out as in the window (606
// pixels square, so cells are a fraction over 2, 3 or 6 pixels).
Mesh CircleScene(int visible) {
  Mesh mesh;
  SetMeshDimensions(mesh, visible);
  mesh.ViewLeft = 16;
  ViewLayout(mesh, 30, 30 + 606);
  AllocSolverArrays(mesh);
  CircleFlow(mesh, CentredCircle(mesh));
  return mesh;
}

int DifferentPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
  return count;
}

struct Case {
  int visible;
  int bcolorItem;  // 0 colour, 1 mono
  bool printer;
};

TEST(PressureMapPixels, MatchTheSquareBySquarePainting) {
  // The page case puts the map partly off the image's left and bottom edges.
  for (const Case c : {Case{100, 0, false}, Case{200, 1, false}, Case{300, 0, false}, Case{100, 1, true}}) {
    Mesh mesh = CircleScene(c.visible);
    FlowDisplayState flow;
    flow.StreamlinesShown = 1;
    flow.BcolorItem = c.bcolorItem;
    ComputeFlowField(mesh, flow, FlowFieldMode::Pressure);
    const std::vector<float> field = mesh.PressureField;
    FlowTarget target;
    if (c.printer) target = FlowTarget{true, -150, 200, 1};
    QImage direct = MakeBitmap(mesh.ViewRight, mesh.ViewBottom), reference = direct;
    direct.fill(qRgb(10, 200, 30));
    reference.fill(qRgb(10, 200, 30));
    {
      Canvas canvas(direct);
      canvas.SetPen(Colours::Red, 1, PenMode::Xor);  // the map paints in copy mode whatever came before
      PaintPressureMap(canvas, mesh, flow, target);
      EXPECT_EQ(canvas.Mode(), PenMode::Copy);
    }
    mesh.PressureField = field;
    {
      Canvas canvas(reference);
      canvas.SetPen(Colours::Black, 1, PenMode::Copy);
      PaintSquareBySquare(canvas, mesh, flow, target);
    }
    EXPECT_EQ(DifferentPixels(direct, reference), 0) << c.visible << " " << c.bcolorItem << " " << c.printer;
  }
}

// Rectangles given corner first or last, reaching past any edge, empty or
// wholly outside; on the view's image format and on one without 32-bit pixels.
TEST(PressureMapPixels, SolidRectanglesMatchFillRectWithASolidBrush) {
  const int rects[][4] = {{5, 5, 9, 8},   {9, 8, 5, 5},     {-4, -3, 3, 2},  {37, 20, 45, 31},
                          {3, 25, 3, 30}, {50, 50, 60, 60}, {-9, -9, -1, -1}};
  for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
    QImage direct(40, 30, format), reference(40, 30, format);
    direct.fill(Qt::white);
    reference.fill(Qt::white);
    Canvas a(direct), b(reference);
    int i = 0;
    for (const auto& r : rects) {
      const Rgb colour{static_cast<std::uint8_t>(30 * i), static_cast<std::uint8_t>(255 - 20 * i), 77};
      a.FillSolidRect(r[0], r[1], r[2], r[3], colour);
      b.SetBrush(colour, BrushStyle::Solid);
      b.FillRect(r[0], r[1], r[2], r[3]);
      ++i;
    }
    a.MoveTo(0, 29);  // painter work before and after lands in order
    a.LineTo(39, 0);
    a.FillSolidRect(38, 0, 41, 3, Colours::Navy);
    b.MoveTo(0, 29);
    b.LineTo(39, 0);
    b.SetBrush(Colours::Navy, BrushStyle::Solid);
    b.FillRect(38, 0, 41, 3);
    a.Flush();
    b.Flush();
    EXPECT_EQ(DifferentPixels(direct, reference), 0) << format;
  }
}

}  // namespace
