#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "core/MeshScene.h"
#include "display/FreeStream.h"
#include "display/Lift.h"
#include "display/SurfacePressure.h"
#include "geometry/AerofoilProfile.h"

namespace {

class SurfacePressureTest : public ::testing::Test {
 protected:
  static FreeStream& Stream() {
    static FreeStream stream = [] {
      MeshScene empty;
      empty.SetUp();
      FreeStream s;
      UpdateFreeStream(s, empty.mesh, empty.field);
      return s;
    }();
    return stream;
  }
  // A circle of radius 10 cells round the centre of cell (50, 50), solved.
  static const MeshScene& Circle() {
    static MeshScene scene = [] {
      MeshScene s;
      s.AddCircle(s.X(50), s.Y(50), 10 * s.mesh.CellWidth);
      s.SetUp();
      DefaultStreamSolve(s.mesh);
      return s;
    }();
    return scene;
  }
  static const SurfaceSample* At(const SurfacePressure& surface, double position) {
    for (const SurfaceSample& s : surface.samples)
      if (std::fabs(s.position - position) < 1e-6) return &s;
    return nullptr;
  }
};

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
  const SurfaceSample* top = At(surface, 90);
  EXPECT_NEAR(top->row, 50 - 11, 1e-9);
  EXPECT_NEAR(top->column, 50, 1e-9);
}

TEST_F(SurfacePressureTest, RectangleRunsRoundItsEdgesFromTheFirstCorner) {
  MeshScene scene;
  scene.AddRect(40, 40, 60, 55);  // rows 40..60, columns 40..55
  scene.SetUp();
  DefaultStreamSolve(scene.mesh);
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
  MeshScene scene;
  float* d = scene.table.AerofoilData.data();
  d[2] = 1.0f;
  d[3] = 6.0f;
  scene.table.AerofoilDataLen = AerofoilRecordSize;
  AerofoilProfile profile;
  BuildAerofoilTemplate(profile);
  StampAerofoilMaps(scene.table, profile);
  scene.SetUp();
  DefaultStreamSolve(scene.mesh);
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
      s.speedRatio = 1.0;
      if (side == SurfaceSide::Upper && k >= 8) s.speedRatio = -0.5 * (k - 7);  // -0.5, -1, -1.5
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
    ++lines;
    if (lines == 1) {
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
