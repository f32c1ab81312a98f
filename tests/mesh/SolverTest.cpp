#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "TestServices.h"
#include "core/MeshScene.h"
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

int ReferenceSolve(Mesh& m, float tolerance2) {
  const int M = m.MeshSize, n = M * M;
  const double bb = std::inner_product(m.RightHandSide.begin(), m.RightHandSide.begin() + n, m.RightHandSide.begin(),
                                       0.0, std::plus<>(), [](float u, float v) { return static_cast<double>(u) * v; });
  std::vector<float> r(n), p(n), q(n);
  std::vector<float>& x = m.StreamFunction;
  const auto dot = [](const std::vector<float>& a, const std::vector<float>& b) {
    return std::inner_product(a.begin(), a.end(), b.begin(), 0.0, std::plus<>(),
                              [](float u, float v) { return static_cast<double>(u) * v; });
  };
  ReferenceMatrix(m, x, r);
  for (int k = 0; k < n; ++k) r[k] = m.RightHandSide[k] - r[k];
  p = r;
  double rr = dot(r, r);
  const double rr0 = rr;
  for (int it = 0;; ++it) {
    ReferenceMatrix(m, p, q);
    const double alpha = rr / dot(p, q);
    for (int k = 0; k < n; ++k) x[k] += static_cast<float>(alpha) * p[k];
    if ((it + 1) % (M + 1) != 0) {
      for (int k = 0; k < n; ++k) r[k] -= static_cast<float>(alpha) * q[k];
    } else {
      ReferenceMatrix(m, x, r);
      for (int k = 0; k < n; ++k) r[k] = m.RightHandSide[k] - r[k];
    }
    const double old = rr;
    rr = dot(r, r);
    const double beta = rr / old;
    for (int k = 0; k < n; ++k) p[k] = r[k] + static_cast<float>(beta) * p[k];
    if (rr < rr0 * tolerance2 && it > 1000) return it + 1;
    if ((it + 1) % (M + 1) == 0 && alpha / beta < 0.3 && it > 1000 && rr < 0.0025 * bb) return it + 1;
    if (it + 1 == n) return it + 1;
  }
}

// |b − Aψ| / |b| for the solution the mesh holds.
double ResidualRatio(const Mesh& m) {
  const int n = m.MeshSize * m.MeshSize;
  std::vector<float> ax(m.StreamFunction.size());
  ReferenceMatrix(m, m.StreamFunction, ax);
  double rr = 0, bb = 0;
  for (int k = 0; k < n; ++k) {
    const double b = m.RightHandSide[k];
    rr += (b - ax[k]) * (b - ax[k]);
    bb += b * b;
  }
  return std::sqrt(rr / bb);
}

constexpr double Unbounded = INFINITY;

float Range(const std::vector<float>& v) {
  const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
  return *hi - *lo;
}

// A block right of the centre on which α / β falls below 0.3 at the first
// refresh that may end the run, with more residual left than b itself.
void AddStallScene(MeshScene& s) { s.AddRect(41, 80, 49, 96); }

class SolverRun : public ::testing::Test {
 protected:
  MeshScene scene{100};
  SolverResult Solve() {
    scene.SetUp();
    return SolveStreamFunction(scene.mesh, 4e-6f);
  }
  float Psi(int row, int col) const { return scene.mesh.StreamFunction[scene.K(row, col)]; }
  float VisibleRange() const {
    std::vector<float> v;
    for (int r = 0; r < scene.V(); ++r)
      for (int c = 0; c < scene.V(); ++c) v.push_back(Psi(r, c));
    return Range(v);
  }
};

// Converged after the minimum count of iterations.
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

// An obstacle centred on the axis: the flow is mirrored left to right, and ψ
// hardly changes across the obstacle, where free fluid over the same rows
// changes by about a fifth of the range.
TEST_F(SolverRun, CentredObstacleGivesMirroredFlowAndNearlyConstantPsiInside) {
  scene.AddRect(40, 35, 60, 64);
  Solve();
  const int V = scene.V();
  const float range = VisibleRange();
  for (int r = 0; r < V; ++r)
    for (int c = 0; c < V / 2; ++c) ASSERT_NEAR(Psi(r, c), Psi(r, V - 1 - c), 1e-4f * range) << r << "," << c;
  float lo = Psi(41, 36), hi = lo;
  for (int r = 41; r <= 59; ++r)
    for (int c = 36; c <= 63; ++c) {
      lo = std::min(lo, Psi(r, c));
      hi = std::max(hi, Psi(r, c));
    }
  EXPECT_LT(hi - lo, 0.005f * range);
}

// Two drawings, the second one where the stall test fires early with a large
// residual: both paths end at the same iteration with the same field.
TEST_F(SolverRun, FusedLoopsFollowTheReferenceMethod) {
  MeshScene stall;
  AddStallScene(stall);
  scene.AddCircle(scene.X(30), scene.Y(55), 9 * scene.mesh.CellWidth);
  scene.AddRect(20, 60, 35, 70);
  for (auto [s, tolerance2] : {std::pair{&scene, 1e-9f}, std::pair{&stall, 4e-6f}}) {
    s->SetUp();
    Mesh reference = s->mesh;
    const SolverResult result = SolveStreamFunction(s->mesh, tolerance2);
    EXPECT_EQ(result.iterations, ReferenceSolve(reference, tolerance2));
    const float range = Range(reference.StreamFunction);
    for (int k = 0; k < s->M() * s->M(); ++k)
      ASSERT_NEAR(s->mesh.StreamFunction[k], reference.StreamFunction[k], 1e-4f * range) << k;
  }
}

// The stall test ends a run only with the residual small against b; a run from
// the solution it leaves still stops at its first chance, as it always did.
TEST_F(SolverRun, StallEndsTheRunOnlyWithASmallResidual) {
  AddStallScene(scene);
  scene.SetUp();
  Mesh unbounded = scene.mesh;
  const SolverResult early = SolveStreamFunction(unbounded, 4e-6f, {}, Unbounded);
  EXPECT_EQ(early.outcome, SolverOutcome::Stalled);
  EXPECT_EQ(early.iterations, 1089);
  EXPECT_GT(ResidualRatio(unbounded), 0.5);

  const SolverResult result = SolveStreamFunction(scene.mesh, 4e-6f);
  EXPECT_TRUE(result.outcome == SolverOutcome::Converged || result.outcome == SolverOutcome::Stalled);
  EXPECT_GT(result.iterations, 1089);
  EXPECT_LT(ResidualRatio(scene.mesh), 0.05);

  MeshSetupOptions keep;
  keep.densityRedraw = true;
  scene.SetUp(keep);
  Mesh kept = scene.mesh;
  const SolverResult again = SolveStreamFunction(scene.mesh, 4e-6f);
  EXPECT_EQ(again.outcome, SolverOutcome::Stalled);
  EXPECT_EQ(again.iterations, 1089);
  EXPECT_EQ(SolveStreamFunction(kept, 4e-6f, {}, Unbounded).iterations, 1089);
  EXPECT_EQ(kept.StreamFunction, scene.mesh.StreamFunction);
}

class SolverFaults : public SolverRun {};

// Nothing to solve, or a start that is already exact: no division by a zero residual.
TEST_F(SolverFaults, ZeroResidualEndsAtOnce) {
  scene.SetUp();
  std::fill(scene.mesh.RightHandSide.begin(), scene.mesh.RightHandSide.end(), 0.0f);
  EXPECT_EQ(SolveStreamFunction(scene.mesh, 4e-6f).outcome, SolverOutcome::NothingToSolve);
  std::vector<float>& psi = scene.mesh.StreamFunction;
  for (int k = 0; k < scene.M() * scene.M(); ++k) psi[k] = std::sin(0.01f * k);
  ReferenceMatrix(scene.mesh, psi, scene.mesh.RightHandSide);
  const std::vector<float> before = psi;
  const SolverResult result = SolveStreamFunction(scene.mesh, 4e-6f);
  EXPECT_EQ(result.outcome, SolverOutcome::Exact);
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
  EXPECT_EQ(SolveStreamFunction(scene.mesh, 4e-6f).outcome, SolverOutcome::NotFinite);
  for (float v : scene.mesh.StreamFunction) ASSERT_EQ(v, 0.0f);
}

TEST_F(SolverFaults, RunWithoutSetUpAtThisSizeDoesNothing) {
  scene.SetUp();
  SetMeshDimensions(scene.mesh, 200);
  AllocSolverArrays(scene.mesh);
  EXPECT_EQ(SolveStreamFunction(scene.mesh, 4e-6f).outcome, SolverOutcome::NotSetUp);
}

// Escape left over from the last run is cleared; one pressed during the run
// abandons it, keeps the partial solution and gives the commands back. The
// progress bar wraps after a thousand iterations.
TEST(SolverCommand, EscapeAbandonsTheRunAndGivesTheCommandsBack) {
  MeshScene scene;
  scene.SetUp();
  UiState ui;
  CommandState commands;
  commands.EscapePressed = 1;
  std::vector<int> positions;
  SolverCallbacks callbacks;
  callbacks.progress = [&](int percent) {
    positions.push_back(percent);
    if (positions.size() == 1001) commands.EscapePressed = 1;
    return true;
  };
  TestServices services;
  const SolverResult result = RunSolver(scene.mesh, SolverSettings{}, ui, commands, services, callbacks);
  EXPECT_EQ(result.outcome, SolverOutcome::Abandoned);
  EXPECT_EQ(result.iterations, 1001);
  EXPECT_EQ(positions[999], 99);
  EXPECT_EQ(positions[1000], 0);
  EXPECT_NE(Range(scene.mesh.StreamFunction), 0.0f);  // the partial solution stays
  EXPECT_TRUE(ui[Cmd::MnuAnalyseRun].enabled);
}

// The passes written for each instruction set give the very same run: the
// same iterations, the same residual and the same ψ, bit for bit, at the 100
// mesh (rows a whole number of eight cells long) and at the 200 mesh (rows
// with cells left over, added to the first lane after the others), from a
// start that leaves a residual in every cell, the border's included. The
// AVX-512 passes run on the mesh's own layout and on rows aligned to cache
// lines; a run abandoned part way (a step still to be added to ψ) leaves the
// same partial ψ in every case.
TEST(SolverPasses, EveryInstructionSetGivesTheSameRun) {
  struct Passes {
    SolverPasses widest;
    bool aligned;
  };
  struct Limit {
    SolverPasses before;
    bool alignedBefore;
    explicit Limit(Passes passes)
        : before(LimitSolverPasses(passes.widest)), alignedBefore(AlignSolverRows(passes.aligned)) {}
    ~Limit() {
      LimitSolverPasses(before);
      AlignSolverRows(alignedBefore);
    }
  };
  auto sameBits = [](const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
  };
  for (int visible : {100, 200}) {
    MeshScene scene(visible);
    const int V = scene.V();
    scene.AddCircle(scene.X(0.3f * V), scene.Y(0.55f * V), 0.09f * V * scene.mesh.CellWidth);
    scene.AddRect(0.2f * V, 0.6f * V, 0.35f * V, 0.7f * V);
    scene.SetUp();
    for (int k = 0; k < scene.M() * scene.M(); ++k) scene.mesh.StreamFunction[k] = std::sin(0.01f * k);
    // The cells past the system's are no part of it and stay as they were.
    for (std::size_t k = scene.M() * scene.M(); k < scene.mesh.StreamFunction.size(); ++k)
      scene.mesh.StreamFunction[k] = 7.0f;
    std::vector<SolverResult> results, partial;
    std::vector<std::vector<float>> fields, partialFields;
    for (Passes passes : {Passes{SolverPasses::Portable, false}, Passes{SolverPasses::Avx2, false},
                          Passes{SolverPasses::Avx512, false}, Passes{SolverPasses::Avx512, true}}) {
      const Limit limit(passes);
      Mesh mesh = scene.mesh;
      results.push_back(SolveStreamFunction(mesh, 4e-6f));
      fields.push_back(mesh.StreamFunction);
      mesh = scene.mesh;
      int calls = 0;
      SolverCallbacks callbacks;
      callbacks.progress = [&](int) { return ++calls < 57; };
      partial.push_back(SolveStreamFunction(mesh, 4e-6f, callbacks));
      partialFields.push_back(mesh.StreamFunction);
    }
    ASSERT_GT(results[0].iterations, 1000) << visible;
    ASSERT_EQ(partial[0].outcome, SolverOutcome::Abandoned);
    EXPECT_EQ(fields[0].back(), 7.0f);
    EXPECT_EQ(partialFields[0].back(), 7.0f);
    EXPECT_FALSE(sameBits(partialFields[0], scene.mesh.StreamFunction));
    for (std::size_t i = 1; i < results.size(); ++i) {
      EXPECT_EQ(results[i].outcome, results[0].outcome) << visible << " " << i;
      EXPECT_EQ(results[i].iterations, results[0].iterations) << visible << " " << i;
      EXPECT_EQ(results[i].residual2, results[0].residual2) << visible << " " << i;
      EXPECT_TRUE(sameBits(fields[i], fields[0])) << visible << " " << i;
      EXPECT_EQ(partial[i].iterations, partial[0].iterations) << visible << " " << i;
      EXPECT_EQ(partial[i].residual2, partial[0].residual2) << visible << " " << i;
      EXPECT_TRUE(sameBits(partialFields[i], partialFields[0])) << visible << " " << i;
    }
  }
}

// The coupling across a row's end (cell k to cell k + 1 of the system, the
// last cell of a row to the first of the next), which the set-up's border
// leaves at zero, is kept when the rows are aligned: on a system whose every
// coefficient is in use, at sizes with rows a whole number of eight cells long
// or not, filling the aligned row or not, and below the size the aligned
// layout needs, the passes give the same ψ, bit for bit, after runs abandoned
// before and after the residual is first recomputed.
TEST(SolverPasses, AlignedRowsKeepTheCouplingAcrossRowEnds) {
  for (int M : {15, 16, 40, 45, 47}) {
    Mesh system;
    system.MeshSize = M;
    system.SetupMeshSize = M;
    const std::size_t length = static_cast<std::size_t>(system.ArrayLength());
    std::mt19937 random(static_cast<unsigned>(M));
    std::uniform_real_distribution<float> spread(0.0f, 1.0f);
    for (std::vector<float>* a : {&system.CoefDiag, &system.CoefEast, &system.CoefSouth, &system.RightHandSide,
                                  &system.StreamFunction})
      a->assign(length, 0.0f);
    for (int k = 0; k < M * M; ++k) {
      system.CoefEast[k] = -0.5f - spread(random);
      system.CoefSouth[k] = -0.5f - spread(random);
      system.CoefDiag[k] = 6.5f + spread(random);
      system.RightHandSide[k] = spread(random) - 0.5f;
      system.StreamFunction[k] = spread(random);
    }
    for (int stop : {M / 2, 3 * M + 7}) {
      std::vector<std::vector<float>> fields;
      std::vector<double> residuals;
      for (bool aligned : {false, true}) {
        for (SolverPasses widest : {SolverPasses::Portable, SolverPasses::Avx512}) {
          const SolverPasses passesBefore = LimitSolverPasses(widest);
          const bool alignedBefore = AlignSolverRows(aligned);
          Mesh mesh = system;
          int calls = 0;
          SolverCallbacks callbacks;
          callbacks.progress = [&](int) { return ++calls < stop; };
          const SolverResult result = SolveStreamFunction(mesh, 0.0f, callbacks);
          LimitSolverPasses(passesBefore);
          AlignSolverRows(alignedBefore);
          EXPECT_EQ(result.outcome, SolverOutcome::Abandoned) << M;
          fields.push_back(mesh.StreamFunction);
          residuals.push_back(result.residual2);
        }
      }
      EXPECT_NE(fields[0], system.StreamFunction) << M;
      for (std::size_t i = 1; i < fields.size(); ++i) {
        EXPECT_EQ(residuals[i], residuals[0]) << M << " " << stop << " " << i;
        EXPECT_EQ(std::memcmp(fields[i].data(), fields[0].data(), length * sizeof(float)), 0)
            << M << " " << stop << " " << i;
      }
    }
  }
}

TEST(ErrorLevelPanel, AcceptsLevelsUpToTenPercent) {
  SolverSettings settings;
  Mesh mesh;
  UiState ui;
  TestServices services;
  OpenErrorLevelPanel(settings, "0.2", ui, services);
  EXPECT_FALSE(SetErrorLevel(settings, "10.01", mesh, ui));
  EXPECT_FALSE(SetErrorLevel(settings, "nan", mesh, ui));
  EXPECT_TRUE(SetErrorLevel(settings, " 10 ", mesh, ui));
  EXPECT_FLOAT_EQ(settings.ErrorTolerance2, 0.01f);
}

}  // namespace
