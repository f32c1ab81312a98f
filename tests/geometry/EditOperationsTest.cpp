#include <QImage>
#include <cmath>

#include "EditScene.h"

class EditPolygonTest : public EditSceneTest {
 protected:
  // A 40 × 20 rectangle with its centroid at (60, 60), selected and red.
  void SelectedRect() {
    PutRect(40, 50, 80, 70);
    Show();
    Click(40, 60);
    ASSERT_EQ(table.SelectedKind, KindRect);
  }
  // A square with its centroid at (100, 100), selected.
  void SelectedSquare() {
    PutRect(80, 80, 120, 120);
    Show();
    Click(80, 100);
  }
  std::array<float, 8> Corners(int offset = 0) {
    std::array<float, 8> c{};
    std::copy_n(table.RectData.begin() + offset, 8, c.begin());
    return c;
  }
  void ExpectCorners(const std::array<float, 8>& want) {
    for (int n = 0; n < 8; ++n) EXPECT_NEAR(Corners()[n], want[n], 1e-3f) << n;
  }
};

TEST_F(EditPolygonTest, MoveCarriesTheCentroidToTheReleasePointAndLeavesNoPreview) {
  SelectedRect();
  MoveClick(scene, canvas, ui, false);
  Drag(60, 60, {{70, 65}, {90, 80}}, 110, 120);
  EXPECT_EQ(table.RectDataLen, 10);
  EXPECT_EQ(Corners(), (std::array<float, 8>{90, 110, 130, 110, 130, 130, 90, 130}));
  EXPECT_EQ(command.MoveActive, 0);
  EXPECT_EQ(modified, 1);
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(EditPolygonTest, MovePastTheDrawAreaBeepsAndStaysArmed) {
  SelectedRect();
  const auto before = Corners();
  MoveClick(scene, canvas, ui, false);
  Press(60, 60);
  Move(100, 100);
  const QImage preview = View();
  Move(195, 100);  // the right edge would reach 215
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_TRUE(View() == preview);  // the preview stays where it was
  Up(195, 100);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(Corners(), before);
  EXPECT_EQ(command.MoveActive, 1);
}

TEST_F(EditPolygonTest, CopyAppendsTheCopySelectedAndRefusesAFullArray) {
  SelectedRect();
  CopyClick(scene, canvas, ui, false);
  Drag(60, 60, {{80, 100}}, 100, 150);
  ASSERT_EQ(table.RectDataLen, 20);
  EXPECT_EQ(Corners(0), (std::array<float, 8>{40, 50, 80, 50, 80, 70, 40, 70}));
  EXPECT_EQ(Corners(10), (std::array<float, 8>{80, 140, 120, 140, 120, 160, 80, 160}));
  EXPECT_EQ(table.RectData[18], SolidPermeability);
  EXPECT_EQ(table.SelectedIndex, 10);
  EXPECT_TRUE(View() == Redrawn());
  table.RectDataLen = 1000;
  CopyClick(scene, canvas, ui, false);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(command.CopyActive, 0);
  EXPECT_EQ(table.RectDataLen, 1000);
}

TEST_F(EditPolygonTest, RotateTowardsTheTopTurnsTheFirstEdgeUpright) {
  SelectedRect();
  RotateClick(scene, canvas, ui, false);
  Press(60, 60);
  Move(90, 40);
  Move(60, 20);  // straight above the centroid
  EXPECT_EQ(ui.status[2], "Rot: 90.00\u00B0");
  Up(60, 20);
  ExpectCorners({50, 80, 50, 40, 70, 40, 70, 80});
  // Reference mark, angle indicator and preview are all gone.
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(EditPolygonTest, RotationThatWouldLeaveTheViewIsRefused) {
  PutRect(60, 2, 140, 12);  // long and flat along the top edge
  Show();
  Click(60, 7);
  const auto before = Corners();
  RotateClick(scene, canvas, ui, false);
  Press(100, 7);
  Up(100, 1);  // upright it would reach 33 pixels above the view
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(Corners(), before);
  EXPECT_EQ(command.RotateActive, 1);
}

TEST_F(EditPolygonTest, StretchScalesTheHeightTrapezoidOnlyCornersTwoAndFourAndTooSmallIsRefused) {
  SelectedSquare();
  StretchClick(scene, canvas, ui, false);
  Press(100, 100);
  Up(100 + 2 * std::hypot(20.0f, 20.0f), 100);  // twice the corner distance
  ExpectCorners({80, 60, 120, 60, 120, 140, 80, 140});
  table.RectDataLen = 0;
  SelectedSquare();
  TrapezoidClick(scene, canvas, ui, false);
  Down(100, 100);
  Up(100, 100 + 1.5f * std::hypot(20.0f, 20.0f));
  ExpectCorners({80, 80, 120, 70, 120, 120, 80, 130});
  ExpandClick(scene, canvas, ui, false);
  Down(100, 100);
  Up(101, 100);  // a thirtieth of the size, below two cells
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(command.ExpandActive, 1);
  ExpectCorners({80, 80, 120, 70, 120, 120, 80, 130});
}

TEST_F(EditPolygonTest, FlipLeftRightTwiceRestoresTheCorners) {
  PutRect(40, 50, 80, 70);
  table.RectData[2] = 90;  // a trapezoid, so that the flip shows
  Show();
  Click(40, 60);
  const auto before = Corners();
  FlipLeftRightClick(scene, canvas, ui);
  EXPECT_NEAR(Corners()[0], 85.0f, 1e-4f);  // mirrored about x = 62.5
  EXPECT_EQ(Corners()[1], 50.0f);
  EXPECT_TRUE(View() == Redrawn());
  FlipLeftRightClick(scene, canvas, ui);
  ExpectCorners(before);
  FlipTopBottomClick(scene, canvas, ui);
  EXPECT_NEAR(Corners()[1], 70.0f, 1e-4f);
}

TEST_F(EditPolygonTest, FlipThatWouldLeaveTheViewIsRefused) {
  PutRect(0, 50, 20, 70);
  table.RectData[2] = 130;  // the centroid pulled left: flipped, corner 2 lands at -30
  Show();
  Click(0, 60);
  const auto before = Corners();
  FlipLeftRightClick(scene, canvas, ui);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(Corners(), before);
}

TEST_F(EditPolygonTest, ArmingDoesNothingWithoutASelectionOrForTheWrongKind) {
  RotateClick(scene, canvas, ui, false);
  EXPECT_EQ(command.RotateActive, 0);
  PutCircle(100, 100, 20);
  Show();
  Click(100, 100);
  RotateClick(scene, canvas, ui, false);
  StretchClick(scene, canvas, ui, false);
  FlipLeftRightClick(scene, canvas, ui);
  EXPECT_EQ(command.RotateActive + command.StretchActive + command.FlipActive + command.CommandActive, 0);
  EXPECT_EQ(table.CircleData[0], 100.0f);
}

class EditCircleTest : public EditSceneTest {
 protected:
  void SelectedCircle() {
    PutCircle(100, 100, 20);
    Show();
    Click(100, 100);
    ASSERT_EQ(table.SelectedKind, KindCircle);
  }
};

TEST_F(EditCircleTest, ExpandNeverPreviewsBelowOneCellAndRefusesASmallDiameter) {
  SelectedCircle();
  ExpandClick(scene, canvas, ui, false);
  Press(100, 100);
  Move(100, 101);  // radius one cell (2 pixels): a box of 4 pixels, below four cells
  EXPECT_EQ(prompts.beeps, 1);
  Move(100, 105);  // radius 5, a box of 10 pixels: accepted
  EXPECT_EQ(prompts.beeps, 1);
  Up(100, 101);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(table.CircleData[3], 20.0f);
  Down(100, 100);
  Up(130, 140);  // radius 50
  EXPECT_NEAR(table.CircleData[3], 50.0f, 1e-3f);
  EXPECT_EQ(table.CircleData[0], 100.0f);
  EXPECT_TRUE(View() == Redrawn());
}

using EditAerofoilTest = EditSceneTest;

TEST_F(EditAerofoilTest, MoveShiftsMapAndRecordByTheDraggedCells) {
  AddAerofoil(10);
  const auto map = table.AerofoilMap1;
  MoveClick(scene, canvas, ui, false);
  // 202 pixels over 299 cells: 20 pixels right are 30 cells, 10 up are 15.
  Drag(100, 95, {{110, 90}, {115, 88}}, 120, 85);
  EXPECT_EQ(table.AerofoilData[0], 30.0f);
  EXPECT_EQ(table.AerofoilData[1], -15.0f);
  EXPECT_EQ(table.AerofoilData[3], 10.0f);
  for (int i = 0; i < 300; ++i)
    for (int j = 0; j < 300; ++j) {
      const int si = i - 30, sj = j + 15;
      const char expected = (si >= 0 && si < 300 && sj >= 0 && sj < 300) ? map[si * 300 + sj] : ' ';
      ASSERT_EQ(table.AerofoilMap1[i * 300 + j], expected) << i << "," << j;
    }
  EXPECT_TRUE(View() == Redrawn());
  EXPECT_EQ(CountPixels(Colours::Black), 0);
}

TEST_F(EditAerofoilTest, MoveThatWouldCarryCellsOffTheMapIsRefused) {
  AddAerofoil(0);
  const auto map = table.AerofoilMap1;
  MoveClick(scene, canvas, ui, false);
  Drag(100, 95, {{150, 95}}, 180, 95);  // 118 cells right: the tail leaves the frame
  EXPECT_GE(prompts.beeps, 1);
  EXPECT_EQ(table.AerofoilMap1, map);
  EXPECT_EQ(table.AerofoilData[0], 0.0f);
  EXPECT_EQ(command.MoveActive, 1);
}

TEST_F(EditAerofoilTest, ClearOfTheFirstOfThreeMovesTheOthersDown) {
  AddAerofoil(0);
  AddAerofoil(12);
  AddAerofoil(-7);
  const auto map2 = table.AerofoilMap2, map3 = table.AerofoilMap3;
  Click(100, 95);  // the first aerofoil lies over the middle
  ASSERT_EQ(table.SelectedAerofoil, 1);
  ClearClick(scene, canvas, ui, false);
  EXPECT_EQ(table.AerofoilDataLen, 8);
  EXPECT_EQ(table.AerofoilData[3], 12.0f);
  EXPECT_EQ(table.AerofoilData[7], -7.0f);
  EXPECT_EQ(table.AerofoilMap1, map2);
  EXPECT_EQ(table.AerofoilMap2, map3);
  EXPECT_EQ(std::count(table.AerofoilMap3.begin(), table.AerofoilMap3.end(), ' '), 300 * 300);
  EXPECT_TRUE(ui[Cmd::SpeedButton8].enabled);  // nothing selected: Copy back
  EXPECT_TRUE(View() == Redrawn());
}

using ClearTest = EditSceneTest;

TEST_F(ClearTest, ClearRemovesTheSelectedRecordAndItsOutline) {
  PutCircle(50, 50, 20);
  PutCircle(120, 120, 20);
  PutCircle(150, 50, 20);
  Show();
  Click(50, 50);
  ClearClick(scene, canvas, ui, false);
  ASSERT_EQ(table.CircleDataLen, 20);
  EXPECT_EQ(table.CircleData[0], 120.0f);
  EXPECT_EQ(table.CircleData[10], 150.0f);
  EXPECT_EQ(table.ObjectSelected, 0);
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(ClearTest, ClearAllAsksAndEmptiesTableAndViewOnlyOnYes) {
  PutRect(20, 20, 60, 60);
  table.WireData[0] = 100;
  table.WireData[1] = 100;
  table.WireDataLen = 3;
  Show();
  Click(20, 40);
  modified = 0;
  prompts.answers = {Answer::No, Answer::Yes};
  ClearAllClick(scene, canvas, ui);
  ASSERT_EQ(prompts.questions.size(), 1u);
  EXPECT_EQ(prompts.questions[0], "Do you want to clear all objects from the net?");
  EXPECT_EQ(prompts.yesNoQuestions, prompts.questions) << "the box offers Yes and No only";
  EXPECT_EQ(table.RectDataLen, 10);
  EXPECT_EQ(modified, 0);
  ClearAllClick(scene, canvas, ui);
  EXPECT_FALSE(AnyObjects(table));
  EXPECT_EQ(table.ObjectSelected, 0);
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(ui.status[3], "New file");
  EXPECT_EQ(CountPixels(Colours::White), 202 * 202);
}

TEST_F(ClearTest, EscapeDuringADragLeavesTheTableUnchanged) {
  PutRect(40, 50, 80, 70);
  Show();
  Click(40, 60);
  MoveClick(scene, canvas, ui, false);
  Press(60, 60);
  Move(120, 120);
  FormKeyPress(scene, canvas, ui, 27);
  EXPECT_EQ(command.MoveActive, 0);
  Up(130, 130);  // the release after the cancel selects, it does not move
  EXPECT_EQ(table.RectData[0], 40.0f);
  EXPECT_TRUE(View() == Redrawn());
}
