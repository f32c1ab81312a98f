// The solvers measured like with like, every comparison timed in one run with
// the contenders alternating round by round, in the thread's processor time,
// and reported as ratios of medians:
//   BM_Iteration        one standard iteration against Eigen's float
//                       ConjugateGradient with the identity preconditioner (the
//                       same method), and against the memory floor: 52 bytes per
//                       cell over the bandwidth of a float triad a = b + s c
//                       (16 bytes an element with the write-allocate) over arrays
//                       as large as the iteration's working set; also the same
//                       iteration in the plain passes (portable_over_floor),
//                       without the ones written out for AVX2 and AVX-512,
//                       and with the AVX-512 passes on the mesh's own layout
//                       instead of rows aligned to cache lines
//                       (unaligned_over_floor).
//   BM_ToStopLevel      the standard run to its stop rule (0.2 % of the first
//                       residual, never before 1002 iterations) against Eigen's
//                       default ConjugateGradient (diagonal preconditioner) to
//                       the same relative residual.
//   BM_MatchedAccuracy  the fast solver against the standard run, and against
//                       Eigen's ConjugateGradient with the identity, diagonal and
//                       incomplete-Cholesky preconditioners and SimplicialLDLT,
//                       each held to an answer at least as close to the converged
//                       solution as the fast one's (set-up of the preconditioner
//                       or factorisation included, as the fast solver's
//                       hierarchy is).
//   BM_Run              the whole Run at the 300 mesh (set-up, solve, flow
//                       lines) with the fast solver against the standard.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <vector>

#include "tests/core/ConvergedSolution.h"
#include "display/FlowDisplay.h"
#include "display/Streamlines.h"
#include "mesh/Solver.h"
#include "mesh/WidePass.h"
#include "platform/Canvas.h"
#include "platform/UiState.h"
#include "tests/TestServices.h"
#include "tests/core/MeshScene.h"

#ifdef QUORVANE_HAVE_EIGEN
#include <Eigen/IterativeLinearSolvers>
#include <Eigen/SparseCholesky>
#include <Eigen/Sparse>
#endif

namespace {

int VisibleFor(int meshSize) { return meshSize == 120 ? 100 : meshSize == 238 ? 200 : 300; }
int Slot(int meshSize) { return meshSize == 120 ? 0 : meshSize == 238 ? 1 : 2; }

void Draw(MeshScene& s) {
  const int V = s.V();
  s.AddCircle(s.mesh.MeshCentreX, s.mesh.MeshCentreY, 0.12f * V * s.mesh.CellWidth);
  s.AddRect(0.2f * V, 0.15f * V, 0.35f * V, 0.3f * V);
}

// A drawing with a circle and a rectangle, set up at mesh size M.
MeshScene& Scene(int meshSize) {
  static MeshScene* scenes[3] = {};
  MeshScene*& s = scenes[Slot(meshSize)];
  if (!s) {
    s = new MeshScene(VisibleFor(meshSize));
    Draw(*s);
    s->SetUp();
  }
  return *s;
}

// Milliseconds of this thread's processor time: on a machine shared with other
// work, wall-clock time would also count the time slices given to others.
double Ms(const std::function<void()>& f) {
  timespec t0{}, t1{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t0);
  f();
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t1);
  return 1e3 * static_cast<double>(t1.tv_sec - t0.tv_sec) + 1e-6 * static_cast<double>(t1.tv_nsec - t0.tv_nsec);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t h = v.size() / 2;
  return v.size() % 2 ? v[h] : 0.5 * (v[h - 1] + v[h]);
}

// Per-round times of each contender, reported as medians and their ratios.
struct Rounds {
  std::vector<std::vector<double>> times;
  explicit Rounds(int contenders) : times(contenders) {}
  void Add(int who, double ms) { times[who].push_back(ms); }
  double Med(int who) const { return Median(times[who]); }
};

// The standard run held to exactly `iterations` iterations from a zero start.
void StandardIterations(Mesh& mesh, int iterations) {
  std::fill(mesh.StreamFunction.begin(), mesh.StreamFunction.end(), 0.0f);
  int calls = 0;
  SolverCallbacks callbacks;
  callbacks.progress = [&](int) { return ++calls < iterations; };
  benchmark::DoNotOptimize(SolveStreamFunction(mesh, 0.0f, callbacks).iterations);
}

SolverResult Standard(Mesh& mesh) {
  std::fill(mesh.StreamFunction.begin(), mesh.StreamFunction.end(), 0.0f);
  return SolveStreamFunction(mesh, DefaultErrorTolerance2);
}

SolverResult Fast(Mesh& mesh) {
  std::fill(mesh.StreamFunction.begin(), mesh.StreamFunction.end(), 0.0f);
  return SolveStreamFunctionFast(mesh);
}

// The float triad over three arrays that together hold `bytes`, compiled like
// the solver's passes.
QUORVANE_WIDE_PASS void Triad(float* __restrict a, const float* __restrict b, const float* __restrict c, float s,
                              int n) {
  for (int k = 0; k < n; ++k) a[k] = b[k] + s * c[k];
}

struct TriadArrays {
  std::vector<float> a, b, c;
  explicit TriadArrays(std::size_t bytes) : a(bytes / 12, 1.0f), b(bytes / 12, 2.0f), c(bytes / 12, 0.5f) {}
  int N() const { return static_cast<int>(a.size()); }
  void Run(int repeats) {
    for (int i = 0; i < repeats; ++i) {
      Triad(a.data(), b.data(), c.data(), 0.999f, N());
      benchmark::ClobberMemory();
    }
  }
};

// Bytes one standard iteration moves per cell: the coefficients, r and q read;
// p read and written; ψ read and written, and r read and written again with q.
constexpr double BytesPerCell = 52.0;

#ifdef QUORVANE_HAVE_EIGEN
using SparseF = Eigen::SparseMatrix<float, Eigen::ColMajor>;

// The set-up's 5-point matrix, both triangles stored.
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
    if (k + M < n && m.CoefSouth[k] != 0.0f) {
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
};

EigenSystem& EigenFor(int meshSize) {
  static EigenSystem* systems[3] = {};
  EigenSystem*& s = systems[Slot(meshSize)];
  if (!s) {
    const Mesh& m = Scene(meshSize).mesh;
    s = new EigenSystem;
    s->a = ToEigen(m);
    s->b = Eigen::Map<const Eigen::VectorXf>(m.RightHandSide.data(), m.MeshSize * m.MeshSize);
  }
  return *s;
}

using CgIdentity = Eigen::ConjugateGradient<SparseF, Eigen::Lower | Eigen::Upper, Eigen::IdentityPreconditioner>;
using CgDiagonal = Eigen::ConjugateGradient<SparseF, Eigen::Lower | Eigen::Upper>;
using CgIncomplete =
    Eigen::ConjugateGradient<SparseF, Eigen::Lower | Eigen::Upper, Eigen::IncompleteCholesky<float>>;

// One Eigen CG solve from zero, preconditioner set-up included: iterations.
template <typename Cg>
int EigenCg(const EigenSystem& s, double tolerance, int maxIterations, Eigen::VectorXf& x) {
  Cg cg;
  cg.setTolerance(static_cast<float>(tolerance));
  cg.setMaxIterations(maxIterations);
  cg.compute(s.a);
  x = cg.solve(s.b);
  benchmark::DoNotOptimize(x.data());
  return static_cast<int>(cg.iterations());
}

void EigenLdlt(const EigenSystem& s, Eigen::VectorXf& x) {
  Eigen::SimplicialLDLT<SparseF> ldlt(s.a);
  x = ldlt.solve(s.b);
  benchmark::DoNotOptimize(x.data());
}
#endif

void BM_Iteration(benchmark::State& state) {
  const int M = static_cast<int>(state.range(0));
  Mesh& mesh = Scene(M).mesh;
  const int cells = M * M;
  // Differences of two run lengths, so the start of a run is not counted.
  constexpr int Short = 20, Long = 120;
  TriadArrays triad(7u * 4u * static_cast<std::size_t>(cells));
  const int repeats = 50;
  enum { Ours, Floor, Identity, Portable, Unaligned };
  Rounds rounds(5);
#ifdef QUORVANE_HAVE_EIGEN
  EigenSystem& e = EigenFor(M);
  Eigen::VectorXf x;
#endif
  for (auto _ : state) {
    const double shortRun = Ms([&] { StandardIterations(mesh, Short); });
    const double longRun = Ms([&] { StandardIterations(mesh, Long); });
    rounds.Add(Ours, (longRun - shortRun) / (Long - Short));
    {
      // The same iteration in the plain passes, without the instruction sets
      // written out for the processor.
      const SolverPasses before = LimitSolverPasses(SolverPasses::Portable);
      const double plainShort = Ms([&] { StandardIterations(mesh, Short); });
      const double plainLong = Ms([&] { StandardIterations(mesh, Long); });
      LimitSolverPasses(before);
      rounds.Add(Portable, (plainLong - plainShort) / (Long - Short));
    }
    {
      // The AVX-512 passes on the mesh's own layout, rows unaligned.
      const bool before = AlignSolverRows(false);
      const double flatShort = Ms([&] { StandardIterations(mesh, Short); });
      const double flatLong = Ms([&] { StandardIterations(mesh, Long); });
      AlignSolverRows(before);
      rounds.Add(Unaligned, (flatLong - flatShort) / (Long - Short));
    }
    const double sweep = Ms([&] { triad.Run(repeats); }) / repeats;
    rounds.Add(Floor, BytesPerCell * cells / (16.0 * triad.N() / sweep));
#ifdef QUORVANE_HAVE_EIGEN
    const double eShort = Ms([&] { EigenCg<CgIdentity>(e, 0.0, Short, x); });
    const double eLong = Ms([&] { EigenCg<CgIdentity>(e, 0.0, Long, x); });
    rounds.Add(Identity, (eLong - eShort) / (Long - Short));
#endif
  }
  state.counters["ours_us"] = 1000 * rounds.Med(Ours);
  state.counters["floor_us"] = 1000 * rounds.Med(Floor);
  state.counters["ours_over_floor"] = rounds.Med(Ours) / rounds.Med(Floor);
  state.counters["portable_over_floor"] = rounds.Med(Portable) / rounds.Med(Floor);
  state.counters["unaligned_over_floor"] = rounds.Med(Unaligned) / rounds.Med(Floor);
  state.counters["triad_GBps"] = BytesPerCell * cells / rounds.Med(Floor) / 1e6;
#ifdef QUORVANE_HAVE_EIGEN
  state.counters["eigen_identity_us"] = 1000 * rounds.Med(Identity);
  state.counters["eigen_identity_over_ours"] = rounds.Med(Identity) / rounds.Med(Ours);
#endif
}

#ifdef QUORVANE_HAVE_EIGEN
void BM_ToStopLevel(benchmark::State& state) {
  const int M = static_cast<int>(state.range(0));
  Mesh& mesh = Scene(M).mesh;
  EigenSystem& e = EigenFor(M);
  Eigen::VectorXf x;
  Rounds rounds(3);
  int ours = 0, theirs = 0;
  for (auto _ : state) {
    rounds.Add(0, Ms([&] { ours = Standard(mesh).iterations; }));
    rounds.Add(1, Ms([&] { theirs = EigenCg<CgDiagonal>(e, 0.002, M * M, x); }));
    // The same run with the AVX-512 passes on the mesh's own layout: the
    // aligned run above includes its copies in and out.
    const bool before = AlignSolverRows(false);
    rounds.Add(2, Ms([&] { Standard(mesh); }));
    AlignSolverRows(before);
  }
  state.counters["ours_ms"] = rounds.Med(0);
  state.counters["unaligned_over_ours"] = rounds.Med(2) / rounds.Med(0);
  state.counters["eigen_diag_ms"] = rounds.Med(1);
  state.counters["eigen_diag_over_ours"] = rounds.Med(1) / rounds.Med(0);
  state.counters["ours_iter"] = ours;
  state.counters["eigen_iter"] = theirs;
}

// The loosest tolerance of a ladder at which `solve` gives an answer within
// `distance` of the converged one; 0 when none does.
double MatchedTolerance(const Mesh& m, const Converged& exact, double distance,
                        const std::function<void(double, Eigen::VectorXf&)>& solve) {
  Eigen::VectorXf x;
  for (double t = 1e-2; t > 1e-8; t /= 2) {
    solve(t, x);
    if (Distance(m, x.data(), exact.x) <= distance) return t;
  }
  return 0;
}
#endif

void BM_MatchedAccuracy(benchmark::State& state) {
  const int M = static_cast<int>(state.range(0));
  Mesh& mesh = Scene(M).mesh;
  Mesh fastMesh = mesh, standardMesh = mesh;
  const Converged exact = SolveConverged(mesh);
  const int fastIterations = Fast(fastMesh).iterations;
  const double distance = Distance(mesh, fastMesh.StreamFunction.data(), exact.x);
  Standard(standardMesh);
  state.counters["fast_iter"] = fastIterations;
  state.counters["fast_distance"] = distance;
  state.counters["standard_distance"] = Distance(mesh, standardMesh.StreamFunction.data(), exact.x);
  enum { FastRun, StandardRun, Identity, Diagonal, Incomplete, Ldlt };
  Rounds rounds(6);
#ifdef QUORVANE_HAVE_EIGEN
  EigenSystem& e = EigenFor(M);
  const int limit = M * M;
  const double tIdentity = MatchedTolerance(mesh, exact, distance, [&](double t, Eigen::VectorXf& x) {
    EigenCg<CgIdentity>(e, t, limit, x);
  });
  const double tDiagonal = MatchedTolerance(mesh, exact, distance, [&](double t, Eigen::VectorXf& x) {
    EigenCg<CgDiagonal>(e, t, limit, x);
  });
  const double tIncomplete = MatchedTolerance(mesh, exact, distance, [&](double t, Eigen::VectorXf& x) {
    EigenCg<CgIncomplete>(e, t, limit, x);
  });
  Eigen::VectorXf x;
  EigenLdlt(e, x);
  state.counters["ldlt_distance"] = Distance(mesh, x.data(), exact.x);
  state.counters["tol_identity"] = tIdentity;
  state.counters["tol_diagonal"] = tDiagonal;
  state.counters["tol_ichol"] = tIncomplete;
#endif
  for (auto _ : state) {
    rounds.Add(FastRun, Ms([&] { Fast(fastMesh); }));
    rounds.Add(StandardRun, Ms([&] { Standard(standardMesh); }));
#ifdef QUORVANE_HAVE_EIGEN
    rounds.Add(Identity, Ms([&] { EigenCg<CgIdentity>(e, tIdentity, limit, x); }));
    rounds.Add(Diagonal, Ms([&] { EigenCg<CgDiagonal>(e, tDiagonal, limit, x); }));
    rounds.Add(Incomplete, Ms([&] { EigenCg<CgIncomplete>(e, tIncomplete, limit, x); }));
    rounds.Add(Ldlt, Ms([&] { EigenLdlt(e, x); }));
#endif
  }
  const double fast = rounds.Med(FastRun);
  state.counters["fast_ms"] = fast;
  state.counters["fast_over_standard"] = fast / rounds.Med(StandardRun);
#ifdef QUORVANE_HAVE_EIGEN
  // A preconditioner that never reached the fast solver's accuracy shows its
  // time at the tightest tolerance tried, and a tolerance of 0.
  state.counters["eigen_identity_over_fast"] = rounds.Med(Identity) / fast;
  state.counters["eigen_diagonal_over_fast"] = rounds.Med(Diagonal) / fast;
  state.counters["eigen_ichol_over_fast"] = rounds.Med(Incomplete) / fast;
  state.counters["eigen_ldlt_over_fast"] = rounds.Med(Ldlt) / fast;
#endif
}

// Analyse > Run as the window does it: set-up, the solve, the flow lines.
double Run(MeshScene& scene, SolverKind kind, QImage& image, double& solveMs) {
  return Ms([&] {
    scene.SetUp();
    solveMs = Ms([&] { SolveStreamFunctionWith(kind, scene.mesh, DefaultErrorTolerance2); });
    Canvas canvas(image);
    FlowDisplayState flow;
    UiState ui;
    TestServices services;  // no window: nothing is shown, no Escape
    DrawStreamlines(canvas, scene.mesh, flow, ui, services, {});
  });
}

void BM_Run(benchmark::State& state) {
  MeshScene scene(VisibleFor(static_cast<int>(state.range(0))));
  Draw(scene);
  QImage image = MakeBitmap(scene.mesh.ViewRight, scene.mesh.ViewBottom);
  Rounds runs(2), solves(2);
  for (auto _ : state) {
    double solve = 0;
    runs.Add(0, Run(scene, SolverKind::Standard, image, solve));
    solves.Add(0, solve);
    runs.Add(1, Run(scene, SolverKind::Fast, image, solve));
    solves.Add(1, solve);
  }
  state.counters["standard_run_ms"] = runs.Med(0);
  state.counters["fast_run_ms"] = runs.Med(1);
  state.counters["run_fast_over_standard"] = runs.Med(1) / runs.Med(0);
  state.counters["solve_fast_over_standard"] = solves.Med(1) / solves.Med(0);
}

}  // namespace

BENCHMARK(BM_Iteration)->Arg(120)->Arg(238)->Arg(358)->Iterations(15)->Unit(benchmark::kMillisecond);
#ifdef QUORVANE_HAVE_EIGEN
BENCHMARK(BM_ToStopLevel)->Arg(120)->Arg(238)->Arg(358)->Iterations(3)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_MatchedAccuracy)->Arg(120)->Arg(238)->Arg(358)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Run)->Arg(358)->Iterations(5)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
