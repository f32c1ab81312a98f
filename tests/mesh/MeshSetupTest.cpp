#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "MeshScene.h"
#include "platform/Canvas.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"

namespace {

// Every setting: 100, 200, 300.
class SetupAtEachSize : public ::testing::TestWithParam<int> {
 protected:
  MeshScene scene{GetParam()};
  float base() const { return GetParam() == 100 ? 0.001f : 0.005f; }
  float frame() const { return static_cast<float>(0.2L * base()); }
  float edgeTerm(int entry) const {
    static const float c[8] = {1.0f, 1.2f, 0.95f, 1.16f, 0.55f, 0.65f, 0.4f, 0.6f};
    const float a = GetParam() == 100 ? 1.17f : 1.33f;
    return c[entry] * (scene.M() * a / 60.0f) * 1.52381f;
  }
  int edgeRow(int entry) const {
    static const double f[8] = {0.03, 0.08, 0.13, 0.18, 0.23, 0.28, 0.33, 0.38};
    return static_cast<int>(scene.M() * f[entry]);
  }
};

TEST_P(SetupAtEachSize, EmptyDrawingHoldsOnlyTheStreamRowsAndTheEdgeTerms) {
  scene.SetUp();
  const int M = scene.M();
  std::vector<double> expected(M * M, 0.0);
  for (int c = 1; c <= M - 2; ++c) {
    expected[M + c] += 1.0;
    expected[(M - 2) * M + c] -= 1.0;
  }
  for (int e = 0; e < 8; ++e) {
    const int r = edgeRow(e);
    expected[r * M + 1] += edgeTerm(e);
    expected[r * M + M - 2] += edgeTerm(e);
    expected[(M - 1 - r) * M + 1] -= edgeTerm(e);
    expected[(M - 1 - r) * M + M - 2] -= edgeTerm(e);
  }
  int nonZero = 0;
  for (int k = 0; k < M * M; ++k) {
    ASSERT_NEAR(scene.mesh.RightHandSide[k], expected[k], 1e-5) << "cell " << k;
    nonZero += scene.mesh.RightHandSide[k] != 0.0f;
  }
  EXPECT_EQ(nonZero, 2 * (M - 2) + 32);
  EXPECT_TRUE(scene.mesh.SystemReady);
}

TEST_P(SetupAtEachSize, FrameAndFreeCellsCarryTheirWeights) {
  scene.SetUp();
  const int M = scene.M();
  const Mesh& m = scene.mesh;
  // (1, 5): all four faces in the frame; (2, 5): only its top face; (3, 5): free.
  EXPECT_FLOAT_EQ(m.CoefDiag[1 * M + 5], 4 * frame());
  EXPECT_FLOAT_EQ(m.CoefEast[1 * M + 5], -frame());
  EXPECT_FLOAT_EQ(m.CoefDiag[2 * M + 5], 3 * base() + frame());
  EXPECT_FLOAT_EQ(m.CoefSouth[2 * M + 5], -base());
  EXPECT_FLOAT_EQ(m.CoefDiag[3 * M + 5], 4 * base());
  // A free cell in the middle.
  const int mid = (M / 2) * M + M / 2;
  EXPECT_FLOAT_EQ(m.CoefDiag[mid], 4 * base());
  EXPECT_FLOAT_EQ(m.CoefEast[mid], -base());
  EXPECT_FLOAT_EQ(m.CoefSouth[mid], -base());
  // No coupling wraps from one row into the next.
  for (int row = 0; row < M - 1; ++row) ASSERT_EQ(m.CoefEast[row * M + M - 1], 0.0f) << "row " << row;
}

TEST_P(SetupAtEachSize, RectangleCellsAndTheirNeighboursByHand) {
  const int r0 = scene.V() / 2 - 3, c0 = scene.V() / 2 + 4, r1 = r0 + 4, c1 = c0 + 5;
  scene.AddRect(r0, c0, r1, c1);
  scene.SetUp();
  const Mesh& m = scene.mesh;
  for (int r = r0 - 2; r <= r1 + 2; ++r)
    for (int c = c0 - 2; c <= c1 + 2; ++c)
      ASSERT_EQ(scene.CellSolid(r, c), r >= r0 && r <= r1 && c >= c0 && c <= c1) << r << "," << c;
  const int inside = scene.K(r0 + 1, c0 + 1);
  EXPECT_FLOAT_EQ(m.CoefEast[inside], -1.0f);
  EXPECT_FLOAT_EQ(m.CoefSouth[inside], -1.0f);
  // Left neighbour: its right face is the obstacle's left face.
  const int left = scene.K(r0 + 2, c0 - 1);
  EXPECT_FLOAT_EQ(m.CoefDiag[left], 3 * base() + 1.0f);
  EXPECT_FLOAT_EQ(m.CoefEast[left], -1.0f);
  EXPECT_FLOAT_EQ(m.CoefSouth[left], -base());
  // Above: its bottom face is the obstacle's top face.
  const int above = scene.K(r0 - 1, c0 + 2);
  EXPECT_FLOAT_EQ(m.CoefDiag[above], 3 * base() + 1.0f);
  EXPECT_FLOAT_EQ(m.CoefSouth[above], -1.0f);
  EXPECT_FLOAT_EQ(m.CoefEast[above], -base());
  // Right of the last column.
  EXPECT_FLOAT_EQ(m.CoefEast[scene.K(r1, c1)], -1.0f);
  EXPECT_FLOAT_EQ(m.CoefEast[scene.K(r1, c1 + 1)], -base());
  // Diagonal neighbour touches no obstacle face.
  EXPECT_FLOAT_EQ(m.CoefDiag[scene.K(r1 + 1, c1 + 1)], 4 * base());
  // The fine map: the point under the middle of the rectangle, and none far away.
  const float fx = m.ViewRight / 299.0f, fy = m.ViewSize / 299.0f;
  const int px = static_cast<int>(scene.X(c0 + 2.5f) / fx), py = static_cast<int>(scene.Y(r0 + 2) / fy);
  EXPECT_EQ(m.SolidMap[px * Mesh::SolidMapStride + py], 's');
  EXPECT_EQ(m.SolidMap[10 * Mesh::SolidMapStride + 10], ' ');
  if (GetParam() == 100) {
    EXPECT_EQ(m.SolidMapCoarse[(c0 + 1) * 100 + r0 + 1], 's');
    EXPECT_EQ(m.SolidMapCoarse[(c0 - 1) * 100 + r0 + 1], ' ');
  }
}

// An aerofoil body stamped into map 1 lands on the cells that cover its fine
// points at every size, the 200 mesh included.
TEST_P(SetupAtEachSize, AerofoilMapPointsBecomeSolidCells) {
  for (int x = 150; x <= 155; ++x)
    for (int y = 120; y <= 125; ++y) scene.table.AerofoilMap1[x * AerofoilMapSide + y] = x == 150 ? 'b' : 'i';
  scene.table.AerofoilDataLen = AerofoilRecordSize;
  scene.SetUp();
  const int V = scene.V();
  std::set<int> cols, rows;
  for (int c = 0; c < V; ++c) {
    const int first = c * 300 / V, last = ((c + 1) * 300 + V - 1) / V - 1;
    if (first <= 155 && last >= 150) cols.insert(c);
  }
  for (int r = 0; r < V; ++r) {
    const int first = r * 300 / V, last = ((r + 1) * 300 + V - 1) / V - 1;
    if (first <= 125 && last >= 120) rows.insert(r);
  }
  for (int r = *rows.begin() - 4; r <= *rows.rbegin() + 4; ++r)
    for (int c = *cols.begin() - 4; c <= *cols.rbegin() + 4; ++c)
      ASSERT_EQ(scene.CellSolid(r, c), rows.count(r) && cols.count(c)) << r << "," << c;
  EXPECT_EQ(scene.mesh.SolidMap[152 * Mesh::SolidMapStride + 122], 's');
  EXPECT_EQ(scene.mesh.SolidMap[149 * Mesh::SolidMapStride + 122], ' ');
}

// Objects reaching over the edges of the visible mesh, into the strip at the
// right and bottom or off the view altogether, are classified in full and
// clipped to the visible cells.
TEST_P(SetupAtEachSize, ObjectsOverTheEdgesAreClipped) {
  const int V = scene.V();
  scene.AddRect(V - 6, V - 6, V + 3, V + 3);   // over the bottom-right corner
  scene.AddRect(-8, 10, 4, 14);                // over the top
  scene.AddRect(20, -1, 24, 5);                // from the very first column
  scene.AddCircle(scene.X(-3), scene.Y(V / 2), 6 * scene.mesh.CellWidth);  // centre left of the view
  scene.AddCircle(-500, -500, 30);             // wholly off the view
  scene.SetUp();
  for (int r = V - 6; r < V; ++r)
    for (int c = V - 6; c < V; ++c) ASSERT_TRUE(scene.CellSolid(r, c)) << r << "," << c;
  for (int r = 0; r <= 4; ++r)
    for (int c = 10; c <= 14; ++c) ASSERT_TRUE(scene.CellSolid(r, c)) << r << "," << c;
  for (int r = 20; r <= 24; ++r)
    for (int c = 0; c <= 5; ++c) ASSERT_TRUE(scene.CellSolid(r, c)) << r << "," << c;
  EXPECT_TRUE(scene.CellSolid(V / 2, 0));
  EXPECT_TRUE(scene.CellSolid(V / 2, 1));
  EXPECT_FALSE(scene.CellSolid(V / 2 - 1, 10));
}

INSTANTIATE_TEST_SUITE_P(Sizes, SetupAtEachSize, ::testing::Values(100, 200, 300));

class SetupRules : public ::testing::Test {
 protected:
  MeshScene scene{100};
  std::vector<float> RhsWith(int vertical, int horizontal) {
    scene.field.VerticalItem = vertical;
    scene.field.HorizontalItem = horizontal;
    scene.SetUp();
    return scene.mesh.RightHandSide;
  }
};

TEST_F(SetupRules, DirectionListsShapeOnlyTheEdgeTerms) {
  const std::vector<float> none = RhsWith(0, 0);
  EXPECT_EQ(RhsWith(1, -1), none);
  EXPECT_EQ(RhsWith(2, 0), none);
  const std::vector<float> leftToRight = RhsWith(-1, 1);
  const std::vector<float> diagonal = RhsWith(1, 2);
  const int M = scene.M();
  for (int k = 0; k < M * M; ++k) {
    const int row = k / M, col = k % M;
    const bool edge = (col == 1 || col == M - 2) && row != 1 && row != M - 2 && none[k] != 0.0f;
    if (edge) {
      ASSERT_FLOAT_EQ(leftToRight[k], -none[k]);
      ASSERT_NEAR(diagonal[k], none[k] * 0.7071f, 1e-5);
    } else {
      ASSERT_EQ(leftToRight[k], none[k]);
      ASSERT_EQ(diagonal[k], none[k]);
    }
  }
}

TEST_F(SetupRules, OneCellGapBetweenTwoObstaclesIsClosed) {
  scene.AddRect(40, 30, 50, 39);
  scene.AddRect(40, 41, 50, 50);
  scene.SetUp();
  const int gap = scene.K(45, 40);
  EXPECT_FLOAT_EQ(scene.mesh.CoefDiag[gap], 4.0f);
  EXPECT_FLOAT_EQ(scene.mesh.CoefSouth[gap], -1.0f);
  // A two-cell gap stays open.
  MeshScene wide;
  wide.AddRect(40, 30, 50, 39);
  wide.AddRect(40, 42, 50, 50);
  wide.SetUp();
  EXPECT_LT(wide.mesh.CoefDiag[wide.K(45, 40)], 4.0f);
}

TEST_F(SetupRules, SmallestRectangleIsSolidThroughout) {
  scene.AddRect(60, 60, 62, 62);
  scene.SetUp();
  for (int r = 59; r <= 63; ++r)
    for (int c = 59; c <= 63; ++c) EXPECT_EQ(scene.CellSolid(r, c), r >= 60 && r <= 62 && c >= 60 && c <= 62);
}

// The kinds that documents may still hold: a solenoid's outline carries its
// strength and its inside is solid; a wire adds four times its strength.
TEST_F(SetupRules, SourceKindsFeedTheRightHandSide) {
  MeshScene empty;
  empty.SetUp();
  float* d = scene.table.SolenoidData.data();
  d[0] = scene.X(50);
  d[1] = scene.Y(50);
  d[3] = 5 * scene.mesh.CellWidth;
  d[9] = 2.0f;
  scene.table.SolenoidDataLen = TenRecordSize;
  scene.table.WireData[0] = scene.X(70);
  scene.table.WireData[1] = scene.Y(20);
  scene.table.WireData[2] = -1.5f;
  scene.table.WireDataLen = WireRecordSize;
  scene.SetUp();
  int outline = 0;
  for (int r = 40; r <= 60; ++r)
    for (int c = 40; c <= 60; ++c) {
      const float added = scene.mesh.RightHandSide[scene.K(r, c)] - empty.mesh.RightHandSide[scene.K(r, c)];
      if (added == 0.0f) continue;
      ASSERT_FLOAT_EQ(added, 2.0f) << r << "," << c;
      EXPECT_FALSE(scene.CellSolid(r, c));
      ++outline;
    }
  EXPECT_GT(outline, 20);
  EXPECT_TRUE(scene.CellSolid(50, 50));
  EXPECT_FLOAT_EQ(scene.mesh.RightHandSide[scene.K(20, 70)], -6.0f);
  EXPECT_TRUE(scene.CellSolid(20, 70));
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

TEST_F(SetupRules, SolutionIsKeptOnlyByTheRedrawForms) {
  scene.SetUp();
  std::fill(scene.mesh.StreamFunction.begin(), scene.mesh.StreamFunction.end(), 2.5f);
  MeshSetupOptions density;
  density.densityRedraw = true;
  scene.SetUp(density);
  EXPECT_EQ(scene.mesh.StreamFunction[5000], 2.5f);
  scene.SetUp();
  EXPECT_EQ(scene.mesh.StreamFunction[5000], 0.0f);
}

TEST_F(SetupRules, ArraysOfAnotherSizeAreAllocatedAnew) {
  SetMeshDimensions(scene.mesh, 200);
  ViewLayout(scene.mesh, 30, 636);
  scene.SetUp();
  EXPECT_EQ(scene.mesh.CoefDiag.size(), static_cast<std::size_t>(238 * 238 + 2 * 238));
  EXPECT_EQ(scene.mesh.SetupMeshSize, 238);
}

TEST_F(SetupRules, SolidFillPaintsObstaclesGrey) {
  QImage image = MakeBitmap(scene.mesh.ViewRight, scene.mesh.ViewSize);
  Canvas canvas(image);
  scene.AddRect(40, 40, 50, 50);
  MeshSetupOptions options;
  options.solidFill = true;
  options.canvas = &canvas;
  int redraws = 0;
  options.redrawView = [&] { ++redraws; };
  scene.SetUp(options);
  canvas.Flush();
  EXPECT_EQ(canvas.Pixel(static_cast<int>(scene.X(45)), static_cast<int>(scene.Y(45))), Colours::Grey);
  EXPECT_EQ(canvas.Pixel(static_cast<int>(scene.X(30)), static_cast<int>(scene.Y(45))), Colours::White);
  EXPECT_EQ(redraws, 0);
  options.solidFill = false;
  scene.SetUp(options);
  EXPECT_EQ(redraws, 1);
}

TEST_F(SetupRules, CommandEnablesRunAndClearsTheFlowLines) {
  UiState ui;
  CommandState commands;
  ui[Cmd::MnuAnalyseRun].enabled = false;
  ui.helpLabels[0] = "help";
  std::int32_t streamlinesShown = 1;
  int redraws = 0, help = -1;
  MeshSetupOptions options;
  options.redrawView = [&] { ++redraws; };
  SetMeshDimensions(scene.mesh, 300);
  ViewLayout(scene.mesh, 30, 636);
  MeshSetupCommand(scene.table, scene.field, scene.mesh, options, ui, commands, streamlinesShown,
                   [&](int code) { help = code; });
  EXPECT_TRUE(ui[Cmd::MnuAnalyseRun].enabled);
  EXPECT_TRUE(ui[Cmd::MnuAnalyse].enabled);
  EXPECT_EQ(streamlinesShown, 0);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(help, 26);
  EXPECT_EQ(ui.helpLabels[0], "");
  EXPECT_EQ(ui.cursor, CursorShape::Default);
  EXPECT_EQ(commands.MeshSetupBusy, 0);
}

TEST(ExternalFieldPanel, RefusesWhatThePanelCannotStore) {
  ExternalField field;
  EXPECT_EQ(CheckExternalField("5", -1, -1, field), ExternalFieldRefusal::NoDirection);
  for (const char* bad : {"", "abc", "1e2", "1000", "-1", "1-2", "999.5"})
    EXPECT_EQ(CheckExternalField(bad, 1, -1, field), ExternalFieldRefusal::BadStrength) << bad;
  EXPECT_EQ(field.VerticalItem, -1);
  EXPECT_EQ(CheckExternalField("999", -1, 2, field), ExternalFieldRefusal::None);
  EXPECT_EQ(field.Strength, 999.0f);
  EXPECT_EQ(field.HorizontalItem, 2);
}

}  // namespace
