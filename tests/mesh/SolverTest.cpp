#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "MeshScene.h"
#include "mesh/Solver.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"

namespace {

// The method as written out step by step, one loop per step, kept here to hold
// the fused solver to the same iterations and the same field.
void ReferenceMatrix(const Mesh& m, const std::vector<float>& x, std::vector<float>& y) {
  const int M = m.MeshSize, n = M * M;
  for (int k = 0; k < n; ++k) {
    float v = m.CoefDiag[k] * x[k];
    if (k < n - M) v += m.CoefSouth[k] * x[k + M];
    if (k < n - 1) v += m.CoefEast[k] * x[k + 1];
    if (k - 1 >= 0) v += m.CoefEast[k - 1] * x[k - 1];
    if (k - M >= 0) v += m.CoefSouth[k - M] * x[k - M];
    y[k] = v;
  }
}

double ReferenceDot(const std::vector<float>& a, const std::vector<float>& b, int n) {
  double s = 0;
  for (int k = 0; k < n; ++k) s += static_cast<double>(a[k]) * b[k];
  return s;
}

int ReferenceSolve(Mesh& m, float tolerance2) {
  const int M = m.MeshSize, n = M * M;
  std::vector<float> r(n), p(n), q(n);
  std::vector<float>& x = m.StreamFunction;
  ReferenceMatrix(m, x, r);
  for (int k = 0; k < n; ++k) r[k] = m.RightHandSide[k] - r[k];
  p = r;
  double rr = ReferenceDot(r, r, n);
  const double rr0 = rr;
  for (int it = 0;; ++it) {
    ReferenceMatrix(m, p, q);
    const double alpha = rr / ReferenceDot(p, q, n);
    for (int k = 0; k < n; ++k) x[k] += static_cast<float>(alpha) * p[k];
    if ((it + 1) % (M + 1) != 0) {
      for (int k = 0; k < n; ++k) r[k] -= static_cast<float>(alpha) * q[k];
    } else {
      ReferenceMatrix(m, x, r);
      for (int k = 0; k < n; ++k) r[k] = m.RightHandSide[k] - r[k];
    }
    const double old = rr;
    rr = ReferenceDot(r, r, n);
    const double beta = rr / old;
    for (int k = 0; k < n; ++k) p[k] = r[k] + static_cast<float>(beta) * p[k];
    if (rr < rr0 * tolerance2 && it > 1000) return it + 1;
    if ((it + 1) % (M + 1) == 0 && alpha / beta < 0.3 && it > 1000) return it + 1;
    if (it + 1 == n) return it + 1;
  }
}

float Range(const std::vector<float>& v) {
  const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  return *hi - *lo;
}

class SolverRun : public ::testing::Test {
 protected:
  MeshScene scene{100};
  SolverResult Solve(float tolerance2 = 4e-6f) {
    scene.SetUp();
    return SolveStreamFunction(scene.mesh, tolerance2);
  }
  float Psi(int row, int col) const { return scene.mesh.StreamFunction[scene.K(row, col)]; }
  std::vector<float> Visible() const {
    std::vector<float> v;
    for (int r = 0; r < scene.V(); ++r)
      for (int c = 0; c < scene.V(); ++c) v.push_back(Psi(r, c));
    return v;
  }
};

TEST_F(SolverRun, UniformStreamIsLinearAcrossTheRows) {
  const SolverResult result = Solve();
  EXPECT_EQ(result.outcome, SolverOutcome::Converged);
  EXPECT_EQ(result.iterations, 1002);
  const int V = scene.V();
  const float top = Psi(0, V / 2), bottom = Psi(V - 1, V / 2);
  const float range = std::fabs(bottom - top);
  ASSERT_GT(range, 0.0f);
  float worst = 0;
  for (int r = 0; r < V; ++r)
    for (int c = 0; c < V; ++c)
      worst = std::max(worst, std::fabs(Psi(r, c) - (top + (bottom - top) * r / (V - 1))));
  EXPECT_LT(worst, 0.005f * range);
}

TEST_F(SolverRun, ObstacleCentredOnTheAxisGivesMirroredFlow) {
  scene.AddRect(40, 40, 55, 59);
  Solve();
  const int V = scene.V();
  const float range = Range(Visible());
  for (int r = 0; r < V; ++r)
    for (int c = 0; c < V / 2; ++c) ASSERT_NEAR(Psi(r, c), Psi(r, V - 1 - c), 1e-4f * range) << r << "," << c;
}

TEST_F(SolverRun, CentredCircleGivesNearlyMirroredFlow) {
  scene.AddCircle(scene.mesh.MeshCentreX, scene.mesh.MeshCentreY, 12 * scene.mesh.CellWidth);
  Solve();
  const int V = scene.V();
  const float range = Range(Visible());
  for (int r = 0; r < V; ++r)
    for (int c = 0; c < V / 2; ++c) ASSERT_NEAR(Psi(r, c), Psi(r, V - 1 - c), 0.02f * range) << r << "," << c;
}

TEST_F(SolverRun, StreamFunctionIsNearlyConstantAcrossAnObstacle) {
  scene.AddRect(40, 35, 60, 65);
  Solve();
  float lo = Psi(41, 36), hi = lo;
  for (int r = 41; r <= 59; ++r)
    for (int c = 36; c <= 64; ++c) {
      lo = std::min(lo, Psi(r, c));
      hi = std::max(hi, Psi(r, c));
    }
  // Free fluid over the same rows changes by about a fifth of the range.
  EXPECT_LT(hi - lo, 0.005f * Range(Visible()));
}

TEST_F(SolverRun, FusedLoopsFollowTheReferenceMethod) {
  scene.AddCircle(scene.X(30), scene.Y(55), 9 * scene.mesh.CellWidth);
  scene.AddRect(20, 60, 35, 70);
  scene.SetUp();
  Mesh reference = scene.mesh;
  const SolverResult result = SolveStreamFunction(scene.mesh, 1e-9f);
  const int iterations = ReferenceSolve(reference, 1e-9f);
  EXPECT_EQ(result.iterations, iterations);
  const float range = Range(reference.StreamFunction);
  for (int k = 0; k < scene.M() * scene.M(); ++k)
    ASSERT_NEAR(scene.mesh.StreamFunction[k], reference.StreamFunction[k], 1e-4f * range) << k;
}

TEST_F(SolverRun, MatrixProductMatchesTheStencilAtEverySize) {
  for (int size : {100, 200, 300}) {
    MeshScene s(size);
    s.AddRect(10, 10, 30, 40);
    s.SetUp();
    const int n = s.M() * s.M();
    std::vector<float> x(n), ours(n), theirs(n);
    for (int k = 0; k < n; ++k) x[k] = static_cast<float>((k * 7919) % 1000) / 500.0f - 1.0f;
    ApplyMatrix(s.mesh, x.data(), ours.data());
    ReferenceMatrix(s.mesh, x, theirs);
    ASSERT_EQ(ours, theirs) << size;
  }
}

TEST_F(SolverRun, ConvergedStartStillRunsTheMinimumIterations) {
  Solve();
  const SolverResult again = SolveStreamFunction(scene.mesh, 4e-6f);
  EXPECT_TRUE(again.Completed());
  EXPECT_GE(again.iterations, 1002);
}

TEST_F(SolverRun, ProgressWrapsAfterAThousandIterationsAndEscapeAbandons) {
  scene.SetUp();
  std::vector<int> positions;
  SolverCallbacks callbacks;
  callbacks.progress = [&](int percent) {
    positions.push_back(percent);
    return positions.size() < 1005;
  };
  const std::vector<float> before = scene.mesh.StreamFunction;
  const SolverResult result = SolveStreamFunction(scene.mesh, 0.0f, callbacks);
  EXPECT_EQ(result.outcome, SolverOutcome::Abandoned);
  EXPECT_EQ(result.iterations, 1005);
  EXPECT_EQ(positions[8], 0);
  EXPECT_EQ(positions[9], 1);
  EXPECT_EQ(positions[999], 99);
  EXPECT_EQ(positions[1000], 0);
  EXPECT_NE(scene.mesh.StreamFunction, before);  // the partial solution stays
}

class SolverFaults : public SolverRun {};

TEST_F(SolverFaults, ZeroRightHandSideSolvesNothing) {
  scene.SetUp();
  std::fill(scene.mesh.RightHandSide.begin(), scene.mesh.RightHandSide.end(), 0.0f);
  EXPECT_EQ(SolveStreamFunction(scene.mesh, 4e-6f).outcome, SolverOutcome::NothingToSolve);
}

TEST_F(SolverFaults, ExactStartEndsAtOnceWithoutDividingByZero) {
  scene.SetUp();
  std::vector<float>& psi = scene.mesh.StreamFunction;
  for (int k = 0; k < scene.M() * scene.M(); ++k) psi[k] = std::sin(0.01f * k);
  ReferenceMatrix(scene.mesh, psi, scene.mesh.RightHandSide);
  const std::vector<float> before = psi;
  const SolverResult result = SolveStreamFunction(scene.mesh, 4e-6f);
  EXPECT_EQ(result.outcome, SolverOutcome::Exact);
  EXPECT_TRUE(result.Completed());
  EXPECT_EQ(psi, before);
}

TEST_F(SolverFaults, DirectionWithoutEnergyStopsBeforeTheUpdate) {
  scene.SetUp();
  for (std::vector<float>* a : {&scene.mesh.CoefDiag, &scene.mesh.CoefEast, &scene.mesh.CoefSouth})
    for (float& v : *a) v = -v;
  const SolverResult result = SolveStreamFunction(scene.mesh, 4e-6f);
  EXPECT_EQ(result.outcome, SolverOutcome::Exact);
  EXPECT_EQ(result.iterations, 0);
  for (float v : scene.mesh.StreamFunction) ASSERT_EQ(v, 0.0f);
}

TEST_F(SolverFaults, ValuesThatAreNotFiniteFailAndLeaveTheSolution) {
  scene.SetUp();
  scene.mesh.CoefDiag[scene.K(50, 50)] = std::nanf("");
  EXPECT_EQ(SolveStreamFunction(scene.mesh, 4e-6f).outcome, SolverOutcome::NotFinite);
  scene.SetUp();
  scene.mesh.StreamFunction[scene.K(10, 10)] = INFINITY;
  EXPECT_EQ(SolveStreamFunction(scene.mesh, 4e-6f).outcome, SolverOutcome::NotFinite);
  EXPECT_EQ(scene.mesh.StreamFunction[scene.K(10, 10)], INFINITY);  // as it was: nothing written
  // Overflow during the run: the solution is put back as it was.
  scene.SetUp();
  for (float& v : scene.mesh.RightHandSide) v *= 1e37f;
  const SolverResult result = SolveStreamFunction(scene.mesh, 4e-6f);
  EXPECT_EQ(result.outcome, SolverOutcome::NotFinite);
  for (float v : scene.mesh.StreamFunction) ASSERT_EQ(v, 0.0f);
}

TEST_F(SolverFaults, RunWithoutSetUpAtThisSizeDoesNothing) {
  scene.SetUp();
  SetMeshDimensions(scene.mesh, 200);
  AllocSolverArrays(scene.mesh);
  EXPECT_EQ(SolveStreamFunction(scene.mesh, 4e-6f).outcome, SolverOutcome::NotSetUp);
}

// A hand-made system smaller than any mesh size: its limit of M² iterations
// comes before the minimum count.
TEST(SolverLimit, EndsAtMeshSizeSquaredIterations) {
  Mesh m;
  m.MeshSize = 6;
  m.VisibleMeshSize = 4;
  AllocSolverArrays(m);
  m.SetupMeshSize = 6;
  for (int k = 0; k < 36; ++k) {
    m.CoefDiag[k] = 4.5f;
    m.CoefEast[k] = (k % 6 == 5) ? 0.0f : -1.0f;
    m.CoefSouth[k] = k < 30 ? -1.0f : 0.0f;
    m.RightHandSide[k] = static_cast<float>(k % 5) - 2.0f;
  }
  const SolverResult result = SolveStreamFunction(m, 0.0f);
  EXPECT_EQ(result.iterations, 36);
  EXPECT_TRUE(result.outcome == SolverOutcome::IterationLimit || result.outcome == SolverOutcome::Exact);
}

TEST(SolverCommand, EscapeAbandonsTheRunAndGivesTheCommandsBack) {
  MeshScene scene;
  scene.SetUp();
  UiState ui;
  CommandState commands;
  commands.EscapePressed = 1;  // left over from the last run
  std::string during;
  SolverCallbacks callbacks;
  int calls = 0;
  callbacks.progress = [&](int) {
    during = ui.status[3] + "|" + ui.status[4];
    if (++calls == 20) commands.EscapePressed = 1;
    return true;
  };
  const SolverResult result = RunSolver(scene.mesh, SolverSettings{}, ui, commands, callbacks);
  EXPECT_EQ(result.outcome, SolverOutcome::Abandoned);
  EXPECT_EQ(result.iterations, 20);
  EXPECT_EQ(during, " Calculating|Press Escape key to exit");
  EXPECT_TRUE(ui[Cmd::MnuAnalyse].enabled);
  EXPECT_TRUE(ui[Cmd::MnuAnalyseRun].enabled);
  EXPECT_EQ(ui.status[3], "");
  EXPECT_EQ(ui.cursor, CursorShape::Default);
}

TEST(ErrorLevelPanel, AcceptsLevelsUpToTenPercent) {
  SolverSettings settings;
  Mesh mesh;
  UiState ui;
  OpenErrorLevelPanel(settings, "0.2", ui);
  EXPECT_FALSE(ui[Cmd::MnuAnalyse].enabled);
  for (const char* bad : {"0", "-1", "10.01", "abc", "", "nan"}) {
    EXPECT_FALSE(SetErrorLevel(settings, bad, mesh, ui)) << bad;
    EXPECT_FALSE(ui[Cmd::MnuAnalyse].enabled);
  }
  EXPECT_TRUE(SetErrorLevel(settings, "0.5", mesh, ui));
  EXPECT_FLOAT_EQ(settings.ErrorTolerance2, 0.000025f);
  EXPECT_TRUE(ui[Cmd::MnuAnalyse].enabled);
  EXPECT_TRUE(SetErrorLevel(settings, " 10 ", mesh, ui));
  OpenErrorLevelPanel(settings, "1.5", ui);
  SetErrorLevel(settings, "7x", mesh, ui);
  CancelErrorLevel(settings, mesh, ui);
  EXPECT_EQ(settings.CGErrVal, "1.5");
  EXPECT_FLOAT_EQ(settings.ErrorTolerance2, 0.01f);
}

TEST(SmoothingOptions, ChecksOneItemAtATime) {
  UiState ui;
  std::int32_t level = 1;
  EXPECT_FALSE(ChooseSmoothing(level, 1, ui));
  EXPECT_TRUE(ChooseSmoothing(level, 2, ui));
  EXPECT_EQ(level, 2);
  EXPECT_TRUE(ui[Cmd::MnuSmoothHigh].checked);
  EXPECT_FALSE(ui[Cmd::MnuSmoothNormal].checked);
  EXPECT_FALSE(ui[Cmd::MnuSmoothNone].checked);
  EXPECT_FLOAT_EQ(SmoothingWeight(level), 0.25f);
}

}  // namespace
