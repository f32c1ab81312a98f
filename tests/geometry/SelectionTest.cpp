#include <QImage>
#include "Scene.h"

namespace {
constexpr Rgb Green = ObjectColours::Normal;
constexpr Rgb Red = ObjectColours::Selected;
}  // namespace

class SelectionTest : public SceneTest {
 protected:
  // A small aerofoil-like blob in map 1: boundary ring with interior.
  void PutAerofoilOver(int i0, int j0) {
    for (int i = i0 - 3; i <= i0 + 3; ++i)
      for (int j = j0 - 3; j <= j0 + 3; ++j)
        table.AerofoilMap1[i * AerofoilMapSide + j] = (i == i0 - 3 || i == i0 + 3 || j == j0 - 3 || j == j0 + 3) ? 'b' : 'i';
    table.AerofoilDataLen = 4;
    table.AerofoilData[2] = 1.0f;
  }
};

TEST_F(SelectionTest, ClickInsideSelectsItRedAndClickOnNothingTurnsItGreen) {
  const QImage blank = View();
  Click(100, 100);
  EXPECT_EQ(table.ObjectSelected, 0);
  EXPECT_EQ(prompts.beeps, 0);
  EXPECT_TRUE(View() == blank);
  PutRect(20, 20, 60, 50);
  Show();
  Click(30, 40);
  EXPECT_EQ(table.ObjectSelected, 1);
  EXPECT_EQ(table.SelectedKind, KindRect);
  EXPECT_EQ(table.SelectedIndex, 0);
  EXPECT_EQ(table.SelectedEdge, 6);  // the left edge is nearest
  EXPECT_EQ(At(40, 20), Red);
  EXPECT_EQ(ui.dataLabels[0], "Rectangular section 1");
  EXPECT_EQ(ui.dataLabels[1], "20.0 x 15.0 cells");
  Click(150, 150);
  EXPECT_EQ(table.ObjectSelected, 0);
  EXPECT_EQ(At(40, 20), Green);
  EXPECT_EQ(ui.dataLabels[0], " ");
}

TEST_F(SelectionTest, CornerHitBeatsALaterRectangleAndOverlapGoesToTheNearestEdge) {
  PutRect(20, 20, 60, 50);
  PutRect(10, 10, 100, 100);  // later, and its box holds the corner (60, 50)
  Show();
  Click(60, 50);
  EXPECT_EQ(table.SelectedIndex, 0);
  EXPECT_EQ(At(40, 20), Red);
  EXPECT_EQ(At(50, 10), Green);
  PutRect(60, 60, 80, 80);  // small, inside the second
  Show();
  Click(70, 70);  // inside the small one: its edges subtend large angles
  EXPECT_EQ(table.SelectedIndex, 20);
  Click(15, 70);  // close to the big one's left edge, inside its box only
  EXPECT_EQ(table.SelectedIndex, 10);
  EXPECT_EQ(table.SelectedEdge, 6);
}

TEST_F(SelectionTest, ConcentricCirclesSelectTheOneAddedLater) {
  PutCircle(100, 100, 40);
  PutCircle(100, 100, 20);
  PutCircle(100, 100, 30);
  Show();
  Click(105, 100);
  EXPECT_EQ(table.SelectedKind, KindCircle);
  EXPECT_EQ(table.SelectedIndex, 20);
  EXPECT_EQ(table.SelectedEdge, 2);
}

TEST_F(SelectionTest, AerofoilOverARectangleTakesTheSelectionAndTheRectangleStaysGreen) {
  PutRect(20, 20, 120, 120);
  PutAerofoilOver(100, 100);
  Show();
  const double sx = mesh.ViewRight / 299.0;
  const float x = static_cast<float>(100 * sx), y = static_cast<float>(100 * mesh.ViewSize / 299.0);
  Click(x, y);
  EXPECT_EQ(table.ObjectSelected, 1);
  EXPECT_EQ(table.SelectedKind, KindAerofoil);
  EXPECT_EQ(table.SelectedAerofoil, 1);
  EXPECT_FALSE(ui[Cmd::MnuEditCopy].enabled);
  Click(160, 160);
  EXPECT_EQ(table.ObjectSelected, 0);
  EXPECT_TRUE(ui[Cmd::MnuEditCopy].enabled);
  EXPECT_EQ(CountPixels(Red), 0);  // both back green
}

TEST_F(SelectionTest, ClicksOffTheViewReadNothingOutsideTheMaps) {
  PutAerofoilOver(296, 296);
  PutRect(20, 20, 60, 50);
  Show();
  for (float x : {-3.0f, 203.0f, 1e7f})
    for (float y : {-400.0f, 100.0f, 203.0f, 1e7f}) {
      SelectAt(scene, canvas, ui, x, y);
      EXPECT_EQ(table.ObjectSelected, 0) << x << "," << y;
    }
  std::int32_t i = 0, j = 0;
  EXPECT_TRUE(PixelToAerofoilCell(mesh, 202.0f, 202.0f, i, j));
  EXPECT_EQ(i, 299);
  EXPECT_FALSE(PixelToAerofoilCell(mesh, 203.0f, 0.0f, i, j));
}

TEST_F(SelectionTest, AerofoilOfAnEmptiedTableIsNotHitThroughItsStaleMap) {
  PutAerofoilOver(100, 100);
  PutRect(150, 150, 190, 190);
  table.AerofoilDataLen = 0;  // cleared; the map keeps its old cells
  Show();
  Click(static_cast<float>(100 * mesh.ViewRight / 299.0), static_cast<float>(100 * mesh.ViewSize / 299.0));
  EXPECT_EQ(table.ObjectSelected, 0);
}
