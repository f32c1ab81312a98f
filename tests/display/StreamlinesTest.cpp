#include "display/Streamlines.h"

#include <gtest/gtest.h>

#include <vector>

#include "display/FlowScenes.h"

using namespace flowscenes;

namespace {

struct Drawing {
  Mesh mesh;
  FlowDisplayState flow;
  UiState ui;
  QImage image;
  explicit Drawing(int visible) : mesh(MakeMesh(visible)), image(MakeBitmap(mesh.ViewRight, mesh.ViewBottom)) {}
  bool Draw(const FlowHooks& hooks = {}) {
    Canvas canvas(image);
    return DrawStreamlines(canvas, mesh, flow, ui, hooks);
  }
};

// Groups of consecutive pixel rows holding black pixels: the flow lines of a
// horizontal stream. Each entry is {first row, last row, black pixels in the
// first row}.
struct Band {
  int first, last, blackInFirst;
};
std::vector<Band> HorizontalBands(const QImage& image) {
  std::vector<Band> bands;
  for (int y = 0; y < image.height(); ++y) {
    int black = 0;
    for (int x = 0; x < image.width(); ++x) black += IsBlack(image, x, y);
    if (black == 0) continue;
    if (!bands.empty() && bands.back().last == y - 1)
      bands.back().last = y;
    else
      bands.push_back({y, y, black});
  }
  return bands;
}

}  // namespace

class UniformStreamLines : public ::testing::TestWithParam<int> {};

TEST_P(UniformStreamLines, AreStraightEvenlySpacedRowsOfThinDots) {
  Drawing d(100);
  UniformStream(d.mesh, 0.5f);
  d.flow.StreamLevelCount = GetParam();
  d.Draw();
  const std::vector<Band> bands = HorizontalBands(d.image);
  ASSERT_EQ(static_cast<int>(bands.size()), GetParam());
  const float spacing = 99.0f * d.mesh.CellHeight / static_cast<float>(GetParam());
  for (std::size_t i = 0; i < bands.size(); ++i) {
    EXPECT_EQ(bands[i].first, bands[i].last) << "fast uniform flow gives one-pixel dots";
    EXPECT_GE(bands[i].blackInFirst, d.image.width() - 8) << "line " << i << " is not straight across";
    if (i > 0) {
      EXPECT_NEAR(bands[i].first - bands[i - 1].first, spacing, 1.0f);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, UniformStreamLines,
                         ::testing::Values(HighStreamLevels, NormalStreamLevels, LowStreamLevels));

TEST(Streamlines, FlatFieldDrawsNothing) {
  Drawing d(100);
  std::fill(d.mesh.StreamFunction.begin(), d.mesh.StreamFunction.end(), 5.0f);
  d.Draw();
  EXPECT_TRUE(HorizontalBands(d.image).empty());
  EXPECT_EQ(d.flow.StreamlinesShown, 1);
}

TEST(Streamlines, NegativeFieldStillRunsLevelsUpToZero) {
  Drawing d(100);
  UniformStream(d.mesh, -1.0f);  // every value at or below 0, the displayed ones below
  PrepareStreamDisplay(d.mesh, d.flow);
  ComputeStreamLevels(d.mesh, d.flow);
  const int n = d.mesh.MeshSize, b = d.mesh.MeshBorder, count = d.flow.StreamLevelCount;
  const float min = -static_cast<float>(n - 1 - b);
  EXPECT_FLOAT_EQ(d.flow.StreamLevels[0], min);
  const float step = d.flow.StreamLevels[1] - d.flow.StreamLevels[0];
  EXPECT_NEAR(d.flow.StreamLevels[count - 1] + step, 0.0f, 1e-3f);
}

TEST(Streamlines, SmoothingKeepsALinearStreamAndFlattensASpike) {
  Mesh mesh = MakeMesh(100);
  FlowDisplayState flow;
  UniformStream(mesh, 2.0f);
  const int n = mesh.MeshSize, spike = 60 * n + 60;
  mesh.StreamFunction[spike] += 9.0f;
  float previous = 1e9f;
  for (int level : {0, 1, 2}) {
    flow.SmoothingLevel = level;
    PrepareStreamDisplay(mesh, flow);
    EXPECT_NEAR(mesh.StreamDisplay[30 * n + 30], mesh.StreamFunction[30 * n + 30], 1e-4f);
    const float bump = mesh.StreamDisplay[spike] - 120.0f;
    EXPECT_LT(bump, previous) << "smoothing level " << level;
    previous = bump;
    // The hidden border keeps the solution as it is.
    EXPECT_EQ(mesh.StreamDisplay[3 * n + 3], mesh.StreamFunction[3 * n + 3]);
  }
  flow.SmoothingLevel = 0;
  PrepareStreamDisplay(mesh, flow);
  EXPECT_EQ(mesh.StreamDisplay[spike], mesh.StreamFunction[spike]);
}

TEST(Streamlines, EscapeEndsTheScanButFinishesTheDrawing) {
  Drawing full(100), stopped(100);
  UniformStream(full.mesh, 0.5f);
  UniformStream(stopped.mesh, 0.5f);
  full.Draw();
  int calls = 0, snapshots = 0;
  bool hidden = false;
  FlowHooks hooks;
  hooks.Progress = [&](int) { return ++calls < 40; };
  hooks.ShowProgress = [&](bool shown) { hidden = !shown; };
  hooks.SaveViewSnapshot = [&] { ++snapshots; };
  EXPECT_FALSE(stopped.Draw(hooks));
  EXPECT_EQ(calls, 40);
  const size_t drawn = HorizontalBands(stopped.image).size();
  EXPECT_GT(drawn, 0u);
  EXPECT_LT(drawn, HorizontalBands(full.image).size());
  EXPECT_TRUE(hidden);
  EXPECT_EQ(snapshots, 1);
  EXPECT_EQ(stopped.ui.cursor, CursorShape::Default);
}

// No dot lands inside an obstacle at any mesh size, even where the solution
// (here a uniform stream straight through it) has contours there.
class SolidBlock : public ::testing::TestWithParam<int> {};

TEST_P(SolidBlock, HoldsNoDots) {
  Drawing d(GetParam());
  UniformStream(d.mesh, 0.5f);
  const float b = static_cast<float>(d.mesh.MeshBorder), v = static_cast<float>(GetParam());
  const float r0 = b + 0.3f * v, r1 = b + 0.6f * v, c0 = b + 0.4f * v, c1 = b + 0.7f * v;
  MarkSolid(d.mesh, [&](float r, float c) { return r >= r0 && r <= r1 && c >= c0 && c <= c1; });
  d.Draw();
  // A margin of one cell for the squares that straddle the block's edge and
  // half a cell for the fine map's own steps.
  int inside = 0, beside = 0;
  for (int y = PixelY(d.mesh, r0 + 1.5f); y <= PixelY(d.mesh, r1 - 1.5f); ++y) {
    for (int x = PixelX(d.mesh, c0 + 1.5f); x <= PixelX(d.mesh, c1 - 1.5f); ++x) inside += IsBlack(d.image, x, y);
    for (int x = PixelX(d.mesh, b + 2); x <= PixelX(d.mesh, c0 - 2); ++x) beside += IsBlack(d.image, x, y);
  }
  EXPECT_EQ(inside, 0);
  EXPECT_GT(beside, 0);
}

INSTANTIATE_TEST_SUITE_P(MeshSizes, SolidBlock, ::testing::Values(100, 200, 300));

// The flow round a centred cylinder, drawn once for the whole suite.
class CircleLines : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scene = new Drawing(100);
    circle = CentredCircle(scene->mesh);
    CircleFlow(scene->mesh, circle);
    MarkSolidCircle(scene->mesh, circle);
    scene->Draw();
  }
  static void TearDownTestSuite() {
    delete scene;
    scene = nullptr;
  }
  static Drawing* scene;
  static Circle circle;
};
Drawing* CircleLines::scene = nullptr;
Circle CircleLines::circle;

TEST_F(CircleLines, DotsAreThickAtTheStagnationPointsAndThinAtTheShoulders) {
  const Mesh& m = scene->mesh;
  const float reach = 0.6f * circle.radius;
  for (float side : {-1.0f, 1.0f}) {
    const int x0 = PixelX(m, circle.column + side * circle.radius), x1 = PixelX(m, circle.column + side * (circle.radius + reach));
    EXPECT_GE(ThickestMark(scene->image, std::min(x0, x1), PixelY(m, circle.row - reach), std::max(x0, x1),
                           PixelY(m, circle.row + reach)),
              4)
        << "stagnation side " << side;
    const int y0 = PixelY(m, circle.row + side * (circle.radius + 0.5f)),
              y1 = PixelY(m, circle.row + side * (circle.radius + 4.0f));
    EXPECT_LE(ThickestMark(scene->image, PixelX(m, circle.column - 2), std::min(y0, y1),
                           PixelX(m, circle.column + 2), std::max(y0, y1)),
              2)
        << "shoulder side " << side;
  }
}

TEST_F(CircleLines, HasNoDotsInsideTheCylinder) {
  const Mesh& m = scene->mesh;
  const float inner = circle.radius - 1.5f;
  for (int y = PixelY(m, circle.row - inner); y <= PixelY(m, circle.row + inner); ++y)
    for (int x = PixelX(m, circle.column - inner); x <= PixelX(m, circle.column + inner); ++x) {
      const float dr = (static_cast<float>(y) - PixelY(m, circle.row)) / m.CellHeight;
      const float dc = (static_cast<float>(x) - PixelX(m, circle.column)) / m.CellWidth;
      if (std::hypot(dr, dc) < inner) {
        ASSERT_FALSE(IsBlack(scene->image, x, y)) << x << "," << y;
      }
    }
}

TEST_F(CircleLines, PictureIsMirrorSymmetricLeftToRight) {
  const QImage& image = scene->image;
  // Mesh point c sits at pixel centre (c - B) × 3 + 1.5, so the centre column
  // of the mesh mirrors pixel x onto 2 × centre - 1 - x. A square takes its pen
  // width from its left corner, so a mirrored dot may be a pixel wider.
  const int axis = 2 * PixelX(scene->mesh, circle.column) - 1;
  auto blackNear = [&](int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (IsBlack(image, x + dx, y + dy)) return true;
    return false;
  };
  int black = 0, unmatched = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x <= axis && x < image.width(); ++x) {
      if (!IsBlack(image, x, y)) continue;
      ++black;
      unmatched += !blackNear(axis - x, y);
    }
  EXPECT_GT(black, 1000);
  EXPECT_EQ(unmatched, 0);
}

TEST(StreamDensity, BeforeAnyRunOnlyMovesTheCheckMarks) {
  Drawing d(100);
  UniformStream(d.mesh, 0.5f);
  int redraws = 0;
  FlowHooks hooks;
  hooks.MeshSetupRedraw = [&] { ++redraws; };
  Canvas canvas(d.image);
  SetStreamDensity(canvas, d.mesh, d.flow, d.ui, hooks, HighStreamLevels);
  canvas.Flush();
  EXPECT_TRUE(d.ui[Cmd::MnuFlowHigh].checked);
  EXPECT_FALSE(d.ui[Cmd::MnuFlowNormal].checked);
  EXPECT_FALSE(d.ui[Cmd::MnuFlowLow].checked);
  EXPECT_EQ(d.flow.StreamLevelCount, HighStreamLevels);
  EXPECT_EQ(redraws, 0);
  EXPECT_EQ(d.flow.DensityRedraw, 0);
  EXPECT_TRUE(HorizontalBands(d.image).empty());
}

TEST(StreamDensity, AfterARunRedrawsTheKeptSolutionWithTheNewCount) {
  Drawing d(100);
  UniformStream(d.mesh, 0.5f);
  d.Draw();
  int densityFlagDuringRedraw = -1;
  FlowHooks hooks;
  Canvas canvas(d.image);
  hooks.MeshSetupRedraw = [&] {
    densityFlagDuringRedraw = d.flow.DensityRedraw;
    ClearView(canvas, d.mesh);
  };
  SetStreamDensity(canvas, d.mesh, d.flow, d.ui, hooks, LowStreamLevels);
  canvas.Flush();
  EXPECT_EQ(densityFlagDuringRedraw, 1);
  EXPECT_EQ(d.flow.DensityRedraw, 0);
  EXPECT_EQ(static_cast<int>(HorizontalBands(d.image).size()), LowStreamLevels);
  EXPECT_TRUE(d.ui[Cmd::MnuFlowLow].checked);
  EXPECT_TRUE(d.ui[Cmd::MnuEdit].enabled) << "commands unlocked afterwards";
}
