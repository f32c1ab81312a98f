#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/MeshScene.h"

namespace {

// Every setting: 100, 200, 300.
class SetupAtEachSize : public ::testing::TestWithParam<int> {
 protected:
  MeshScene scene{GetParam()};
};

// The stream rows hold ±1; the edge terms are mirrored left to right and
// opposite top to bottom, and nothing else is set.
TEST_P(SetupAtEachSize, EmptyDrawingHoldsOnlyTheStreamRowsAndTheEdgeTerms) {
  scene.SetUp();
  const int M = scene.M();
  const std::vector<float>& rhs = scene.mesh.RightHandSide;
  int nonZero = 0;
  for (int r = 0; r < M; ++r)
    for (int c = 0; c < M; ++c) {
      const float v = rhs[r * M + c];
      nonZero += v != 0.0f;
      ASSERT_NEAR(v, -rhs[(M - 1 - r) * M + c], 1e-5) << r << "," << c;
      ASSERT_FLOAT_EQ(v, rhs[r * M + M - 1 - c]) << r << "," << c;
      if (c < 2 || c > M - 3) continue;  // the edge columns
      ASSERT_EQ(v, r == 1 ? 1.0f : r == M - 2 ? -1.0f : 0.0f) << r << "," << c;
    }
  EXPECT_EQ(nonZero, 2 * (M - 2) + 32);
  EXPECT_TRUE(scene.mesh.SystemReady);
}

TEST_P(SetupAtEachSize, WeightsInTheFrameInTheFluidAndRoundARectangle) {
  const int r0 = scene.V() / 2 - 3, c0 = scene.V() / 2 + 4, r1 = r0 + 4, c1 = c0 + 5;
  scene.AddRect(r0, c0, r1, c1);
  scene.SetUp();
  const int M = scene.M();
  const Mesh& m = scene.mesh;
  const float base = GetParam() == 100 ? 0.001f : 0.005f, frame = static_cast<float>(0.2L * base);
  // (1, 5): all four faces in the frame; (2, 5): only its top face; (3, 5): free.
  EXPECT_FLOAT_EQ(m.CoefDiag[1 * M + 5], 4 * frame);
  EXPECT_FLOAT_EQ(m.CoefDiag[2 * M + 5], 3 * base + frame);
  EXPECT_FLOAT_EQ(m.CoefDiag[3 * M + 5], 4 * base);
  // No coupling wraps from one row into the next.
  for (int row = 0; row < M - 1; ++row) ASSERT_EQ(m.CoefEast[row * M + M - 1], 0.0f) << "row " << row;
  for (int r = r0 - 2; r <= r1 + 2; ++r)
    for (int c = c0 - 2; c <= c1 + 2; ++c)
      ASSERT_EQ(scene.CellSolid(r, c), r >= r0 && r <= r1 && c >= c0 && c <= c1) << r << "," << c;
  // The left neighbour's right face is the obstacle's; a diagonal one shares no face.
  const int left = scene.K(r0 + 2, c0 - 1);
  EXPECT_FLOAT_EQ(m.CoefDiag[left], 3 * base + 1.0f);
  EXPECT_FLOAT_EQ(m.CoefEast[left], -1.0f);
  EXPECT_FLOAT_EQ(m.CoefSouth[scene.K(r0 - 1, c0 + 2)], -1.0f);
  EXPECT_FLOAT_EQ(m.CoefDiag[scene.K(r1 + 1, c1 + 1)], 4 * base);
  // The fine map: the point under the middle of the rectangle, and none far away.
  const int px = static_cast<int>(scene.X(c0 + 2.5f) / (m.ViewRight / 299.0f));
  const int py = static_cast<int>(scene.Y(r0 + 2) / (m.ViewSize / 299.0f));
  EXPECT_EQ(m.SolidMap[px * Mesh::SolidMapStride + py], 's');
  EXPECT_EQ(m.SolidMap[10 * Mesh::SolidMapStride + 10], ' ');
}

// An aerofoil body stamped into map 1 lands on the cells that cover its fine
// points at every size, the 200 mesh included.
TEST_P(SetupAtEachSize, AerofoilMapPointsBecomeSolidCells) {
  for (int x = 150; x <= 155; ++x)
    for (int y = 120; y <= 125; ++y) scene.table.AerofoilMap1[x * AerofoilMapSide + y] = x == 150 ? 'b' : 'i';
  scene.table.AerofoilDataLen = AerofoilRecordSize;
  scene.SetUp();
  const int V = scene.V();
  // The cells whose fine points reach into [lo, hi].
  const auto covering = [V](int lo, int hi) {
    std::set<int> cells;
    for (int i = 0; i < V; ++i)
      if (i * 300 / V <= hi && ((i + 1) * 300 + V - 1) / V - 1 >= lo) cells.insert(i);
    return cells;
  };
  const std::set<int> cols = covering(150, 155), rows = covering(120, 125);
  for (int r = *rows.begin() - 4; r <= *rows.rbegin() + 4; ++r)
    for (int c = *cols.begin() - 4; c <= *cols.rbegin() + 4; ++c)
      ASSERT_EQ(scene.CellSolid(r, c), rows.count(r) && cols.count(c)) << r << "," << c;
  EXPECT_EQ(scene.mesh.SolidMap[149 * Mesh::SolidMapStride + 122], ' ');
}

// Objects reaching over the right and bottom edges of the view go on into the
// hidden border: a block over the bottom-right corner, a circle out to the draw
// area's right edge, a coil whose positive pole lies in the border and a wire
// below the view. A circle wholly off the mesh changes nothing.
TEST_P(SetupAtEachSize, ObjectsReachIntoTheHiddenBorder) {
  const int V = scene.V();
  const Mesh& m = scene.mesh;
  const float base = GetParam() == 100 ? 0.001f : 0.005f;
  MeshScene empty{GetParam()};
  empty.SetUp();
  scene.AddRect(V - 6, V - 6, V + 3, V + 3);
  const float radius = 8 * m.CellWidth;
  scene.AddCircle(m.DrawAreaRight - radius, scene.Y(V / 2), radius);
  scene.AddCircle(-500, -500, 30);
  float* coil = scene.table.CoilData.data();
  std::copy_n(std::begin({scene.X(V - 4), scene.Y(20), scene.X(V + 4), scene.Y(20), scene.X(V + 4), scene.Y(26),
                          scene.X(V - 4), scene.Y(26), SolidPermeability, 2.0f}),
              10, coil);
  scene.table.CoilDataLen = TenRecordSize;
  std::copy_n(std::begin({scene.X(V / 2), scene.Y(V + 5), 1.5f}), 3, scene.table.WireData.begin());
  scene.table.WireDataLen = WireRecordSize;
  scene.SetUp();

  // The block: all four faces of its cells are obstacle faces, so each
  // neighbour below it and to its right has one face of 1.0 and three of base.
  for (int r = V - 6; r <= V + 3; ++r)
    for (int c = V - 6; c <= V + 3; ++c) ASSERT_TRUE(scene.CellSolid(r, c)) << r << "," << c;
  for (int i = V - 6; i <= V + 3; ++i) {
    ASSERT_FLOAT_EQ(m.CoefDiag[scene.K(V + 4, i)], 1.0f + 3 * base) << i;
    ASSERT_FLOAT_EQ(m.CoefSouth[scene.K(V + 3, i)], -1.0f) << i;
    ASSERT_FLOAT_EQ(m.CoefDiag[scene.K(i, V + 4)], 1.0f + 3 * base) << i;
    ASSERT_FLOAT_EQ(m.CoefEast[scene.K(i, V + 3)], -1.0f) << i;
  }
  EXPECT_FLOAT_EQ(m.CoefDiag[scene.K(V + 4, V + 4)], 4 * base);
  // The circle: solid along its middle row up to the cell before the one
  // holding its rightmost point, which lies in the border.
  const int lastColumn = static_cast<int>(static_cast<float>(m.DrawAreaRight) / m.CellWidth) - 1;
  ASSERT_GE(lastColumn, V);
  for (int c = V - 8; c <= lastColumn; ++c) EXPECT_TRUE(scene.CellSolid(V / 2, c)) << c;
  // The coil: + 2 along its right pole, − 2 along its left one, solid between.
  for (int r = 20; r <= 26; ++r) {
    EXPECT_FLOAT_EQ(m.RightHandSide[scene.K(r, V + 4)], 2.0f) << r;
    EXPECT_FLOAT_EQ(m.RightHandSide[scene.K(r, V - 4)], -2.0f) << r;
    for (int c = V - 3; c <= V + 3; ++c) ASSERT_TRUE(scene.CellSolid(r, c)) << r << "," << c;
  }
  // The wire: four times its strength, and its four faces.
  EXPECT_FLOAT_EQ(m.RightHandSide[scene.K(V + 5, V / 2)], 6.0f);
  EXPECT_TRUE(scene.CellSolid(V + 5, V / 2));
  // Nothing from the circle off the mesh, nor anywhere far from the objects.
  EXPECT_EQ(m.CoefDiag[scene.K(-5, -5)], empty.mesh.CoefDiag[scene.K(-5, -5)]);
  EXPECT_EQ(m.CoefDiag[scene.K(V / 2, V / 4)], empty.mesh.CoefDiag[scene.K(V / 2, V / 4)]);
}

// A round section or solenoid of negative radius, which a document may hold,
// describes no area and leaves the mesh as an empty drawing leaves it.
TEST_P(SetupAtEachSize, NegativeRadiusEnclosesNoCell) {
  MeshScene empty{GetParam()};
  empty.SetUp();
  for (float cells : {-0.2f, -3.0f, -8.0f}) {
    MeshScene s{GetParam()};
    const float radius = cells * s.mesh.CellWidth;
    s.AddCircle(s.X(40), s.Y(50), radius);
    std::copy_n(std::begin({s.X(70), s.Y(30), 0.0f, radius}), 4, s.table.SolenoidData.begin());
    s.table.SolenoidData[9] = 5.0f;  // it would add its sources along the outline
    s.table.SolenoidDataLen = TenRecordSize;
    EXPECT_EQ(MeshSetup(s.table, s.field, s.mesh).objectsLeftOut, 0) << "the record is not damaged";
    EXPECT_EQ(s.mesh.CoefDiag, empty.mesh.CoefDiag) << cells;
    EXPECT_EQ(s.mesh.RightHandSide, empty.mesh.RightHandSide) << cells;
    EXPECT_EQ(s.mesh.SolidMap, empty.mesh.SolidMap) << cells;
    EXPECT_EQ(s.mesh.SolidMapCoarse, empty.mesh.SolidMapCoarse) << cells;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SetupAtEachSize, ::testing::Values(100, 200, 300));

class SetupRules : public ::testing::Test {
 protected:
  MeshScene scene{100};
};

TEST_F(SetupRules, DirectionListsShapeOnlyTheEdgeTerms) {
  const auto RhsWith = [this](int vertical, int horizontal) {
    scene.field.VerticalItem = vertical;
    scene.field.HorizontalItem = horizontal;
    scene.SetUp();
    return scene.mesh.RightHandSide;
  };
  const std::vector<float> none = RhsWith(0, 0);
  EXPECT_EQ(RhsWith(1, -1), none);
  const std::vector<float> leftToRight = RhsWith(-1, 1);
  const std::vector<float> diagonal = RhsWith(1, 2);
  const int M = scene.M();
  for (int k = 0; k < M * M; ++k) {
    const int row = k / M, col = k % M;
    if ((col == 1 || col == M - 2) && row != 1 && row != M - 2 && none[k] != 0.0f) {
      ASSERT_FLOAT_EQ(leftToRight[k], -none[k]);
      ASSERT_NEAR(diagonal[k], none[k] * 0.7071f, 1e-5);
    } else {
      ASSERT_EQ(leftToRight[k], none[k]);
      ASSERT_EQ(diagonal[k], none[k]);
    }
  }
}

// A one-cell gap between two obstacles is closed; a two-cell gap stays open.
TEST_F(SetupRules, OneCellGapBetweenTwoObstaclesIsClosed) {
  for (int right : {41, 42}) {
    MeshScene s;
    s.AddRect(40, 30, 50, 39);
    s.AddRect(40, right, 50, 50);
    s.SetUp();
    EXPECT_EQ(s.CellSolid(45, 40), right == 41) << right;
  }
}

// The kinds that documents may still hold: a solenoid's outline carries its
// strength and its inside is solid; a wire adds four times its strength.
TEST_F(SetupRules, SourceKindsFeedTheRightHandSide) {
  MeshScene empty;
  empty.SetUp();
  ObjectTable& t = scene.table;
  std::copy_n(std::begin({scene.X(50), scene.Y(50), 0.0f, 5 * scene.mesh.CellWidth}), 4, t.SolenoidData.begin());
  t.SolenoidData[9] = 2.0f;
  t.SolenoidDataLen = TenRecordSize;
  std::copy_n(std::begin({scene.X(70), scene.Y(20), -1.5f}), 3, t.WireData.begin());
  t.WireDataLen = WireRecordSize;
  scene.SetUp();
  int outline = 0;
  for (int r = 40; r <= 60; ++r)
    for (int c = 40; c <= 60; ++c) {
      const float added = scene.mesh.RightHandSide[scene.K(r, c)] - empty.mesh.RightHandSide[scene.K(r, c)];
      outline += added != 0.0f;
      ASSERT_NEAR(added, added == 0.0f ? 0.0f : 2.0f, 1e-6f) << r << "," << c;
    }
  EXPECT_GT(outline, 20);
  EXPECT_TRUE(scene.CellSolid(50, 50));
  EXPECT_FLOAT_EQ(scene.mesh.RightHandSide[scene.K(20, 70)], -6.0f);
}

// A record of a damaged document may cover the whole mesh and more. Every cell
// short of the frame becomes solid; the frame keeps its weights, so a cell of
// its innermost ring shares just one face with the obstacle; nothing lands in
// the frame or past the arrays: the coil's poles lie off the mesh, one wire lies
// in the frame and one beyond the mesh.
TEST_F(SetupRules, ObjectOverTheWholeMeshStopsAtTheFrame) {
  MeshScene empty;
  empty.SetUp();
  const Mesh& m = scene.mesh;
  const int M = scene.M();
  const float base = 0.001f, frame = static_cast<float>(0.2L * base);
  const float lo = 1.0f - static_cast<float>(std::max(m.ViewRight, m.ViewSize)), hi = 1.0f - 2 * lo;
  std::copy_n(std::begin({lo, lo, hi, lo, hi, hi, lo, hi, SolidPermeability, 3.0f}), 10, scene.table.CoilData.begin());
  scene.table.CoilDataLen = TenRecordSize;
  // Row −8 is mesh row 2, a frame row at the 100 setting.
  std::copy_n(std::begin({scene.X(50), -8.5f * m.CellHeight, 5.0f, hi, hi, 5.0f}), 6, scene.table.WireData.begin());
  scene.table.WireDataLen = 2 * WireRecordSize;
  const MeshSetupReport report = MeshSetup(scene.table, scene.field, scene.mesh);
  EXPECT_EQ(report.objectsLeftOut, 0);

  EXPECT_EQ(m.RightHandSide, empty.mesh.RightHandSide);
  for (int row = 0; row < M; ++row)
    for (int col = 0; col < M; ++col) {
      const int k = row * M + col;
      const bool open = row >= 3 && row <= M - 4 && col >= 3 && col <= M - 4;
      const bool ringRow = (row == 2 || row == M - 3) && col >= 3 && col <= M - 4;
      const bool ringCol = (col == 2 || col == M - 3) && row >= 3 && row <= M - 4;
      if (open)
        ASSERT_EQ(m.CoefDiag[k], 4.0f) << row << "," << col;
      else if (ringRow || ringCol)
        ASSERT_FLOAT_EQ(m.CoefDiag[k], 1.0f + frame + 2 * base) << row << "," << col;
      else
        ASSERT_EQ(m.CoefDiag[k], empty.mesh.CoefDiag[k]) << row << "," << col;
    }
}

TEST_F(SetupRules, DamagedRecordsAreLeftOut) {
  scene.AddRect(40, 40, 45, 45);
  scene.table.RectData[0] = std::nanf("");
  scene.AddCircle(1e30f, 100, 1e30f);
  scene.AddCircle(scene.X(20), scene.Y(20), 3 * scene.mesh.CellWidth);
  const MeshSetupReport report = MeshSetup(scene.table, scene.field, scene.mesh);
  EXPECT_EQ(report.objectsLeftOut, 2);
  EXPECT_TRUE(scene.CellSolid(20, 20));
  EXPECT_FALSE(scene.CellSolid(42, 42));
}

// The solution survives only a density redraw; arrays of another size are
// allocated anew.
TEST_F(SetupRules, SolutionAndArraysAcrossSetUps) {
  scene.SetUp();
  std::fill(scene.mesh.StreamFunction.begin(), scene.mesh.StreamFunction.end(), 2.5f);
  MeshSetupOptions density;
  density.densityRedraw = true;
  scene.SetUp(density);
  EXPECT_EQ(scene.mesh.StreamFunction[5000], 2.5f);
  scene.SetUp();
  EXPECT_EQ(scene.mesh.StreamFunction[5000], 0.0f);
  SetMeshDimensions(scene.mesh, 200);
  ViewLayout(scene.mesh, 30, 636);
  scene.SetUp();
  EXPECT_EQ(scene.mesh.CoefDiag.size(), static_cast<std::size_t>(238 * 238 + 2 * 238));
  EXPECT_EQ(scene.mesh.SetupMeshSize, 238);
}

}  // namespace
