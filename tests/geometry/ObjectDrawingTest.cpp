#include <QImage>
#include "Scene.h"

namespace {
constexpr Rgb White = Colours::White;
constexpr Rgb Green = ObjectColours::Normal;
constexpr Rgb Red = ObjectColours::Selected;
}  // namespace

using DrawingTest = SceneTest;

TEST_F(DrawingTest, RedrawShowsObjectsGreenAndTheSelectedOneRed) {
  PutRect(20, 20, 60, 50);
  PutCircle(140, 140, 20);
  table.ObjectSelected = 1;
  table.SelectedKind = KindCircle;
  table.SelectedIndex = 0;
  Show();
  EXPECT_EQ(At(40, 20), Green);  // top edge of the rectangle
  EXPECT_EQ(At(40, 35), White);  // outline only
  EXPECT_EQ(At(140, 120), Red);  // top of the circle
  EXPECT_EQ(At(140, 140), White);
  EXPECT_EQ(table.SelectedRecord[3], 20.0f);  // taken from the table
}

TEST_F(DrawingTest, HighlightTwiceUndoesItselfAndASecondRedrawRemovesEverything) {
  const QImage blank = View();
  PutRect(20, 20, 60, 50);
  PutRect(40, 30, 90, 80);  // overlapping outlines
  PutCircle(140, 140, 20);
  table.ObjectSelected = 1;
  table.SelectedKind = KindRect;
  table.SelectedIndex = 10;
  Show();
  EXPECT_EQ(At(65, 30), Red);
  const QImage before = View();
  HighlightSelected(scene, canvas);
  HighlightSelected(scene, canvas);
  EXPECT_TRUE(View() == before);
  UnhighlightSelected(scene, canvas, ui);
  EXPECT_EQ(At(65, 30), Green);
  EXPECT_EQ(table.ObjectSelected, 0);
  table.ObjectSelected = 1;
  HighlightSelected(scene, canvas);
  EXPECT_TRUE(View() == before);
  Show();
  EXPECT_TRUE(View() == blank);
}

TEST_F(DrawingTest, CornersRoundToNearestWithTiesToEven) {
  // x = 10.5 rounds to 10 and x = 61.5 to 62; rounding half away from zero
  // would move the left edge one pixel right.
  PutRect(10.5f, 20, 61.5f, 50);
  Show();
  EXPECT_EQ(At(10, 35), Green);
  EXPECT_EQ(At(11, 35), White);
  EXPECT_EQ(At(62, 35), Green);
  EXPECT_EQ(At(63, 35), White);
}

TEST_F(DrawingTest, AerofoilIsDrawnFromItsMapAndErasedByASecondDrawing) {
  // One boundary cell: a two-pixel stroke ending at (round(i·sx), round(j·sy)).
  const int i = 100, j = 50;
  table.AerofoilMap1[i * AerofoilMapSide + j] = 'b';
  table.AerofoilMap1[i * AerofoilMapSide + j + 1] = 'i';  // interior cells draw nothing
  table.AerofoilDataLen = 4;
  const QImage blank = View();
  DrawAerofoil(table, mesh, canvas, 0, "green");
  const double sx = mesh.ViewRight / 299.0, sy = mesh.ViewSize / 299.0;
  const int x = static_cast<int>(std::nearbyint(i * sx)), y = static_cast<int>(std::nearbyint(j * sy));
  EXPECT_EQ(At(x - 1, y), Green);  // the stroke runs up and left to (x − 1, y − 1) and down one pixel
  EXPECT_EQ(At(x - 1, y - 1), Green);
  EXPECT_EQ(At(x, y), White);  // its end point is left out
  DrawAerofoil(table, mesh, canvas, 0, "green");
  EXPECT_TRUE(View() == blank);
}
