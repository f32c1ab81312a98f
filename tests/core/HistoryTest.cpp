// Undo history of the drawing: steps give back exactly what was there, maps
// included; a new change drops what could be redone; the oldest steps go past
// the limit; a full table costs about 24 KB a step.
#include <gtest/gtest.h>

#include <algorithm>

#include "geometry/History.h"

namespace {

class HistoryTest : public ::testing::Test {
 protected:
  HistoryTest() { BuildAerofoilTemplate(profile); }
  void AddRect(float x) {
    table.SelectedRecord = {x, 10, x + 20, 10, x + 20, 30, x, 30, 999, 0};
    ASSERT_TRUE(StoreShape(table, KindRect, StoreMode::Append));
  }
  void AddAerofoil(float angle) {
    std::copy_n(std::begin({5.0f, -12.0f, 1.0f, angle}), 4, table.AerofoilData.data() + table.AerofoilDataLen);
    table.AerofoilDataLen += AerofoilRecordSize;
    StampAerofoilMaps(table, profile);
  }
  ObjectTable table;
  AerofoilProfile profile{};
  std::string title = "Wing";
  DrawingHistory history;
};

TEST_F(HistoryTest, UndoAndRedoGiveBackTheTableMapsSelectionAndTitle) {
  AddRect(10);
  AddAerofoil(8);
  const DrawingSnapshot first = TakeSnapshot(table, title);
  const auto mapBefore = table.AerofoilMap1;
  // A move of the aerofoil and a new title, as one step each.
  history.Record("Move", first);
  table.AerofoilData[3] = -4;
  StampAerofoilMaps(table, profile);
  const auto mapMoved = table.AerofoilMap1;
  ASSERT_NE(mapMoved, mapBefore);
  table.ObjectSelected = 1;
  table.SelectedKind = KindAerofoil;
  const DrawingSnapshot moved = TakeSnapshot(table, title);
  history.Record("Title", moved);
  title = "Wing at -4";
  const DrawingSnapshot titled = TakeSnapshot(table, title);
  EXPECT_EQ(history.UndoLabel(), "Title");

  for (int round = 0; round < 2; ++round) {
    DrawingSnapshot back;
    ASSERT_TRUE(history.Undo(TakeSnapshot(table, title), back));
    RestoreSnapshot(back, table, title, profile);
    EXPECT_EQ(TakeSnapshot(table, title), moved);
    ASSERT_TRUE(history.Undo(TakeSnapshot(table, title), back));
    RestoreSnapshot(back, table, title, profile);
    EXPECT_EQ(TakeSnapshot(table, title), first);
    EXPECT_EQ(table.AerofoilMap1, mapBefore) << "the map is stamped again from its record";
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo(TakeSnapshot(table, title), back)) << "nothing before the first step";
    EXPECT_EQ(history.RedoLabel(), "Move");
    ASSERT_TRUE(history.Redo(TakeSnapshot(table, title), back));
    RestoreSnapshot(back, table, title, profile);
    ASSERT_TRUE(history.Redo(TakeSnapshot(table, title), back));
    RestoreSnapshot(back, table, title, profile);
    EXPECT_EQ(TakeSnapshot(table, title), titled);
    EXPECT_EQ(table.AerofoilMap1, mapMoved);
    EXPECT_FALSE(history.CanRedo());
  }
}

TEST_F(HistoryTest, ANewChangeDropsTheRedoStepsAndTheOldestGoPastTheLimit) {
  DrawingHistory small(3);
  for (int i = 0; i < 5; ++i) {
    small.Record("Add Rectangular Section " + std::to_string(i), TakeSnapshot(table, title));
    AddRect(10.0f * static_cast<float>(i));
  }
  EXPECT_EQ(small.Steps(), 3u);
  DrawingSnapshot back;
  ASSERT_TRUE(small.Undo(TakeSnapshot(table, title), back));
  RestoreSnapshot(back, table, title, profile);
  EXPECT_EQ(table.RectDataLen, 40);
  EXPECT_TRUE(small.CanRedo());
  small.Record("Clear", TakeSnapshot(table, title));
  EXPECT_FALSE(small.CanRedo());
  EXPECT_EQ(small.UndoLabel(), "Clear");
}

TEST_F(HistoryTest, AStepOfAFullTableCostsAboutTwentyFourKilobytes) {
  for (std::int32_t kind : {KindRect, KindMagnet, KindCoil, KindSolenoid, KindCircle}) table.Length(kind) = TenCapacity;
  table.WireDataLen = WireCapacity;
  table.AerofoilDataLen = 12;
  for (int i = 0; i < 100; ++i) history.Record("Move", TakeSnapshot(table, title));
  EXPECT_LE(history.Bytes() / 100, 25u * 1024u);
}

}  // namespace
