#include <algorithm>
#include <QImage>
#include "mesh/Grid.h"
#include "EditScene.h"

namespace {

constexpr Rgb Green = ObjectColours::Normal;
constexpr Rgb Red = ObjectColours::Selected;

char ProfileAt(const AerofoilProfile& p, int k, int m) { return p[static_cast<std::size_t>(k * 20 + m)]; }
char MapAt(const std::vector<char>& map, int i, int j) { return map[static_cast<std::size_t>(i * 300 + j)]; }

struct Box {
  int i0 = 300, i1 = -1, j0 = 300, j1 = -1;
};
Box Occupied(const std::vector<char>& map) {
  Box b;
  for (int i = 0; i < 300; ++i)
    for (int j = 0; j < 300; ++j)
      if (MapAt(map, i, j) != ' ') {
        b.i0 = std::min(b.i0, i);
        b.i1 = std::max(b.i1, i);
        b.j0 = std::min(b.j0, j);
        b.j1 = std::max(b.j1, j);
      }
  return b;
}
// The first occupied row from the top of one map column.
int TopRow(const std::vector<char>& map, int i) {
  int j = 0;
  while (j < 299 && MapAt(map, i, j) == ' ') ++j;
  return j;
}

}  // namespace

class AerofoilProfileTest : public ::testing::Test {
 protected:
  AerofoilProfileTest() { BuildAerofoilTemplate(profile); }
  AerofoilProfile profile{};
  std::vector<char> map = std::vector<char>(300 * 300, 'x');
};

TEST_F(AerofoilProfileTest, BoundaryRowsAndInteriorAlongTheChord) {
  EXPECT_EQ(ProfileAt(profile, 0, 13), 'b');
  EXPECT_EQ(ProfileAt(profile, 150, 15), 'b');
  // Column 5 meets the boundary at rows 14-16 and again at 104-110: between
  // them it is interior, outside them empty.
  EXPECT_EQ(ProfileAt(profile, 13, 5), ' ');
  EXPECT_EQ(ProfileAt(profile, 17, 5), 'i');
  EXPECT_EQ(ProfileAt(profile, 111, 5), ' ');
  // Column 0 is boundary from row 38 to 71 and nothing else.
  EXPECT_EQ(ProfileAt(profile, 50, 0), 'b');
}

TEST_F(AerofoilProfileTest, LevelAerofoilLiesAlongTheRowsOfItsFrame) {
  StampProfile(profile, map, 0, 0, 0);
  const Box b = Occupied(map);
  EXPECT_EQ(b.i0, 74);
  EXPECT_EQ(b.i1, 224);
  EXPECT_EQ(b.j0, 137);
  EXPECT_EQ(b.j1, 156);
  // The map was blanked: no cell of the old content survives.
  EXPECT_EQ(std::count(map.begin(), map.end(), 'x'), 0);
  // Every profile cell that is part of the wing is part of the map.
  for (int k = 0; k < 151; ++k)
    for (int m = 0; m < 20; ++m)
      if (ProfileAt(profile, k, m) != ' ') {
        EXPECT_NE(MapAt(map, 74 + k, 137 + m), ' ') << k << "," << m;
      }
}

TEST_F(AerofoilProfileTest, PositiveAngleLiftsTheNoseAndNegativeDropsIt) {
  StampProfile(profile, map, 0, 0, 20);
  const Box up = Occupied(map);
  EXPECT_LT(TopRow(map, up.i0 + 3) + 20, TopRow(map, up.i1 - 3));  // rows grow downwards
  StampProfile(profile, map, 0, 0, -20);
  const Box down = Occupied(map);
  EXPECT_GT(TopRow(map, down.i0 + 3), TopRow(map, down.i1 - 3) + 20);
  EXPECT_NEAR(up.i1 - up.i0, down.i1 - down.i0, 2);  // mirror-image tilts span the same chord
}

TEST_F(AerofoilProfileTest, OffsetShiftsTheStampedMapCellForCellAndCellsOffTheFrameAreDropped) {
  std::vector<char> base(300 * 300, ' ');
  StampProfile(profile, base, 0, 0, 7);
  StampProfile(profile, map, -30, 25, 7);
  for (int i = 0; i < 300; ++i)
    for (int j = 0; j < 300; ++j) {
      const int bi = i + 30, bj = j - 25;
      const char expected = (bi >= 0 && bi < 300 && bj >= 0 && bj < 300) ? MapAt(base, bi, bj) : ' ';
      ASSERT_EQ(MapAt(map, i, j), expected) << i << "," << j;
    }
  StampProfile(profile, map, 140, 0, 0);  // the trailing half lands past column 299
  const Box b = Occupied(map);
  EXPECT_EQ(b.i0, 214);
  EXPECT_EQ(b.i1, 299);
  StampProfile(profile, map, 100000, -100000, 0);
  EXPECT_EQ(std::count(map.begin(), map.end(), ' '), 300 * 300);
}

TEST_F(AerofoilProfileTest, RotatedWingHasNoHolesInside) {
  StampProfile(profile, map, 0, 0, 13);
  for (int i = 1; i < 299; ++i)
    for (int j = 1; j < 299; ++j)
      if (MapAt(map, i, j) == ' ') {
        const bool enclosed = MapAt(map, i - 1, j) != ' ' && MapAt(map, i + 1, j) != ' ' &&
                              MapAt(map, i, j - 1) != ' ' && MapAt(map, i, j + 1) != ' ';
        ASSERT_FALSE(enclosed) << i << "," << j;
      }
}

using AddAerofoilTest = EditSceneTest;

TEST_F(AddAerofoilTest, OkStampsTheAerofoilSelectedAndASecondTurnsTheFirstGreen) {
  AddAerofoilClick(scene, ui);
  EXPECT_EQ(AeroRotChange(scene, -12), "-12");
  EXPECT_EQ(table.AerofoilDataLen, 0);  // nothing until OK
  AerosizeOk(scene, canvas, ui);
  EXPECT_FALSE(geometry.AerosizeVisible);
  ASSERT_EQ(table.AerofoilDataLen, 4);
  EXPECT_EQ(table.AerofoilData, (decltype(table.AerofoilData){0, 0, 1, -12}));
  EXPECT_EQ(table.SelectedAerofoil, 1);
  EXPECT_GT(CountPixels(Red), 100);
  EXPECT_EQ(CountPixels(Green), 0);
  EXPECT_FALSE(ui[Cmd::SpeedButton8].enabled);  // Copy
  EXPECT_TRUE(ui[Cmd::SpeedButton9].enabled);   // Move
  AddAerofoil(10);
  EXPECT_EQ(table.SelectedAerofoil, 2);
  EXPECT_EQ(table.SelectedAerofoilOffset, 4);
  EXPECT_GT(CountPixels(Green), 50);
  EXPECT_TRUE(View() == Redrawn());
}

TEST_F(AddAerofoilTest, FourthIsRefusedAndCancelChangesNothing) {
  AddAerofoil(0);
  AddAerofoil(5);
  AddAerofoil(-5);
  PutRect(10, 10, 40, 30);
  Show();
  Click(10, 20);
  ASSERT_EQ(table.SelectedKind, KindRect);
  const auto data = table.AerofoilData;
  const auto maps = std::array{table.AerofoilMap1, table.AerofoilMap2, table.AerofoilMap3};
  const QImage before = View();
  AddAerofoil(15);
  EXPECT_EQ(prompts.beeps, 1);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0], "Three aerofoils maximum can be used.");
  EXPECT_EQ(table.AerofoilData, data);
  EXPECT_EQ((std::array{table.AerofoilMap1, table.AerofoilMap2, table.AerofoilMap3}), maps);
  EXPECT_EQ(table.SelectedKind, KindRect);
  EXPECT_TRUE(ui[Cmd::SpeedButton8].enabled);  // the rectangle may still be copied
  EXPECT_TRUE(View() == before);
  AddAerofoilClick(scene, ui);  // Cancel after a turn of the track bar
  AeroRotChange(scene, 20);
  AerosizeCancel(scene, ui);
  EXPECT_EQ(table.AerofoilData, data);
  EXPECT_EQ(command.CommandActive, 0);
  EXPECT_TRUE(View() == before);
}

TEST_F(AddAerofoilTest, RestampRebuildsEveryMapAsAtCreationAndSelectsTheLast) {
  AddAerofoil(8);
  AddAerofoil(-15);
  const auto map1 = table.AerofoilMap1, map2 = table.AerofoilMap2;
  const auto data = table.AerofoilData;
  // As Open leaves it: records read, maps blank, nothing drawn.
  ClearAerofoilMaps(table);
  table.AerofoilDataLen = 8;
  table.AerofoilData = data;
  table.ObjectSelected = 0;
  ClearView(canvas, mesh);
  command.RestampMode = 1;
  RestampAerofoils(scene, canvas, ui);
  EXPECT_EQ(table.AerofoilData, data);
  EXPECT_EQ(table.AerofoilMap1, map1);
  EXPECT_EQ(table.AerofoilMap2, map2);
  EXPECT_EQ(table.SelectedAerofoil, 2);
  EXPECT_EQ(prompts.beeps, 0);
  // The first green, the selected last one red: as a redraw shows them.
  EXPECT_TRUE(View() == Redrawn());
  // The core's stamping without a view gives the same maps, and blanks a map
  // whose record is gone.
  ClearAerofoilMaps(table);
  table.AerofoilDataLen = 8;
  table.AerofoilMap3.assign(AerofoilMapCells, 'b');
  StampAerofoilMaps(table, scene.geometry.AerofoilTemplate);
  EXPECT_EQ(table.AerofoilMap1, map1);
  EXPECT_EQ(table.AerofoilMap2, map2);
  EXPECT_EQ(std::count(table.AerofoilMap3.begin(), table.AerofoilMap3.end(), 'b'), 0);
}
