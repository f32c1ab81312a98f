// Lift and the pressure on the outlines: the trailing-edge condition and the
// circulation it takes, the chord read from the stamped map, the free stream
// that the gauge and the lift measure against, and the surface pressure with
// its export.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>

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
    std::copy_n(std::begin({static_cast<float>(x), static_cast<float>(y), 1.0f, static_cast<float>(angle)}), 4,
                table.AerofoilData.data() + table.AerofoilDataLen);
    table.AerofoilDataLen += AerofoilRecordSize;
    AerofoilProfile profile;
    BuildAerofoilTemplate(profile);
    StampAerofoilMaps(table, profile);
  }
  void SetUpAndSolve() {
    SetUp();
    DefaultStreamSolve(mesh);
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
  // One free stream for the 100 mesh, solved once for the whole program.
  static const FreeStream& Stream() {
    static const FreeStream stream = [] {
      MeshScene empty;
      empty.SetUp();
      FreeStream s;
      UpdateFreeStream(s, empty.mesh, empty.field);
      return s;
    }();
    return stream;
  }
  // A circle of radius 10 cells round the centre of cell (50, 50), solved.
  static const LiftScene& Circle() {
    static const LiftScene scene = [] {
      LiftScene s;
      s.AddCircle(s.X(50), s.Y(50), 10 * s.mesh.CellWidth);
      s.SetUpAndSolve();
      return s;
    }();
    return scene;
  }
};
class SurfacePressureTest : public LiftTest {};

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

// Switched on, only the stream function changes and the trailing-edge
// condition holds. Γ is then the line integral of the velocity round the
// aerofoil (clockwise, lifting in the stream from left to right), whatever loop
// encloses it, and the lift it gives agrees with the pressure on the outline.
TEST_F(LiftTest, TheTrailingEdgeConditionHoldsAndCirculationIsTheLoopIntegral) {
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
  for (auto array : {&Mesh::CoefDiag, &Mesh::CoefEast, &Mesh::CoefSouth, &Mesh::RightHandSide})
    EXPECT_TRUE(SameBytes(scene.mesh.*array, setUp.*array));
  const double after = TrailingEdgeMismatch(scene.mesh, chord, scene.mesh.StreamFunction.data());
  EXPECT_GT(std::fabs(before), 0.1);
  EXPECT_LT(std::fabs(after), 1e-4 * std::fabs(before));
  const AerofoilLift& a = lift.aerofoils[0];
  EXPECT_DOUBLE_EQ(a.trailingEdgeMismatch * a.freeStreamSpeed, after);

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
  scene.SetUpAndSolve();
  const std::vector<float> plain = scene.mesh.StreamFunction;
  const StreamSolve abandoned = [](Mesh&) { return SolverResult{SolverOutcome::Abandoned, 10, 1, 1}; };
  EXPECT_EQ(ApplyLift(scene.table, scene.mesh, Stream(), abandoned).outcome, LiftOutcome::SolveIncomplete);
  EXPECT_TRUE(SameBytes(scene.mesh.StreamFunction, plain));

  LiftScene circle = Circle();
  const LiftResult none = ApplyLift(circle.table, circle.mesh, Stream());
  EXPECT_EQ(none.outcome, LiftOutcome::NoAerofoils);
  EXPECT_TRUE(none.extra.empty());
  EXPECT_TRUE(SameBytes(circle.mesh.StreamFunction, Circle().mesh.StreamFunction));
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
    const int row = k / turned.M() - turned.mesh.MeshBorder, col = k % turned.M() - turned.mesh.MeshBorder;
    return (col - nose.leadingColumn) * nose.directionColumn + (row - nose.leadingRow) * nose.directionRow;
  };
  const double tail = along(turned.K(nose.trailingEdge.row, nose.trailingEdge.column));
  for (std::int32_t k : nose.cells) EXPECT_LE(along(k), tail + 1e-9);

  LiftScene coarse(100);
  coarse.AddAerofoil(0, 0, 0);
  EXPECT_NEAR(AerofoilChordOf(coarse.table, coarse.mesh, 1).chord, 51.0, 1.0);
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

// ----------------------------------------------------------- surface pressure

const SurfaceSample* At(const SurfacePressure& surface, double position) {
  for (const SurfaceSample& s : surface.samples)
    if (std::fabs(s.position - position) < 1e-6) return &s;
  return nullptr;
}

// The exact flow round a cylinder gives Cp = 1 − 4 sin²θ on it. The channel's
// walls, 117 cells apart, speed the flow past this body by (π²/3)(11/117)² ≈
// 3 %, which lowers Cp at 90 degrees by about 0.2, hence the margin there.
TEST_F(SurfacePressureTest, CircleFollowsTheExactSolutionAndIsSymmetric) {
  const SurfacePressure surface = SampleSurfacePressure(Circle().table, Circle().mesh, Stream(), KindCircle, 0);
  ASSERT_EQ(surface.kind, KindCircle);
  EXPECT_EQ(surface.axis, SurfaceAxis::AngleDegrees);
  ASSERT_TRUE(surface.hasExact);
  EXPECT_EQ(surface.samples.size() % 12, 0u);
  for (const double theta : {0.0, 30.0, 60.0, 90.0, 120.0, 150.0, 180.0}) {
    const SurfaceSample* upper = At(surface, theta);
    const SurfaceSample* lower = At(surface, std::fmod(360.0 - theta, 360.0));
    ASSERT_TRUE(upper && lower) << theta;
    EXPECT_NEAR(upper->cp, upper->cpExact, theta == 90 ? 0.25 : 0.15) << theta;
    EXPECT_NEAR(upper->cp, lower->cp, 0.05) << "top and bottom at " << theta;
  }
  EXPECT_LT(surface.rmsDifference, 0.3);
  // The upstream point is a stagnation point; over the top the flow runs with
  // increasing angle, under the bottom against it.
  EXPECT_NEAR(At(surface, 0)->speedRatio, 0, 0.05);
  EXPECT_GT(At(surface, 90)->speedRatio, 1.8);
  EXPECT_LT(At(surface, 270)->speedRatio, -1.8);
  // Values apply one cell out from the outline cells: radius 11.
  EXPECT_NEAR(At(surface, 90)->row, 50 - 11, 1e-9);
  EXPECT_NEAR(At(surface, 90)->column, 50, 1e-9);
}

TEST_F(SurfacePressureTest, RectangleRunsRoundItsEdgesFromTheFirstCorner) {
  LiftScene scene;
  scene.AddRect(40, 40, 60, 55);  // rows 40..60, columns 40..55
  scene.SetUpAndSolve();
  const SurfacePressure surface = SampleSurfacePressure(scene.table, scene.mesh, Stream(), KindRect, 0);
  ASSERT_EQ(surface.kind, KindRect);
  EXPECT_EQ(surface.axis, SurfaceAxis::ArcLength);
  EXPECT_FALSE(surface.hasExact);
  ASSERT_FALSE(surface.samples.empty());
  for (std::size_t i = 1; i < surface.samples.size(); ++i)
    EXPECT_GT(surface.samples[i].position, surface.samples[i - 1].position);
  EXPECT_LT(surface.samples.back().position, 2 * (15 + 20));
  // Corner 0 is the top left: the top edge (15 cells) first, then the right
  // (downstream) edge, the bottom, and the upstream edge last.
  const auto cpAt = [&](double position) {
    const SurfaceSample* best = &surface.samples.front();
    for (const SurfaceSample& s : surface.samples)
      if (std::fabs(s.position - position) < std::fabs(best->position - position)) best = &s;
    return best->cp;
  };
  EXPECT_GT(cpAt(15 + 20 + 15 + 10), 0.5) << "the middle of the upstream face";
  EXPECT_LT(cpAt(7.5), -0.5) << "over the top";
}

TEST_F(SurfacePressureTest, AerofoilSidesRunNoseToTailAndTheUpperSideSucksWithLift) {
  LiftScene scene;
  scene.AddAerofoil(0, 0, 6);
  scene.SetUpAndSolve();
  ASSERT_EQ(ApplyLift(scene.table, scene.mesh, Stream()).outcome, LiftOutcome::Applied);
  const SurfacePressure surface = SampleSurfacePressure(scene.table, scene.mesh, Stream(), KindAerofoil, 0);
  ASSERT_EQ(surface.axis, SurfaceAxis::XOverC);
  std::vector<const SurfaceSample*> upper, lower;
  for (const SurfaceSample& s : surface.samples) (s.side == SurfaceSide::Upper ? upper : lower).push_back(&s);
  ASSERT_GT(upper.size(), 140u);
  ASSERT_GT(lower.size(), 140u);
  EXPECT_DOUBLE_EQ(upper.front()->position, 0.0);
  EXPECT_DOUBLE_EQ(upper.back()->position, 1.0);
  EXPECT_DOUBLE_EQ(lower.front()->position, 0.0);
  double upperMean = 0, lowerMean = 0;
  for (std::size_t i = 0; i < upper.size() && i < lower.size(); ++i) {
    if (upper[i]->position > 0.1 && upper[i]->position < 0.9) {
      EXPECT_LT(upper[i]->row, lower[i]->row) << "upper side above at x/c " << upper[i]->position;
    }
    upperMean += upper[i]->cp;
    lowerMean += lower[i]->cp;
  }
  EXPECT_LT(upperMean, lowerMean - 0.5 * static_cast<double>(upper.size()));
  EXPECT_LE(RearStagnationDistance(surface), 1.0);
}

// Built from samples: the tail's last three upper samples run away from it.
TEST(RearStagnationTest, MeasuresAlongTheSideWhereTheFlowRunsAwayFromTheTail) {
  SurfacePressure surface;
  surface.axis = SurfaceAxis::XOverC;
  for (const SurfaceSide side : {SurfaceSide::Upper, SurfaceSide::Lower})
    for (int k = 0; k <= 10; ++k) {
      SurfaceSample s;
      s.side = side;
      s.position = k / 10.0;
      s.column = k;
      s.speedRatio = side == SurfaceSide::Upper && k >= 8 ? -0.5 * (k - 7) : 1.0;  // -0.5, -1, -1.5
      surface.samples.push_back(s);
    }
  // From the tail (column 10) back over two cells of negative flow, then a
  // third of the step to column 7 where it turns (−0.5 → 1).
  EXPECT_NEAR(RearStagnationDistance(surface), 2 + 1.0 / 3.0, 1e-9);
  for (SurfaceSample& s : surface.samples) s.speedRatio = 1.0;
  EXPECT_EQ(RearStagnationDistance(surface), 0.0);
  surface.axis = SurfaceAxis::AngleDegrees;
  EXPECT_TRUE(std::isnan(RearStagnationDistance(surface)));
}

TEST_F(SurfacePressureTest, NothingToSampleWithoutAFreeStreamAnOutlineOrASelection) {
  const MeshScene& circle = Circle();
  EXPECT_EQ(SampleSurfacePressure(circle.table, circle.mesh, FreeStream{}, KindCircle, 0).kind, -1);
  EXPECT_EQ(SampleSurfacePressure(circle.table, circle.mesh, Stream(), KindCircle, 10).kind, -1) << "no second circle";
  EXPECT_EQ(SampleSurfacePressure(circle.table, circle.mesh, Stream(), KindWire, 0).kind, -1);
  EXPECT_EQ(SampleSurfacePressure(circle.table, circle.mesh, Stream(), KindAerofoil, 0).kind, -1);
  ObjectTable table = circle.table;
  table.ObjectSelected = 0;
  EXPECT_EQ(SampleSelectedSurface(table, circle.mesh, Stream()).kind, -1);
  table.ObjectSelected = 1;
  table.SelectedKind = KindCircle;
  table.SelectedIndex = 0;
  EXPECT_EQ(SampleSelectedSurface(table, circle.mesh, Stream()).kind, KindCircle);
  const PointFlow inside = FlowAtCell(circle.mesh, Stream(), 50, 50);
  EXPECT_TRUE(inside.valid && inside.solid);
  EXPECT_EQ(inside.cp, 0.0);
}

TEST_F(SurfacePressureTest, CsvHasAHeaderAndOneLinePerSample) {
  const SurfacePressure surface = SampleSurfacePressure(Circle().table, Circle().mesh, Stream(), KindCircle, 0);
  std::istringstream csv(SurfacePressureCsv(surface));
  std::string line;
  ASSERT_TRUE(std::getline(csv, line));
  EXPECT_EQ(line, "angle_deg,surface,cp,cp_exact");
  std::size_t lines = 0;
  while (std::getline(csv, line)) {
    if (++lines == 1) {
      EXPECT_EQ(line.rfind("0,upper,1,1", 0), 0u) << line;
    }
  }
  EXPECT_EQ(lines, surface.samples.size());

  SurfacePressure aerofoil;
  aerofoil.axis = SurfaceAxis::XOverC;
  aerofoil.samples.push_back(SurfaceSample{0.25, SurfaceSide::Lower, 0, 0, 0.5, 0.75, NAN});
  EXPECT_EQ(SurfacePressureCsv(aerofoil), "x_over_c,surface,cp\n0.25,lower,0.75\n");
}

}  // namespace
