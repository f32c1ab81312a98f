#include <QImage>
#include "Scene.h"

namespace {
constexpr Rgb Green = ObjectColours::Normal;
constexpr Rgb Red = ObjectColours::Selected;
constexpr Rgb Black = Colours::Black;
}  // namespace

using CreationTest = SceneTest;

TEST_F(CreationTest, RectangleClickSequencePromptsRefusesAndStoresTheShape) {
  AddRectangleClick(scene, ui);
  EXPECT_EQ(ui.status[3], "Add rectangular section: Click on first point ");
  EXPECT_FALSE(ui[Cmd::MnuEdit].enabled);
  Click(-1, 40);  // outside the drawing area
  Click(40, 203);
  EXPECT_EQ(prompts.beeps, 2);
  Click(40, 40);
  Move(50, 40);
  EXPECT_EQ(At(45, 40), Black);  // the rubber band
  Click(42, 41);                 // closer than two cells
  EXPECT_EQ(prompts.beeps, 3);
  Move(80, 40);
  Click(80, 40);
  Click(80, 40);  // the mouse has not moved off the second point
  EXPECT_EQ(prompts.beeps, 4);
  EXPECT_EQ(command.AddRectStep, 3);
  Move(85, 70);
  Click(85, 70);
  ASSERT_EQ(table.RectDataLen, 10);
  const float expected[9] = {40, 40, 80, 40, 80, 70, 40, 70, SolidPermeability};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(table.RectData[k], expected[k]) << k;
  EXPECT_EQ(table.SelectedKind, KindRect);
  EXPECT_EQ(modified, 1);
  EXPECT_TRUE(ui[Cmd::MnuEdit].enabled);
  // No trace of the rubber band: the view is what a redraw of the table gives.
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(CreationTest, ThirdPointTakingACornerOffTheAreaIsRefusedAndTheBandStillFollows) {
  AddRectangleClick(scene, ui);
  Click(100, 20);
  Move(140, 60);
  Click(140, 60);  // a diagonal first edge
  Move(10, 190);   // corner 3 would land at (-30, 150)
  Click(10, 190);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(table.RectDataLen, 0);
  Move(60, 100);
  Click(60, 100);
  ASSERT_EQ(table.RectDataLen, 10);
  EXPECT_FLOAT_EQ(table.RectData[4], 80);
  EXPECT_FLOAT_EQ(table.RectData[5], 120);
  EXPECT_TRUE(View() == Redrawn());
  EXPECT_EQ(CountPixels(Black), 0);
}

TEST_F(CreationTest, RefusedClickAwayFromTheLastMoveLeavesNoBandBehind) {
  AddRectangleClick(scene, ui);
  Click(40, 40);
  Move(60, 40);
  Click(41, 41);  // released elsewhere than the band's end, and refused
  Move(80, 50);
  Click(80, 50);
  Move(70, 90);
  Click(70, 90);
  ASSERT_EQ(table.RectDataLen, 10);
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(CreationTest, NewShapeTakingTheSelectionFromAnAerofoilGivesBackItsCommands) {
  for (int i = 140; i <= 150; ++i) table.AerofoilMap1[i * AerofoilMapSide + 140] = 'b';
  table.AerofoilDataLen = 4;
  table.ObjectSelected = 1;
  table.SelectedKind = KindAerofoil;
  table.SelectedAerofoil = 1;
  Show();
  DisableNonAerofoilCommands(ui);
  AddRect(20, 20, 60, 20, 60, 50);
  EXPECT_EQ(table.SelectedKind, KindRect);
  EXPECT_TRUE(ui[Cmd::SpeedButton8].enabled);
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(CreationTest, CircleIsStoredSelectedAndThePreviousSelectionTurnsGreen) {
  AddRect(20, 20, 60, 20, 60, 50);
  AddCircleClick(scene, ui);
  EXPECT_EQ(At(40, 20), Red);  // selected until the first click of the new shape
  Click(120, 120);
  EXPECT_EQ(At(40, 20), Green);
  Move(140, 120);
  Move(150, 120);
  Click(150, 120);
  ASSERT_EQ(table.CircleDataLen, 10);
  EXPECT_EQ(table.CircleData[0], 120);
  EXPECT_EQ(table.CircleData[3], 30);
  EXPECT_EQ(table.CircleData[8], SolidPermeability);
  EXPECT_EQ(table.SelectedKind, KindCircle);
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(CreationTest, CircleTooSmallReachingOffTheAreaOrNeverDrawnIsRefused) {
  AddCircleClick(scene, ui);
  Click(100, 100);
  Move(103, 100);  // radius 3 < two cells
  Click(103, 100);
  EXPECT_EQ(prompts.beeps, 1);
  Move(100, 0);    // box touches the top edge: still inside
  Move(100, 203);  // box reaches past the bottom
  Click(100, 203);
  EXPECT_EQ(prompts.beeps, 2);
  EXPECT_EQ(table.CircleDataLen, 0);
  Move(100, 150);
  Click(100, 150);
  ASSERT_EQ(table.CircleDataLen, 10);
  AddCircleClick(scene, ui);
  Click(120, 120);
  Click(120, 120);  // nobody drew a circle: the old radius must not be used
  EXPECT_EQ(prompts.beeps, 3);
  EXPECT_EQ(table.CircleDataLen, 10);
}

TEST_F(CreationTest, FullArrayIsRefusedWithABeepAndNothingStarts) {
  table.RectDataLen = 1000;
  AddRectangleClick(scene, ui);
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(command.CommandActive, 0);
  EXPECT_EQ(command.AddRectStep, 0);
}

TEST_F(CreationTest, ClickDuringAPanelOnlyCommandCommitsNothing) {
  int commits = 0;
  geometry.hooks.EditCommit = [&](float, float) { ++commits; };
  PutRect(20, 20, 60, 50);
  Show();
  const QImage before = View();
  command.CommandActive = 1;
  command.AddAerofoilActive = 1;
  Click(30, 40);
  EXPECT_EQ(commits, 0);
  EXPECT_EQ(table.ObjectSelected, 0);
  EXPECT_TRUE(View() == before);
  command.AddAerofoilActive = 0;
  command.CopyActive = 1;  // an armed edit gets the release
  Click(30, 40);
  EXPECT_EQ(commits, 1);
}

TEST_F(CreationTest, EscapeMidSequenceLeavesTheViewAndTableAsBefore) {
  PutRect(150, 150, 190, 190);
  Show();
  const QImage before = View();
  for (int stopAt = 1; stopAt <= 4; ++stopAt) {
    AddRectangleClick(scene, ui);
    Click(20, 20);
    Move(50, 25);
    if (stopAt > 1) Click(50, 25);
    if (stopAt > 2) Move(60, 60);
    if (stopAt > 3) Move(70, 80);
    EXPECT_TRUE(FormKeyPress(scene, canvas, ui, 27));
    EXPECT_TRUE(View() == before) << stopAt;
    EXPECT_FALSE(command.Busy());
  }
  AddCircleClick(scene, ui);
  Click(60, 60);
  Move(80, 60);
  FormKeyPress(scene, canvas, ui, 27);
  EXPECT_TRUE(View() == before);
  EXPECT_FALSE(FormKeyPress(scene, canvas, ui, 27));  // idle: nothing to cancel
}
