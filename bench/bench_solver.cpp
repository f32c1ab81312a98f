// The conjugate-gradient solver against Eigen's float ConjugateGradient on the
// same matrix, at the three mesh sizes: one iteration, a 1002-iteration solve,
// and both solves timed side by side with their ratio.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "mesh/Solver.h"
#include "tests/core/MeshScene.h"

#ifdef QUORVANE_HAVE_EIGEN
#include <Eigen/IterativeLinearSolvers>
#include <Eigen/Sparse>
#endif

namespace {

constexpr int SolveIterations = 1002;

int VisibleFor(int meshSize) { return meshSize == 120 ? 100 : meshSize == 238 ? 200 : 300; }

// A drawing with a circle and a rectangle, set up at mesh size M.
MeshScene& Scene(int meshSize) {
  static MeshScene* scenes[3] = {};
  const int slot = meshSize == 120 ? 0 : meshSize == 238 ? 1 : 2;
  if (!scenes[slot]) {
    MeshScene* s = new MeshScene(VisibleFor(meshSize));
    const int V = s->V();
    s->AddCircle(s->mesh.MeshCentreX, s->mesh.MeshCentreY, 0.12f * V * s->mesh.CellWidth);
    s->AddRect(0.2f * V, 0.15f * V, 0.35f * V, 0.3f * V);
    s->SetUp();
    scenes[slot] = s;
  }
  return *scenes[slot];
}

// Our run held to exactly `iterations` iterations (no tolerance, stopped by the
// progress call).
SolverResult OurSolve(Mesh& mesh, int iterations) {
  std::fill(mesh.StreamFunction.begin(), mesh.StreamFunction.end(), 0.0f);
  int calls = 0;
  SolverCallbacks callbacks;
  callbacks.progress = [&](int) { return ++calls < iterations; };
  return SolveStreamFunction(mesh, 0.0f, callbacks);
}

void BM_OurIteration(benchmark::State& state) {
  Mesh& mesh = Scene(static_cast<int>(state.range(0))).mesh;
  constexpr int Iterations = 100;
  for (auto _ : state) benchmark::DoNotOptimize(OurSolve(mesh, Iterations).iterations);
  state.SetItemsProcessed(state.iterations() * Iterations);
}

void BM_OurSolve(benchmark::State& state) {
  Mesh& mesh = Scene(static_cast<int>(state.range(0))).mesh;
  int done = 0;
  for (auto _ : state) done = OurSolve(mesh, SolveIterations).iterations;
  state.counters["iterations"] = done;
}

#ifdef QUORVANE_HAVE_EIGEN
using SparseF = Eigen::SparseMatrix<float, Eigen::RowMajor>;

// The set-up's 5-point matrix as an Eigen sparse matrix, both triangles stored.
SparseF ToEigen(const Mesh& m) {
  const int M = m.MeshSize, n = M * M;
  std::vector<Eigen::Triplet<float>> t;
  t.reserve(5 * static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    t.emplace_back(k, k, m.CoefDiag[k]);
    if (k + 1 < n && m.CoefEast[k] != 0.0f) {
      t.emplace_back(k, k + 1, m.CoefEast[k]);
      t.emplace_back(k + 1, k, m.CoefEast[k]);
    }
    if (k + M < n) {
      t.emplace_back(k, k + M, m.CoefSouth[k]);
      t.emplace_back(k + M, k, m.CoefSouth[k]);
    }
  }
  SparseF a(n, n);
  a.setFromTriplets(t.begin(), t.end());
  return a;
}

struct EigenSystem {
  SparseF a;
  Eigen::VectorXf b;
  Eigen::ConjugateGradient<SparseF, Eigen::Lower | Eigen::Upper> cg;
};

EigenSystem& EigenFor(int meshSize) {
  static EigenSystem* systems[3] = {};
  const int slot = meshSize == 120 ? 0 : meshSize == 238 ? 1 : 2;
  if (!systems[slot]) {
    const Mesh& m = Scene(meshSize).mesh;
    EigenSystem* s = new EigenSystem;
    s->a = ToEigen(m);
    s->b = Eigen::Map<const Eigen::VectorXf>(m.RightHandSide.data(), m.MeshSize * m.MeshSize);
    s->cg.setMaxIterations(SolveIterations);
    s->cg.setTolerance(0.0f);
    s->cg.compute(s->a);
    systems[slot] = s;
  }
  return *systems[slot];
}

int EigenSolve(EigenSystem& s) {
  Eigen::VectorXf x = Eigen::VectorXf::Zero(s.b.size());
  x = s.cg.solveWithGuess(s.b, x);
  benchmark::DoNotOptimize(x.data());
  return static_cast<int>(s.cg.iterations());
}

void BM_EigenSolve(benchmark::State& state) {
  EigenSystem& s = EigenFor(static_cast<int>(state.range(0)));
  int done = 0;
  for (auto _ : state) done = EigenSolve(s);
  state.counters["iterations"] = done;
}

// Both solves in one loop, so the ratio is taken under the same load.
void BM_SolveRatio(benchmark::State& state) {
  const int meshSize = static_cast<int>(state.range(0));
  Mesh& mesh = Scene(meshSize).mesh;
  EigenSystem& s = EigenFor(meshSize);
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    OurSolve(mesh, SolveIterations);
    const auto t1 = std::chrono::steady_clock::now();
    EigenSolve(s);
    const auto t2 = std::chrono::steady_clock::now();
    ours += std::chrono::duration<double, std::milli>(t1 - t0).count();
    theirs += std::chrono::duration<double, std::milli>(t2 - t1).count();
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = ours / runs;
  state.counters["eigen_ms"] = theirs / runs;
  state.counters["eigen_over_ours"] = theirs / ours;
}
#endif

}  // namespace

BENCHMARK(BM_OurIteration)->Arg(120)->Arg(238)->Arg(358)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OurSolve)->Arg(120)->Arg(238)->Arg(358)->Unit(benchmark::kMillisecond);
#ifdef QUORVANE_HAVE_EIGEN
BENCHMARK(BM_EigenSolve)->Arg(120)->Arg(238)->Arg(358)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SolveRatio)->Arg(120)->Arg(238)->Arg(358)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK_MAIN();
