#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/MeshScene.h"
#include "display/FreeStream.h"
#include "display/Lift.h"
#include "display/SurfacePressure.h"
#include "geometry/AerofoilProfile.h"
#include "mesh/Solver.h"

namespace {

// A mesh scene with aerofoils placed by their record (cell offsets from the
// stamping's home, whole degrees nose up) and their maps stamped.
struct LiftScene : MeshScene {
  explicit LiftScene(int visible = 100) : MeshScene(visible) {}
  void AddAerofoil(int x, int y, int angle) {
    float* d = table.AerofoilData.data() + table.AerofoilDataLen;
    d[0] = static_cast<float>(x);
    d[1] = static_cast<float>(y);
    d[2] = 1.0f;
    d[3] = static_cast<float>(angle);
    table.AerofoilDataLen += AerofoilRecordSize;
    AerofoilProfile profile;
    BuildAerofoilTemplate(profile);
    StampAerofoilMaps(table, profile);
  }
};

bool SameBytes(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// Clockwise line integral of the velocity round the visible cells rows r0..r1,
// columns c0..c1 (top edge left to right first).
double LoopCirculation(const Mesh& mesh, int r0, int r1, int c0, int c1) {
  const float* psi = mesh.StreamFunction.data();
  double g = 0;
  for (int c = c0; c < c1; ++c) g += CellVelocity(mesh, psi, r0, c).u;
  for (int r = r0; r < r1; ++r) g -= CellVelocity(mesh, psi, r, c1).v;
  for (int c = c1; c > c0; --c) g -= CellVelocity(mesh, psi, r1, c).u;
  for (int r = r1; r > r0; --r) g += CellVelocity(mesh, psi, r, c0).v;
  return g;
}

class LiftTest : public ::testing::Test {
 protected:
  // One free stream for the 100 mesh, solved once for the whole suite.
  static FreeStream& Stream() {
    static FreeStream stream = [] {
      LiftScene empty;
      empty.SetUp();
      FreeStream s;
      UpdateFreeStream(s, empty.mesh, empty.field);
      return s;
    }();
    return stream;
  }
};

TEST_F(LiftTest, SwitchedOffTheRunIsThePlainRunBitForBit) {
  LiftScene scene;
  scene.AddAerofoil(0, 0, 6);
  scene.SetUp();
  Mesh plain = scene.mesh;
  const SolverResult reference = SolveStreamFunction(plain, SolverSettings{}.ErrorTolerance2);

  FreeStream untouched;
  const LiftResult off = SolveWithLift(scene.table, scene.field, scene.mesh, LiftOptions{}, untouched);
  EXPECT_EQ(off.outcome, LiftOutcome::Off);
  EXPECT_TRUE(off.extra.empty());
  EXPECT_EQ(off.plain.iterations, reference.iterations);
  EXPECT_TRUE(SameBytes(scene.mesh.StreamFunction, plain.StreamFunction));
  EXPECT_FALSE(untouched.Solved()) << "no empty-mesh run while lift is off";
}

TEST_F(LiftTest, SwitchedOnOnlyTheStreamFunctionChangesAndTheTrailingEdgeConditionHolds) {
  LiftScene scene;
  scene.AddAerofoil(0, 0, 6);
  scene.SetUp();
  const Mesh setUp = scene.mesh;
  DefaultStreamSolve(scene.mesh);
  const AerofoilChord chord = AerofoilChordOf(scene.table, scene.mesh, 1);
  const double before = TrailingEdgeMismatch(scene.mesh, chord, scene.mesh.StreamFunction.data());

  const LiftResult lift = ApplyLift(scene.table, scene.mesh, Stream());
  ASSERT_EQ(lift.outcome, LiftOutcome::Applied);
  ASSERT_EQ(lift.aerofoils.size(), 1u);
  EXPECT_TRUE(SameBytes(scene.mesh.CoefDiag, setUp.CoefDiag));
  EXPECT_TRUE(SameBytes(scene.mesh.CoefEast, setUp.CoefEast));
  EXPECT_TRUE(SameBytes(scene.mesh.CoefSouth, setUp.CoefSouth));
  EXPECT_TRUE(SameBytes(scene.mesh.RightHandSide, setUp.RightHandSide));
  const double after = TrailingEdgeMismatch(scene.mesh, chord, scene.mesh.StreamFunction.data());
  EXPECT_GT(std::fabs(before), 0.1);
  EXPECT_LT(std::fabs(after), 1e-4 * std::fabs(before));
  EXPECT_DOUBLE_EQ(lift.aerofoils[0].trailingEdgeMismatch * lift.aerofoils[0].freeStreamSpeed, after);
}

// Γ is the line integral of the velocity round the aerofoil (clockwise, lifting
// in the stream from left to right), whatever loop encloses it; the lift it
// gives agrees with the pressure on the outline.
TEST_F(LiftTest, CirculationIsTheLoopIntegralAndMatchesThePressureLift) {
  LiftScene scene;
  scene.AddAerofoil(0, 0, 6);
  scene.SetUp();
  DefaultStreamSolve(scene.mesh);
  const LiftResult lift = ApplyLift(scene.table, scene.mesh, Stream());
  ASSERT_EQ(lift.outcome, LiftOutcome::Applied);
  const AerofoilLift& a = lift.aerofoils[0];
  const AerofoilChord chord = AerofoilChordOf(scene.table, scene.mesh, 1);
  const int row = static_cast<int>(chord.CentreRow()), left = static_cast<int>(chord.leadingColumn),
            right = static_cast<int>(chord.trailingColumn);
  for (const int margin : {6, 14}) {
    const double loop = LoopCirculation(scene.mesh, row - margin - 4, row + margin + 4, left - margin, right + margin);
    EXPECT_NEAR(loop, a.circulation, 0.02 * a.circulation) << "loop " << margin << " cells out";
  }
  EXPECT_GT(a.circulation, 0);
  EXPECT_NEAR(a.chord, 51, 1.0);
  EXPECT_NEAR(a.liftCoefficient, 2 * a.circulation / (a.freeStreamSpeed * a.chord), 1e-9);
  EXPECT_GT(a.liftCoefficient, 0.8);
  EXPECT_NEAR(a.liftCoefficientPressure, a.liftCoefficient, std::max(0.05, 0.1 * a.liftCoefficient));
}

TEST_F(LiftTest, TwoAerofoilsEachTakeTheirOwnCirculation) {
  LiftScene scene;
  scene.AddAerofoil(0, -45, 4);
  scene.AddAerofoil(0, 45, 4);
  scene.SetUp();
  // A 2 % level keeps the runs short; the conditions are met whatever ψ₀ is.
  const StreamSolve quick = [](Mesh& m) { return SolveStreamFunction(m, 0.02f * 0.02f); };
  quick(scene.mesh);
  const LiftResult lift = ApplyLift(scene.table, scene.mesh, Stream(), quick);
  ASSERT_EQ(lift.outcome, LiftOutcome::Applied);
  ASSERT_EQ(lift.aerofoils.size(), 2u);
  ASSERT_EQ(lift.extra.size(), 2u);
  for (int n = 1; n <= 2; ++n) {
    const AerofoilChord chord = AerofoilChordOf(scene.table, scene.mesh, n);
    EXPECT_LT(std::fabs(TrailingEdgeMismatch(scene.mesh, chord, scene.mesh.StreamFunction.data())), 1e-3)
        << "aerofoil " << n;
  }
  const double upper = lift.aerofoils[0].circulation, lower = lift.aerofoils[1].circulation;
  EXPECT_GT(upper, 0);
  EXPECT_GT(lower, 0);
  EXPECT_GT(std::fabs(upper - lower), 0.02 * std::max(upper, lower));
}

TEST_F(LiftTest, AnIncompleteCirculationRunOrNoAerofoilKeepsThePlainSolution) {
  LiftScene scene;
  scene.AddAerofoil(0, 0, 4);
  scene.SetUp();
  DefaultStreamSolve(scene.mesh);
  const std::vector<float> plain = scene.mesh.StreamFunction;
  const StreamSolve abandoned = [](Mesh&) { return SolverResult{SolverOutcome::Abandoned, 10, 1, 1}; };
  const LiftResult stopped = ApplyLift(scene.table, scene.mesh, Stream(), abandoned);
  EXPECT_EQ(stopped.outcome, LiftOutcome::SolveIncomplete);
  EXPECT_TRUE(SameBytes(scene.mesh.StreamFunction, plain));

  LiftScene circle;
  circle.AddCircle(circle.X(50), circle.Y(50), 8 * circle.mesh.CellWidth);
  circle.SetUp();
  DefaultStreamSolve(circle.mesh);
  const std::vector<float> circlePlain = circle.mesh.StreamFunction;
  const LiftResult none = ApplyLift(circle.table, circle.mesh, Stream());
  EXPECT_EQ(none.outcome, LiftOutcome::NoAerofoils);
  EXPECT_TRUE(none.extra.empty());
  EXPECT_TRUE(SameBytes(circle.mesh.StreamFunction, circlePlain));
}

// The geometry comes from the record and the stamped map, with no solver run.
TEST(AerofoilChordTest, TrailingEdgeChordAndCellsFollowTheStampedMap) {
  LiftScene fine(300);
  fine.AddAerofoil(0, 0, 0);
  fine.SetUp();
  const AerofoilChord level = AerofoilChordOf(fine.table, fine.mesh, 1);
  ASSERT_TRUE(level.onMesh);
  // The tail (template row 150, column 15) lands on map point (224, 152).
  EXPECT_EQ(level.trailingEdge, (Cell{152, 224}));
  EXPECT_NEAR(level.chord, 151.0, 0.05);
  EXPECT_NEAR(level.directionColumn, 1.0, 1e-4);
  for (std::int32_t k : level.cells) EXPECT_EQ(fine.mesh.CoefDiag[static_cast<std::size_t>(k)], 4.0f);

  LiftScene turned(300);
  turned.AddAerofoil(0, 0, 10);
  turned.SetUp();
  const AerofoilChord nose = AerofoilChordOf(turned.table, turned.mesh, 1);
  ASSERT_TRUE(nose.onMesh);
  EXPECT_GT(nose.trailingRow, nose.leadingRow) << "nose up: the tail lies lower on the screen";
  const auto along = [&](std::int32_t k) {
    const int row = k / turned.mesh.MeshSize - turned.mesh.MeshBorder, col = k % turned.mesh.MeshSize - turned.mesh.MeshBorder;
    return (col - nose.leadingColumn) * nose.directionColumn + (row - nose.leadingRow) * nose.directionRow;
  };
  const double tail = along(turned.mesh.Index(nose.trailingEdge.row, nose.trailingEdge.column));
  for (std::int32_t k : nose.cells) EXPECT_LE(along(k), tail + 1e-9);

  LiftScene coarse(100);
  coarse.AddAerofoil(0, 0, 0);
  const AerofoilChord small = AerofoilChordOf(coarse.table, coarse.mesh, 1);
  EXPECT_NEAR(small.chord, 51.0, 1.0);
  EXPECT_FALSE(AerofoilChordOf(coarse.table, coarse.mesh, 2).onMesh) << "empty slot";

  LiftScene away(100);
  away.AddAerofoil(140, 0, 0);  // the tail past the right edge of the map
  EXPECT_FALSE(AerofoilChordOf(away.table, away.mesh, 1).onMesh);
}

TEST(FreeStreamTest, SolvedOnceAndKeptPerSizeAndExternalField) {
  LiftScene scene;
  scene.AddCircle(scene.X(50), scene.Y(50), 8 * scene.mesh.CellWidth);
  scene.SetUp();
  const std::vector<float> before = scene.mesh.StreamFunction;
  int runs = 0;
  const StreamSolve counting = [&](Mesh& m) {
    ++runs;
    return DefaultStreamSolve(m);
  };
  FreeStream stream;
  ASSERT_TRUE(UpdateFreeStream(stream, scene.mesh, scene.field, counting));
  ASSERT_TRUE(UpdateFreeStream(stream, scene.mesh, scene.field, counting));
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(SameBytes(scene.mesh.StreamFunction, before)) << "the mesh is only read";

  scene.field.HorizontalItem = 1;  // "Left to right" turns the edge sources round
  EXPECT_FALSE(FreeStreamMatches(stream, scene.mesh, scene.field));
  ASSERT_TRUE(UpdateFreeStream(stream, scene.mesh, scene.field, counting));
  EXPECT_EQ(runs, 2);

  LiftScene larger(200);
  EXPECT_FALSE(FreeStreamMatches(stream, larger.mesh, larger.field));

  const StreamSolve failing = [](Mesh&) { return SolverResult{SolverOutcome::Abandoned, 3, 1, 1}; };
  EXPECT_FALSE(UpdateFreeStream(stream, larger.mesh, larger.field, failing));
  EXPECT_FALSE(stream.Solved());
}

// The empty mesh is the ground truth of the gauge: U/U∞ is 1 and Cp 0
// everywhere in it, and the stream runs from left to right.
TEST(FreeStreamTest, TheEmptyMeshReadsSpeedRatioOneAndNoPressure) {
  LiftScene empty;
  empty.SetUp();
  FreeStream stream;
  ASSERT_TRUE(UpdateFreeStream(stream, empty.mesh, empty.field));
  DefaultStreamSolve(empty.mesh);
  for (const Cell c : {Cell{50, 50}, Cell{10, 90}, Cell{95, 3}}) {
    const PointFlow flow = FlowAtCell(empty.mesh, stream, c.row, c.column);
    ASSERT_TRUE(flow.valid);
    EXPECT_FALSE(flow.solid);
    EXPECT_NEAR(flow.speedRatio, 1.0, 1e-6);
    EXPECT_NEAR(flow.cp, 0.0, 1e-5);
  }
  const FlowVelocity centre = FreeStreamVelocity(stream, 50, 50);
  EXPECT_GT(centre.u, 0);
  EXPECT_LT(std::fabs(centre.v), 1e-3 * centre.u);
  EXPECT_EQ(FlowAtCell(empty.mesh, stream, -1, 5).valid, false);
  EXPECT_EQ(FlowAtCell(empty.mesh, FreeStream{}, 5, 5).valid, false);
}

}  // namespace
