#include "display/PressureMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "display/FlowScenes.h"
#include "display/SolidCells.h"
#include "display/Streamlines.h"

using namespace flowscenes;

namespace {

struct Scene {
  Mesh mesh;
  FlowDisplayState flow;
  UiState ui;
  QImage image;
  explicit Scene(int visible) : mesh(MakeMesh(visible)), image(MakeBitmap(mesh.ViewRight, mesh.ViewBottom)) {
    flow.StreamlinesShown = 1;
  }
  float P(int row, int column) const { return mesh.PressureField[row * mesh.MeshSize + column]; }
  // The map alone, without the flow lines over it.
  void PaintMap() {
    ComputeFlowField(mesh, flow, FlowFieldMode::Pressure);
    Canvas canvas(image);
    PaintPressureMap(canvas, mesh, flow);
  }
};

bool AllDisplayedFinite(const Scene& s) {
  const int n = s.mesh.MeshSize, b = s.mesh.MeshBorder;
  for (int r = b; r < n - b; ++r)
    for (int c = b; c < n - b; ++c)
      if (!std::isfinite(s.P(r, c))) return false;
  return true;
}

}  // namespace

TEST(SpeedField, OfALinearStreamIsTheUniformSpeed) {
  Scene s(100);
  const float a = 0.37f;
  UniformStream(s.mesh, a);
  ComputeFlowField(s.mesh, s.flow);
  const int n = s.mesh.MeshSize;
  // Away from the row ends, where the flat offsets reach into the next row.
  for (int r = 1; r < n - 1; ++r)
    for (int c = 1; c < n - 1; ++c) ASSERT_NEAR(std::fabs(s.mesh.SpeedField[r * n + c]), a, 1e-4f) << r << "," << c;
  // On the top row only the drop to the row below is left: the opposite sign.
  EXPECT_NEAR(s.mesh.SpeedField[5], -a, 1e-4f);
  const int b = s.mesh.MeshBorder;
  for (int r = b; r < n - b; ++r)
    for (int c = b; c < n - b; ++c) ASSERT_NEAR(s.flow.SpeedGrid[c * SpeedGridStride + r], 1.0f, 1e-4f);
}

TEST(SpeedField, WithoutSolutionNothingIsComputed) {
  Scene s(100);
  UniformStream(s.mesh, 1.0f);
  s.flow.StreamlinesShown = 0;
  ComputeFlowField(s.mesh, s.flow);
  EXPECT_EQ(s.mesh.SpeedField[50 * s.mesh.MeshSize + 50], 0.0f);
}

class NoFlow : public ::testing::TestWithParam<int> {};

TEST_P(NoFlow, PaintsTheSlowColourWithoutDividingByZero) {
  Scene s(100);  // StreamFunction all 0
  s.flow.LinlogItem = GetParam();
  s.PaintMap();
  EXPECT_TRUE(AllDisplayedFinite(s));
  EXPECT_EQ(s.P(60, 60), 0.0f);
  EXPECT_EQ(PixelAt(s.image, 150, 150), Colours::Red);
}

INSTANTIATE_TEST_SUITE_P(LinAndLog, NoFlow, ::testing::Values(0, 1));

TEST(LogStretch, KeepsTheEndsTheMiddleAndTheOrder) {
  Scene s(100);
  const int n = s.mesh.MeshSize, b = s.mesh.MeshBorder;
  // ψ = r² / 2: the speed grows with the row, so the map runs through every value.
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) s.mesh.StreamFunction[r * n + c] = 0.5f * static_cast<float>(r * r);
  ComputeFlowField(s.mesh, s.flow);
  const std::vector<float> linear = s.mesh.PressureField;
  const std::vector<float> grid = s.flow.SpeedGrid;
  s.flow.LinlogItem = 1;
  ComputeFlowField(s.mesh, s.flow, FlowFieldMode::Pressure);
  EXPECT_EQ(s.flow.SpeedGrid, grid) << "the log stretch leaves the flow lines' speeds alone";
  EXPECT_TRUE(AllDisplayedFinite(s));
  const int c = 60;
  for (int r = b; r < n - b; ++r) {
    const float lin = linear[r * n + c], log = s.P(r, c);
    // The point nearest the middle of each half lands on 0.5 itself.
    if (lin < 0.5f) {
      EXPECT_LE(log, 0.5f) << r;
    }
    if (lin >= 0.5f) {
      EXPECT_GE(log, 0.5f) << r;
    }
    if (r > b) {
      EXPECT_GE(log, s.P(r - 1, c)) << r;
    }
  }
  EXPECT_FLOAT_EQ(s.P(n - 1 - b, c), 1.0f);
  // Compute-only calls ignore the Log choice.
  ComputeFlowField(s.mesh, s.flow);
  EXPECT_EQ(s.mesh.PressureField, linear);
}

void ExpectColour(Rgb actual, Rgb expected, float v) {
  // The ramp is computed in single precision: a band's end may land one short.
  EXPECT_LE(std::abs(actual.r - expected.r), 1) << v;
  EXPECT_LE(std::abs(actual.g - expected.g), 1) << v;
  EXPECT_LE(std::abs(actual.b - expected.b), 1) << v;
}

TEST(PressureColours, RampRunsRedYellowGreenCyanBlueVioletBlack) {
  EXPECT_EQ(PressureColour(0.0f), (Rgb{255, 0, 0}));
  ExpectColour(PressureColour(0.2f), {255, 255, 0}, 0.2f);
  ExpectColour(PressureColour(0.4f), {0, 255, 0}, 0.4f);
  ExpectColour(PressureColour(0.6f), {0, 255, 255}, 0.6f);
  ExpectColour(PressureColour(0.8f), {0, 0, 255}, 0.8f);
  ExpectColour(PressureColour(0.9f), {60, 0, 100}, 0.9f);
  EXPECT_EQ(PressureColour(1.0f), (Rgb{0, 0, 0}));
}

TEST(PressureColours, StayContinuousAndInRangeEverywhere) {
  // A component wrapping past 255 or below 0 would show as a jump.
  Rgb previous = PressureColour(-0.5f), previousGrey = PressureGrey(-0.5f);
  for (int i = -50; i <= 150; ++i) {
    const float v = static_cast<float>(i) / 100.0f;
    const Rgb colour = PressureColour(v), grey = PressureGrey(v);
    EXPECT_LE(std::abs(colour.r - previous.r), 20) << v;
    EXPECT_LE(std::abs(colour.g - previous.g), 20) << v;
    EXPECT_LE(std::abs(colour.b - previous.b), 20) << v;
    EXPECT_LE(grey.r, previousGrey.r) << v;
    EXPECT_LE(previousGrey.r - grey.r, 3) << v;
    previous = colour;
    previousGrey = grey;
  }
  EXPECT_EQ(PressureColour(std::nanf("")), PressureColour(0.0f));
  EXPECT_EQ(PressureGrey(-3.0f), (Rgb{255, 255, 255}));
  EXPECT_EQ(PressureGrey(7.0f), (Rgb{0, 0, 0}));
}

// The cylinder in a stream at every mesh size: the obstacle grey, the stagnation
// points slow (red), the shoulders fast (blue to black).
class CircleMap : public ::testing::TestWithParam<int> {};

TEST_P(CircleMap, ShowsTheObstacleGreySlowStagnationAndFastShoulders) {
  Scene s(GetParam());
  const Circle circle = CentredCircle(s.mesh);
  CircleFlow(s.mesh, circle);
  MarkSolidCircle(s.mesh, circle);
  s.PaintMap();
  EXPECT_TRUE(AllDisplayedFinite(s));
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
    EXPECT_EQ(stagnation.r, 255) << "side " << side;
    EXPECT_EQ(stagnation.b, 0) << "side " << side;
    const Rgb shoulder = PixelAt(s.image, cx, PixelY(m, circle.row + side * (circle.radius + 2.0f)));
    EXPECT_LT(shoulder.r, 100) << "side " << side;
    EXPECT_LT(shoulder.g, 100) << "side " << side;
  }
}

INSTANTIATE_TEST_SUITE_P(MeshSizes, CircleMap, ::testing::Values(100, 200, 300));

// The obstacle test behind the map's edge rules follows the obstacle at every
// mesh size, though only the 100 mesh has a coarse map of its own.
class ObstacleCells : public ::testing::TestWithParam<int> {};

TEST_P(ObstacleCells, FollowTheCircleAtEveryMeshSize) {
  Scene s(GetParam());
  const Circle circle = CentredCircle(s.mesh);
  MarkSolidCircle(s.mesh, circle);
  const int v = s.mesh.VisibleMeshSize, b = s.mesh.MeshBorder;
  int solid = 0;
  for (int r = 0; r < v; ++r)
    for (int c = 0; c < v; ++c) {
      const float d = std::hypot(static_cast<float>(r + b) - circle.row, static_cast<float>(c + b) - circle.column);
      if (d < circle.radius - 1.0f) {
        ASSERT_TRUE(IsSolidCell(s.mesh, r, c)) << r << "," << c;
      }
      if (d > circle.radius + 1.0f) {
        ASSERT_FALSE(IsSolidCell(s.mesh, r, c)) << r << "," << c;
      }
      solid += IsSolidCell(s.mesh, r, c);
    }
  EXPECT_GT(solid, 0);
  EXPECT_FALSE(IsSolidCell(s.mesh, -1, v / 2));
  EXPECT_FALSE(IsSolidCell(s.mesh, v, v / 2));
}

INSTANTIATE_TEST_SUITE_P(MeshSizes, ObstacleCells, ::testing::Values(100, 200, 300));

TEST(MonoMap, IsGreyFromWhiteForSlowToBlackForFast) {
  Scene s(100);
  const Circle circle = CentredCircle(s.mesh);
  CircleFlow(s.mesh, circle);
  MarkSolidCircle(s.mesh, circle);
  s.flow.BcolorItem = 1;
  s.PaintMap();
  const Mesh& m = s.mesh;
  for (int y = 0; y < PixelY(m, m.MeshSize - 1 - m.MeshBorder); y += 7)
    for (int x = 0; x < PixelX(m, m.MeshSize - 1 - m.MeshBorder); x += 7) {
      const Rgb p = PixelAt(s.image, x, y);
      ASSERT_TRUE(p.r == p.g && p.g == p.b) << x << "," << y;
    }
  const int cy = PixelY(m, circle.row);
  const Rgb stagnation = PixelAt(s.image, PixelX(m, circle.column - circle.radius - 1.5f), cy);
  const Rgb shoulder = PixelAt(s.image, PixelX(m, circle.column), PixelY(m, circle.row - circle.radius - 2.0f));
  EXPECT_GT(stagnation.r, shoulder.r + 100);
}
