// The fast solver: the multigrid V-cycle as a preconditioner, the answers it
// gives against the converged solution and the standard run's, its progress and
// Escape, its faults; and the standard run unchanged while it is not chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "TestServices.h"
#include "core/ConvergedSolution.h"
#include "core/MeshScene.h"
#include "mesh/Multigrid.h"
#include "mesh/Solver.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"

namespace {

void CircleAndBlock(MeshScene& s) {
  s.AddCircle(s.X(0.3f * s.V()), s.Y(0.55f * s.V()), 0.09f * s.V() * s.mesh.CellWidth);
  s.AddRect(0.2f * s.V(), 0.6f * s.V(), 0.35f * s.V(), 0.7f * s.V());
}

double DotD(const std::vector<float>& a, const std::vector<float>& b) {
  double s = 0;
  for (std::size_t k = 0; k < a.size(); ++k) s += static_cast<double>(a[k]) * b[k];
  return s;
}

// Conjugate gradients need a symmetric, positive preconditioner: (u, Bv) =
// (Bu, v) and (v, Bv) > 0, on meshes of even and odd side.
TEST(MultigridCycle, IsSymmetricAndPositive) {
  for (int visible : {100, 200}) {
    MeshScene s(visible);
    CircleAndBlock(s);
    s.SetUp();
    Multigrid mg(s.mesh);
    EXPECT_GT(mg.Levels(), 3);
    EXPECT_LE(mg.CoarsestSide(), 8);
    const int n = s.M() * s.M();
    std::vector<float> u(n), v(n), bu(n), bv(n);
    for (int k = 0; k < n; ++k) {
      u[k] = std::sin(0.37f * k) + (k % 7 == 0 ? 1.0f : 0.0f);
      v[k] = std::cos(0.011f * k) * ((k / s.M()) % 3 == 0 ? 2.0f : -1.0f);
    }
    mg.Precondition(u.data(), bu.data());
    mg.Precondition(v.data(), bv.data());
    const double uBv = DotD(u, bv), vBu = DotD(v, bu);
    EXPECT_NEAR(uBv, vBu, 1e-5 * std::sqrt(DotD(u, bu) * DotD(v, bv))) << visible;
    EXPECT_GT(DotD(u, bu), 0) << visible;
    EXPECT_GT(DotD(v, bv), 0) << visible;
  }
}

// The stop level holds the answer at least as close to the converged solution
// as the standard run's (validate_solver checks many drawings at every mesh
// size; here one at the 100 mesh, quick under the sanitizers). A second run
// from the answer it left (as after Open) measures the residual afresh, which
// single precision leaves a little above the one carried to the stop: a few
// iterations, and the answer stays as close.
TEST(FastSolver, AnswerIsAtLeastAsCloseAsTheStandardRun) {
  MeshScene s;
  CircleAndBlock(s);
  s.SetUp();
  const Converged exact = SolveConverged(s.mesh);
  ASSERT_LT(exact.ratio, ConvergedLevel);
  Mesh standard = s.mesh;
  const SolverResult fast = SolveStreamFunctionFast(s.mesh);
  SolveStreamFunction(standard, DefaultErrorTolerance2);
  EXPECT_EQ(fast.outcome, SolverOutcome::Converged);
  EXPECT_LT(fast.iterations, 60);
  EXPECT_LT(fast.residual2, FastRelativeResidual * FastRelativeResidual * fast.startResidual2);
  const double df = Distance(s.mesh, s.mesh.StreamFunction.data(), exact.x);
  const double ds = Distance(s.mesh, standard.StreamFunction.data(), exact.x);
  EXPECT_LE(df, ds);

  const SolverResult again = SolveStreamFunctionFast(s.mesh);
  EXPECT_EQ(again.outcome, SolverOutcome::Converged);
  EXPECT_LE(again.iterations, 6);
  EXPECT_LE(Distance(s.mesh, s.mesh.StreamFunction.data(), exact.x), ds);
}

// Ground truth: with no obstacle the stream is uniform, ψ linear down the rows;
// a centred obstacle mirrors the flow left to right.
TEST(FastSolver, GivesTheUniformStreamAndTheMirroredFlow) {
  MeshScene empty;
  empty.SetUp();
  ASSERT_EQ(SolveStreamFunctionFast(empty.mesh).outcome, SolverOutcome::Converged);
  const int V = empty.V();
  auto psi = [](const MeshScene& s, int r, int c) { return s.mesh.StreamFunction[s.K(r, c)]; };
  const float top = psi(empty, 0, V / 2), bottom = psi(empty, V - 1, V / 2);
  for (int r = 0; r < V; ++r)
    for (int c = 0; c < V; ++c)
      ASSERT_NEAR(psi(empty, r, c), top + (bottom - top) * r / (V - 1), 0.005f * std::fabs(bottom - top));

  MeshScene centred;
  centred.AddRect(40, 35, 60, 64);
  centred.SetUp();
  SolveStreamFunctionFast(centred.mesh);
  const auto [lo, hi] = std::minmax_element(centred.mesh.StreamFunction.begin(), centred.mesh.StreamFunction.end());
  for (int r = 0; r < V; ++r)
    for (int c = 0; c < V / 2; ++c)
      ASSERT_NEAR(psi(centred, r, c), psi(centred, r, V - 1 - c), 1e-4f * (*hi - *lo)) << r << "," << c;
}

// Another right-hand side on the set-up's matrix (as the lift's extra solves
// need): the solution of A x = A x₀ comes back as x₀, as close as a Run's.
TEST(FastSolver, SolvesAnotherRightHandSide) {
  MeshScene s;
  CircleAndBlock(s);
  s.SetUp();
  const int n = s.M() * s.M();
  std::vector<float> known(s.mesh.ArrayLength(), 0.0f), rhs(s.mesh.ArrayLength(), 0.0f), x(n, 0.0f);
  for (int k = 0; k < n; ++k) known[k] = 100.0f * std::sin(0.05f * (k % s.M())) * std::cos(0.03f * (k / s.M()));
  ApplyMatrix(s.mesh, known.data(), rhs.data());
  const SolverResult result = SolveSystemFast(s.mesh, rhs.data(), x.data());
  EXPECT_EQ(result.outcome, SolverOutcome::Converged);
  float worst = 0;
  for (int k = 0; k < n; ++k) worst = std::max(worst, std::fabs(x[k] - known[k]));
  EXPECT_LT(worst, 1e-3f * 200.0f);  // of the range of x₀
}

// Chosen in the settings, the fast solver runs under Analyse > Run: progress
// between 0 and 99 rising to the stop level, and Escape abandons it with the
// partial solution kept and the commands given back.
TEST(FastSolver, ShowsProgressAndStopsOnEscape) {
  MeshScene s(200);
  CircleAndBlock(s);
  s.SetUp();
  SolverSettings settings;
  settings.Kind = SolverKind::Fast;
  UiState ui;
  CommandState commands;
  TestServices services;
  std::vector<int> positions;
  SolverCallbacks callbacks;
  callbacks.progress = [&](int percent) {
    positions.push_back(percent);
    return true;
  };
  Mesh whole = s.mesh;
  const SolverResult done = RunSolver(whole, settings, ui, commands, services, callbacks);
  EXPECT_EQ(done.outcome, SolverOutcome::Converged);
  ASSERT_EQ(static_cast<int>(positions.size()), done.iterations - 1);
  for (int p : positions) ASSERT_TRUE(p >= 0 && p <= 99) << p;
  EXPECT_GT(positions.back(), positions.front());

  callbacks.progress = [&](int) {
    commands.EscapePressed = 1;
    return true;
  };
  const SolverResult stopped = RunSolver(s.mesh, settings, ui, commands, services, callbacks);
  EXPECT_EQ(stopped.outcome, SolverOutcome::Abandoned);
  EXPECT_EQ(stopped.iterations, 1);
  EXPECT_NE(s.mesh.StreamFunction, whole.StreamFunction);
  EXPECT_TRUE(std::any_of(s.mesh.StreamFunction.begin(), s.mesh.StreamFunction.end(), [](float v) { return v != 0; }));
  EXPECT_TRUE(ui[Cmd::MnuAnalyseRun].enabled);
}

TEST(FastSolver, FaultsEndTheRunAndLeaveTheSolution) {
  MeshScene s;
  s.SetUp();
  std::fill(s.mesh.RightHandSide.begin(), s.mesh.RightHandSide.end(), 0.0f);
  EXPECT_EQ(SolveStreamFunctionFast(s.mesh).outcome, SolverOutcome::NothingToSolve);
  s.SetUp();
  s.mesh.CoefSouth[s.K(40, 40)] = std::nanf("");
  EXPECT_EQ(SolveStreamFunctionFast(s.mesh).outcome, SolverOutcome::NotFinite);
  s.SetUp();
  for (float& v : s.mesh.RightHandSide) v *= 1e37f;
  EXPECT_EQ(SolveStreamFunctionFast(s.mesh).outcome, SolverOutcome::NotFinite);
  EXPECT_TRUE(std::all_of(s.mesh.StreamFunction.begin(), s.mesh.StreamFunction.end(), [](float v) { return v == 0; }));
  s.SetUp();
  SetMeshDimensions(s.mesh, 200);
  AllocSolverArrays(s.mesh);
  EXPECT_EQ(SolveStreamFunctionFast(s.mesh).outcome, SolverOutcome::NotSetUp);
}

// With the standard solver chosen (the default), Analyse > Run gives the
// standard run's iterations and stream function bit for bit.
TEST(SolverChoice, StandardIsTheDefaultAndUnchanged) {
  EXPECT_EQ(SolverSettings{}.Kind, SolverKind::Standard);
  MeshScene s;
  s.AddCircle(s.X(50), s.Y(50), 6 * s.mesh.CellWidth);
  s.SetUp();
  Mesh direct = s.mesh;
  UiState ui;
  CommandState commands;
  TestServices services;
  const SolverResult viaRun = RunSolver(s.mesh, SolverSettings{}, ui, commands, services);
  const SolverResult plain = SolveStreamFunction(direct, DefaultErrorTolerance2);
  EXPECT_EQ(viaRun.iterations, plain.iterations);
  EXPECT_EQ(viaRun.outcome, plain.outcome);
  EXPECT_EQ(std::memcmp(s.mesh.StreamFunction.data(), direct.StreamFunction.data(),
                        direct.StreamFunction.size() * sizeof(float)),
            0);
}

}  // namespace
