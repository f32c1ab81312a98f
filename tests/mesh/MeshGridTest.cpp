// The mesh dimensions, the pixel-to-cell mapping and the grid overlay.
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "core/MeshScene.h"
#include "mesh/Grid.h"
#include "mesh/SolidFill.h"
#include "mesh/Mesh.h"
#include "platform/Canvas.h"

namespace {

Mesh LaidOut(int visible, int toolPanel = 23, int clientHeight = 708) {
  Mesh m;
  EXPECT_TRUE(SetMeshDimensions(m, visible));
  m.ViewLeft = 20;
  ViewLayout(m, toolPanel, clientHeight);
  return m;
}

// The three sizes with their borders and solver indexes, laid out in the same
// window: square cells over the 685-pixel view, the draw area the whole view.
TEST(MeshLayoutTest, ThreeSizesWithTheirBordersIndexesAndViewGeometry) {
  struct Case {
    int visible, size, border, firstIndex, lastIndex;
  };
  for (const Case c : {Case{100, 120, 10, 1210, 13189}, Case{200, 238, 19, 19 * 238 + 19, (199 + 19) * 239},
                       Case{300, 358, 29, 29 * 359, (299 + 29) * 359}}) {
    const Mesh m = LaidOut(c.visible);
    EXPECT_EQ((std::array{m.MeshSize, m.MeshBorder, m.Index(0, 0), m.Index(c.visible - 1, c.visible - 1)}),
              (std::array{c.size, c.border, c.firstIndex, c.lastIndex})) << c.visible;
    EXPECT_FLOAT_EQ(m.CellWidth, 685.0f / (c.visible + 1)) << c.visible;
    EXPECT_EQ(m.CellWidth, m.CellHeight) << c.visible;
    EXPECT_EQ((std::array{m.ViewTop, m.ViewSize, m.ViewRight, m.DrawAreaLeft, m.DrawAreaRight, m.DrawAreaTop,
                          m.DrawAreaBottom}),
              (std::array{23, 685, 705, 0, 705, 0, 685})) << c.visible;
    EXPECT_EQ(m.MeshCentreX, static_cast<int>(c.visible * m.CellWidth) / 2) << c.visible;
    EXPECT_EQ(m.MeshCentreY, m.MeshCentreX) << c.visible;
  }
  Mesh m;
  EXPECT_FALSE(SetMeshDimensions(m, 150));
  EXPECT_EQ(m.MeshSize, 120);
}

TEST(MeshLayoutTest, BackToOneHundredGivesTheStartUpCellWidth) {
  const Mesh start = LaidOut(100);
  Mesh m = start;
  for (int visible : {300, 100}) {
    SetMeshDimensions(m, visible);
    ViewLayout(m, 23, 708);
  }
  EXPECT_EQ((std::array{m.MeshSize, m.MeshBorder}), (std::array{120, 10}));
  EXPECT_EQ(m.CellWidth, start.CellWidth);
}

TEST(MeshMappingTest, BoundaryPixelBelongsToTheCellOnItsRightAndCentresRoundTrip) {
  for (int visible : {100, 200, 300}) {
    Mesh m = LaidOut(visible);
    for (int c : {0, 1, visible / 2, visible - 1}) {
      const float x = c * m.CellWidth;
      EXPECT_EQ(PixelToCell(m, x, 0).column, c) << visible;
      if (c > 0) {
        EXPECT_EQ(PixelToCell(m, x - 0.01f, 0).column, c - 1) << visible;
      }
      float cx = 0, cy = 0;
      CellCentre(m, Cell{c, c}, cx, cy);
      EXPECT_EQ(PixelToCell(m, cx, cy), (Cell{c, c}));
    }
  }
}

TEST(MeshArraysTest, AllocatedZeroedWithATwoRowTail) {
  Mesh m;
  SetMeshDimensions(m, 300);
  AllocSolverArrays(m);
  for (const auto* a : {&m.CoefSouth, &m.CoefEast, &m.CoefDiag, &m.RightHandSide, &m.StreamFunction,
                        &m.StreamDisplay, &m.PressureField, &m.LogUpper, &m.LogLower, &m.SpeedField}) {
    ASSERT_EQ(a->size(), 358u * 360u);
    EXPECT_TRUE(std::all_of(a->begin(), a->end(), [](float v) { return v == 0.0f; }));
  }
  m.StreamFunction[5] = 3.0f;
  SetMeshDimensions(m, 100);
  AllocSolverArrays(m);
  EXPECT_EQ(m.StreamFunction.size(), 120u * 122u);
  EXPECT_EQ(m.StreamFunction[5], 0.0f);
  FreeSolverArrays(m);
  EXPECT_TRUE(m.CoefDiag.empty());
}

class GridTest : public ::testing::Test {
 protected:
  Mesh mesh = LaidOut(100, 23, 730);  // 707 pixels: seven per cell
  QImage image = MakeBitmap(mesh.ViewRight, mesh.ViewSize);
  Canvas canvas{image};
  GridState grid;

  QImage Shot() {
    canvas.Flush();
    return image.copy();
  }
  Rgb At(int gx, int gy) {
    return canvas.Pixel(static_cast<int>(gx * mesh.CellWidth), static_cast<int>(gy * mesh.CellHeight));
  }
};

TEST_F(GridTest, DotsDrawnTwiceLeaveTheViewAsBefore) {
  canvas.SetPen(Colours::Green, 1);
  canvas.MoveTo(3, 100);
  canvas.LineTo(600, 100);
  const QImage before = Shot();
  DrawGridDots(canvas, mesh, grid);
  EXPECT_NE(Shot(), before);
  DrawGridDots(canvas, mesh, grid);
  EXPECT_EQ(Shot(), before);
}

TEST_F(GridTest, TenthDotsAreMajorAndTheirCrossingsStayMinor) {
  grid.CentreLinesChecked = false;
  DrawGridDots(canvas, mesh, grid);
  const Rgb minor{127, 127, 127}, major = Colours::Black;
  EXPECT_EQ(At(3, 7), minor);
  EXPECT_EQ(At(3, 10), major);
  EXPECT_EQ(At(20, 7), major);
  EXPECT_EQ(At(20, 30), minor);  // five strokes in exclusive-or
  EXPECT_TRUE(grid.DotsChecked);
  EXPECT_FALSE(grid.LinesChecked);
}

// Every line on the 100 mesh, every second one on the larger meshes, all inside the view.
TEST_F(GridTest, LinesRunEachWayWithTenthsInTheMajorPen) {
  for (auto [visible, lines] : {std::pair{100, 101}, {200, 101}, {300, 151}}) {
    Mesh m = LaidOut(visible, 23, 730);
    QImage img = MakeBitmap(m.ViewRight, m.ViewSize);
    Canvas c(img);
    GridState g;
    g.CentreLinesChecked = false;
    DrawGridLines(c, m, g);
    int rows = 0;
    const int x = static_cast<int>((visible == 100 ? 5.5f : 1.5f) * m.CellWidth);
    for (int y = 0; y < m.ViewSize; ++y) rows += c.Pixel(x, y) != Colours::White;
    EXPECT_EQ(rows, lines) << visible;
    EXPECT_TRUE(g.LinesChecked);
    if (visible != 100) continue;
    const int between = static_cast<int>(35.5f * m.CellWidth);
    EXPECT_EQ(c.Pixel(between, static_cast<int>(40 * m.CellHeight)), Colours::Black);
    EXPECT_EQ(c.Pixel(between, static_cast<int>(41 * m.CellHeight)), (Rgb{127, 127, 127}));
  }
}

TEST_F(GridTest, CentreLinesAreTealThroughTheMeshCentre) {
  DrawCentreLines(canvas, mesh);
  EXPECT_EQ(canvas.Pixel(mesh.MeshCentreX, 5), Colours::Teal);
  EXPECT_EQ(canvas.Pixel(5, mesh.MeshCentreY), Colours::Teal);
  DrawCentreLines(canvas, mesh);
  EXPECT_EQ(canvas.Pixel(mesh.MeshCentreX, 5), Colours::White);
}

TEST_F(GridTest, SwitchingTypeReplacesThePatternAndHiddenGridIgnoresTheChoice) {
  DrawCurrentGrid(canvas, mesh, grid);
  ASSERT_TRUE(ChooseGridLines(canvas, mesh, grid));
  QImage linesOnly = MakeBitmap(mesh.ViewRight, mesh.ViewSize);
  {
    Canvas c(linesOnly);
    GridState g;
    DrawGridLines(c, mesh, g);
  }
  EXPECT_EQ(Shot(), linesOnly);
  EXPECT_EQ(grid.GridLinesCode, 18);
  EXPECT_EQ(grid.GridDotsCode, 0);

  ToggleShowGrid(canvas, mesh, grid);
  EXPECT_EQ(Shot(), MakeBitmap(mesh.ViewRight, mesh.ViewSize));
  EXPECT_EQ(grid.ShowGridCode, 0);
  EXPECT_FALSE(ChooseGridDots(canvas, mesh, grid));
  EXPECT_EQ(grid.GridLinesCode, 18);
  EXPECT_TRUE(grid.LinesChecked);
  ToggleCentreLines(canvas, mesh, grid);  // grid hidden: only the mark changes
  EXPECT_EQ(grid.CentreLinesShown, 0);
  EXPECT_EQ(Shot(), MakeBitmap(mesh.ViewRight, mesh.ViewSize));
}

// Filling as it goes makes the redraw after the set-up unneeded.
TEST(SolidFillTest, PaintsObstaclesGreyDuringTheSetUpWithoutARedraw) {
  MeshScene scene(100);
  QImage image = MakeBitmap(scene.mesh.ViewRight, scene.mesh.ViewSize);
  Canvas canvas(image);
  scene.AddRect(40, 40, 50, 50);
  MeshSetupOptions options;
  options.solidFill = true;
  options.paintSolidFill = [&](bool strokes) { PaintSolidFill(canvas, scene.mesh, SolidFillTarget{}, strokes); };
  options.redrawView = [] { ADD_FAILURE() << "redrawn"; };
  scene.SetUp(options);
  canvas.Flush();
  EXPECT_EQ(canvas.Pixel(static_cast<int>(scene.X(45)), static_cast<int>(scene.Y(45))), Colours::Grey);
  EXPECT_EQ(canvas.Pixel(static_cast<int>(scene.X(30)), static_cast<int>(scene.Y(45))), Colours::White);
}

}  // namespace
