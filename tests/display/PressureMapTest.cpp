#include "display/PressureMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "display/FlowScenes.h"
#include "display/SolidCells.h"

using namespace flowscenes;

namespace {
struct Scene {
  Mesh mesh;
  FlowDisplayState flow;
  QImage image;
  explicit Scene(int visible) : mesh(MakeMesh(visible)), image(MakeBitmap(mesh.ViewRight, mesh.ViewBottom)) {
    flow.StreamlinesShown = 1;
  }
  void PaintMap() {  // the map alone, without flow lines over it
    ComputeFlowField(mesh, flow, FlowFieldMode::Pressure);
    Canvas canvas(image);
    PaintPressureMap(canvas, mesh, flow);
  }
};
}  // namespace

TEST(SpeedField, OfALinearStreamIsTheUniformSpeed) {
  Scene s(100);
  UniformStream(s.mesh, 0.37f);
  ComputeFlowField(s.mesh, s.flow);
  const int n = s.mesh.MeshSize, b = s.mesh.MeshBorder;
  // Away from the row ends, where the flat offsets reach into the next row.
  for (int r = 1; r < n - 1; ++r)
    for (int c = 1; c < n - 1; ++c) ASSERT_NEAR(std::fabs(s.mesh.SpeedField[r * n + c]), 0.37f, 1e-4f);
  for (int r = b; r < n - b; ++r) ASSERT_NEAR(s.flow.SpeedGrid[(n / 2) * SpeedGridStride + r], 1.0f, 1e-4f);
}

TEST(NoFlow, PaintsTheSlowColourWithoutDividingByZeroOnALinearOrLogScale) {
  for (int linlog : {0, 1}) {
    Scene s(100);  // StreamFunction all 0
    s.flow.LinlogItem = linlog;
    s.PaintMap();
    const int n = s.mesh.MeshSize, b = s.mesh.MeshBorder;
    for (int k = b * n + b; k < (n - b) * n; ++k) ASSERT_EQ(s.mesh.PressureField[k], 0.0f) << linlog << " " << k;
    EXPECT_EQ(PixelAt(s.image, 150, 150), Colours::Red) << linlog;
  }
}

TEST(PressureColours, RunRedYellowGreenCyanBlueVioletBlackWithoutJumps) {
  const float stops[] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 0.9f, 1.0f};
  const Rgb expected[] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {60, 0, 100}, {0, 0, 0}};
  for (int i = 0; i < 7; ++i) {  // single precision may land a band's end one short
    const Rgb c = PressureColour(stops[i]);
    EXPECT_LE(std::abs(c.r - expected[i].r) + std::abs(c.g - expected[i].g) + std::abs(c.b - expected[i].b), 1)
        << stops[i];
  }
  // A component wrapping past 255 or below 0 would show as a jump.
  Rgb previous = PressureColour(-0.5f), previousGrey = PressureGrey(-0.5f);
  for (int i = -50; i <= 150; ++i) {
    const float v = static_cast<float>(i) / 100.0f;
    const Rgb c = PressureColour(v), g = PressureGrey(v);
    EXPECT_LE(std::max({std::abs(c.r - previous.r), std::abs(c.g - previous.g), std::abs(c.b - previous.b)}), 20) << v;
    EXPECT_LE(g.r, previousGrey.r) << v;
    previous = c;
    previousGrey = g;
  }
  EXPECT_EQ(PressureColour(std::nanf("")), PressureColour(0.0f));
}

// The cylinder in a stream at every mesh size: the obstacle grey, the stagnation
// points slow (red), the shoulders fast (blue to black), and the obstacle test
// of the edge rules following the circle though only the 100 mesh has a coarse map.
class CircleMap : public ::testing::TestWithParam<int> {};

TEST_P(CircleMap, ShowsTheObstacleGreySlowStagnationAndFastShoulders) {
  Scene s(GetParam());
  const Circle circle = CentredCircle(s.mesh);
  CircleFlow(s.mesh, circle);
  s.PaintMap();
  const Mesh& m = s.mesh;
  const int cx = PixelX(m, circle.column), cy = PixelY(m, circle.row);
  const int inner = static_cast<int>((circle.radius - 2.0f) * m.CellWidth);
  for (int dy = -inner; dy <= inner; dy += 3)
    for (int dx = -inner; dx <= inner; dx += 3)
      if (dx * dx + dy * dy < inner * inner) {
        ASSERT_EQ(PixelAt(s.image, cx + dx, cy + dy), Colours::Grey);
      }
  for (float side : {-1.0f, 1.0f}) {
    const Rgb stagnation = PixelAt(s.image, PixelX(m, circle.column + side * (circle.radius + 1.5f)), cy);
    EXPECT_TRUE(stagnation.r == 255 && stagnation.b == 0) << "side " << side;
    const Rgb shoulder = PixelAt(s.image, cx, PixelY(m, circle.row + side * (circle.radius + 2.0f)));
    EXPECT_TRUE(shoulder.r < 100 && shoulder.g < 100) << "side " << side;
  }
  const int v = m.VisibleMeshSize, b = m.MeshBorder;
  for (int r = 0; r < v; ++r)
    for (int c = 0; c < v; ++c) {
      const float d = std::hypot(static_cast<float>(r + b) - circle.row, static_cast<float>(c + b) - circle.column);
      if (std::fabs(d - circle.radius) > 1.0f) {
        ASSERT_EQ(IsSolidCell(m, r, c), d < circle.radius) << r << "," << c;
      }
    }
  EXPECT_FALSE(IsSolidCell(m, v, v / 2));
}

INSTANTIATE_TEST_SUITE_P(MeshSizes, CircleMap, ::testing::Values(100, 200, 300));
