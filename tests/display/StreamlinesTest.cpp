#include "mesh/Grid.h"
#include "display/Streamlines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestServices.h"
#include "display/FlowScenes.h"

using namespace flowscenes;

namespace {
struct Drawing {
  Mesh mesh;
  FlowDisplayState flow;
  UiState ui;
  QImage image;
  TestServices services;
  explicit Drawing(int visible) : mesh(MakeMesh(visible)), image(MakeBitmap(mesh.ViewRight, mesh.ViewBottom)) {}
  bool Draw(const FlowHooks& hooks = {}) {
    Canvas canvas(image);
    return DrawStreamlines(canvas, mesh, flow, ui, services, hooks);
  }
};

// Runs of consecutive pixel rows holding black: {first row, last row, black
// pixels in the first row}, the flow lines of a horizontal stream.
struct Band {
  int first, last, black;
};
std::vector<Band> HorizontalBands(const QImage& image) {
  std::vector<Band> bands;
  for (int y = 0; y < image.height(); ++y) {
    int black = 0;
    for (int x = 0; x < image.width(); ++x) black += IsBlack(image, x, y);
    if (black > 0 && !bands.empty() && bands.back().last == y - 1) bands.back().last = y;
    else if (black > 0) bands.push_back({y, y, black});
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
    EXPECT_GE(bands[i].black, d.image.width() - 8) << "line " << i << " is not straight across";
    if (i > 0) {
      EXPECT_NEAR(bands[i].first - bands[i - 1].first, spacing, 1.0f);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, UniformStreamLines,
                         ::testing::Values(HighStreamLevels, NormalStreamLevels, LowStreamLevels));

TEST(Streamlines, EscapeEndsTheScanButFinishesTheDrawing) {
  Drawing d(100);
  UniformStream(d.mesh, 0.5f);
  d.services.escapeAtProgress = 40;
  EXPECT_FALSE(d.Draw());
  EXPECT_EQ(d.services.progressCalls, 40);
  const size_t drawn = HorizontalBands(d.image).size();
  EXPECT_TRUE(drawn > 0 && drawn < static_cast<size_t>(d.flow.StreamLevelCount)) << drawn;
  EXPECT_EQ(d.services.calls, (std::vector<std::string>{"progress shown", "progress hidden", "snapshot"}))
      << "the bar goes away and the snapshot is taken after an Escape too";
  EXPECT_EQ(d.ui.cursor, CursorShape::Default);
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
  // A cell of margin for the squares straddling the edge, half one for the fine map's steps.
  int inside = 0, beside = 0;
  for (int y = PixelY(d.mesh, r0 + 1.5f); y <= PixelY(d.mesh, r1 - 1.5f); ++y) {
    for (int x = PixelX(d.mesh, c0 + 1.5f); x <= PixelX(d.mesh, c1 - 1.5f); ++x) inside += IsBlack(d.image, x, y);
    for (int x = PixelX(d.mesh, b + 2); x <= PixelX(d.mesh, c0 - 2); ++x) beside += IsBlack(d.image, x, y);
  }
  EXPECT_EQ(inside, 0);
  EXPECT_GT(beside, 0);
}

INSTANTIATE_TEST_SUITE_P(MeshSizes, SolidBlock, ::testing::Values(100, 200, 300));

// The flow round a centred cylinder, drawn once for the suite.
class CircleLines : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scene = new Drawing(100);
    circle = CentredCircle(scene->mesh);
    CircleFlow(scene->mesh, circle);
    scene->Draw();
  }
  static void TearDownTestSuite() { delete scene; }
  static inline Drawing* scene = nullptr;
  static inline Circle circle{};
};

TEST_F(CircleLines, DotsAreThickAtTheStagnationPointsAndThinAtTheShoulders) {
  const Mesh& m = scene->mesh;
  const float reach = 0.6f * circle.radius;
  for (float side : {-1.0f, 1.0f}) {
    const int x0 = PixelX(m, circle.column + side * circle.radius);
    const int x1 = PixelX(m, circle.column + side * (circle.radius + reach));
    EXPECT_GE(ThickestMark(scene->image, std::min(x0, x1), PixelY(m, circle.row - reach), std::max(x0, x1),
                           PixelY(m, circle.row + reach)), 4) << "stagnation side " << side;
    const int y0 = PixelY(m, circle.row + side * (circle.radius + 0.5f));
    const int y1 = PixelY(m, circle.row + side * (circle.radius + 4.0f));
    EXPECT_LE(ThickestMark(scene->image, PixelX(m, circle.column - 2), std::min(y0, y1), PixelX(m, circle.column + 2),
                           std::max(y0, y1)), 2) << "shoulder side " << side;
  }
}

TEST_F(CircleLines, PictureIsMirrorSymmetricLeftToRight) {
  const QImage& image = scene->image;
  // Mesh point c sits at pixel centre (c - B) × 3 + 1.5, so the centre column
  // mirrors pixel x onto 2 × centre - 1 - x. A square takes its pen width from
  // its left corner, so a mirrored dot may be a pixel wider.
  const int axis = 2 * PixelX(scene->mesh, circle.column) - 1;
  int black = 0, unmatched = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x <= axis && x < image.width(); ++x) {
      if (!IsBlack(image, x, y)) continue;
      ++black;
      unmatched += ThickestMark(image, axis - x - 1, y - 1, axis - x + 1, y + 1) == 0;
    }
  EXPECT_GT(black, 1000);
  EXPECT_EQ(unmatched, 0);
}

TEST(StreamDensity, RedrawsTheKeptSolutionWithTheNewCountOnlyAfterARun) {
  Drawing d(100);
  UniformStream(d.mesh, 0.5f);
  int densityFlagDuringRedraw = -1;
  FlowHooks hooks;
  Canvas canvas(d.image);
  hooks.MeshSetupRedraw = [&] {
    densityFlagDuringRedraw = d.flow.DensityRedraw;
    ClearView(canvas, d.mesh);
  };
  SetStreamDensity(canvas, d.mesh, d.flow, d.ui, d.services, hooks, HighStreamLevels);  // before any run
  canvas.Flush();
  EXPECT_EQ(d.flow.DensityMarks, (std::array<bool, 3>{true, false, false}));
  EXPECT_EQ(densityFlagDuringRedraw, -1);
  EXPECT_TRUE(HorizontalBands(d.image).empty());
  d.Draw();
  SetStreamDensity(canvas, d.mesh, d.flow, d.ui, d.services, hooks, LowStreamLevels);
  canvas.Flush();
  EXPECT_EQ(densityFlagDuringRedraw, 1);
  EXPECT_EQ(d.flow.DensityRedraw, 0);
  EXPECT_EQ(static_cast<int>(HorizontalBands(d.image).size()), LowStreamLevels);
  EXPECT_EQ(d.flow.DensityMarks, (std::array<bool, 3>{false, false, true}));
  EXPECT_TRUE(d.ui[Cmd::MnuEdit].enabled) << "commands unlocked afterwards";
}
