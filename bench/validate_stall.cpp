// Validation of the solver's stall test on a campaign of random drawings: every
// scene is solved fresh and then again from its kept solution (as after Open, a
// density change or a print), once with the program's stop rules and once with
// the stall test unbounded, as it stood before the residual bound. Prints one
// line per scene and a summary; exits non-zero when a check fails:
//   - no run ends with its recomputed residual |b − Aψ| / |b| above 5 %;
//   - no run from a kept solution takes more iterations than with the stall
//     test unbounded, unless the unbounded run ended above 5 % (then going on
//     is the point of the bound); none of them reaches the iteration limit.
// Usage: validate_stall [scenes at 100] [scenes at 300] [seed]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

#include "geometry/ObjectTable.h"
#include "mesh/Mesh.h"
#include "mesh/MeshSetup.h"
#include "mesh/Solver.h"
#include "bench/RandomScenes.h"
#include "tests/core/ConvergedSolution.h"

namespace {

constexpr float Tolerance2 = 0.002f * 0.002f;
constexpr double Bound = 0.05;  // the residual bound of the stall test, |r| / |b|
constexpr double Unbounded = std::numeric_limits<double>::infinity();

// Rectangles (a few of them turned) and circles inside the draw area, about a
// third of them pushed against one of its edges.
constexpr SceneMix Mix{0.5, 0.35, 0.0, 0.3, 0.6};

// |b − Aψ| / |b| in double precision, independent of the solver's own sums.
double ResidualRatio(const Mesh& m) {
  const int n = m.MeshSize * m.MeshSize;
  const std::vector<double> x(m.StreamFunction.begin(), m.StreamFunction.begin() + n);
  std::vector<double> ax(static_cast<std::size_t>(n));
  ApplyDouble(m, x, ax);
  double rr = 0, bb = 0;
  for (int k = 0; k < n; ++k) {
    const double b = m.RightHandSide[k];
    rr += (b - ax[k]) * (b - ax[k]);
    bb += b * b;
  }
  return std::sqrt(rr / bb);
}

struct Run {
  SolverResult result;
  double ratio = 0;
};

// A fresh run on a copy of the set-up, then a run from its kept solution after
// a set-up that keeps it.
void FreshAndRestart(const Scene& drawn, double stallBound2, Run& fresh, Run& restart) {
  Scene scene = drawn;
  fresh.result = SolveStreamFunction(scene.mesh, Tolerance2, {}, stallBound2);
  fresh.ratio = ResidualRatio(scene.mesh);
  MeshSetupOptions keep;
  keep.densityRedraw = true;
  scene.SetUp(keep);
  restart.result = SolveStreamFunction(scene.mesh, Tolerance2, {}, stallBound2);
  restart.ratio = ResidualRatio(scene.mesh);
}

const char* OutcomeName(SolverOutcome outcome) {
  switch (outcome) {
    case SolverOutcome::Converged: return "conv";
    case SolverOutcome::Stalled: return "stall";
    case SolverOutcome::IterationLimit: return "limit";
    case SolverOutcome::Exact: return "exact";
    case SolverOutcome::Abandoned: return "abandon";
    case SolverOutcome::NothingToSolve: return "empty";
    case SolverOutcome::NotFinite: return "notfin";
    default: return "notset";
  }
}

void PrintDrawing(const ObjectTable& table) {
  for (int k = 0; k + TenRecordSize <= table.RectDataLen; k += TenRecordSize) {
    const float* d = table.RectData.data() + k;
    std::printf("        rectangle %.9g %.9g  %.9g %.9g  %.9g %.9g  %.9g %.9g\n", d[0], d[1], d[2], d[3], d[4], d[5],
                d[6], d[7]);
  }
  for (int k = 0; k + TenRecordSize <= table.CircleDataLen; k += TenRecordSize) {
    const float* d = table.CircleData.data() + k;
    std::printf("        circle %.9g %.9g radius %.9g\n", d[0], d[1], d[3]);
  }
}

struct Summary {
  int scenes = 0, runs = 0, aboveBound = 0, oldAboveBound = 0, freshChanged = 0;
  int restartsLonger = 0, restartsGoingOn = 0, restartsAtLimit = 0, mostExtra = 0, freshAtLimit = 0;
  double worstNew = 0, worstOld = 0;
  long long iterationsNew = 0, iterationsOld = 0;
};

void Campaign(int visible, int count, Random& random, Summary& sum) {
  for (int i = 0; i < count; ++i) {
    Scene scene(visible);
    const int objects = DrawScene(scene, random, Mix);
    scene.SetUp();
    Run oldFresh, oldRestart, fresh, restart;
    FreshAndRestart(scene, Unbounded, oldFresh, oldRestart);
    FreshAndRestart(scene, StallResidualBound2, fresh, restart);

    const bool changed = fresh.result.iterations != oldFresh.result.iterations;
    const bool above = fresh.ratio > Bound || restart.ratio > Bound;
    const bool longer = restart.result.iterations > oldRestart.result.iterations;
    const bool excused = longer && oldRestart.ratio > Bound;
    const bool atLimit = restart.result.outcome == SolverOutcome::IterationLimit;
    sum.freshAtLimit += fresh.result.outcome == SolverOutcome::IterationLimit;
    ++sum.scenes;
    sum.runs += 2;
    sum.freshChanged += changed;
    sum.aboveBound += (fresh.ratio > Bound) + (restart.ratio > Bound);
    sum.oldAboveBound += (oldFresh.ratio > Bound) + (oldRestart.ratio > Bound);
    sum.restartsLonger += longer && !excused;
    sum.restartsGoingOn += excused;
    sum.restartsAtLimit += atLimit;
    if (excused) sum.mostExtra = std::max(sum.mostExtra, restart.result.iterations - oldRestart.result.iterations);
    sum.worstNew = std::max({sum.worstNew, fresh.ratio, restart.ratio});
    sum.worstOld = std::max({sum.worstOld, oldFresh.ratio, oldRestart.ratio});
    sum.iterationsNew += fresh.result.iterations + restart.result.iterations;
    sum.iterationsOld += oldFresh.result.iterations + oldRestart.result.iterations;
    std::printf("%4d %4d %2d | %6d %-5s %7.3f%% | %6d %-5s %7.3f%% | %6d %7.3f%% | %6d %7.3f%%%s%s%s\n", sum.scenes,
                visible, objects, oldFresh.result.iterations, OutcomeName(oldFresh.result.outcome),
                100 * oldFresh.ratio, fresh.result.iterations, OutcomeName(fresh.result.outcome), 100 * fresh.ratio,
                oldRestart.result.iterations, 100 * oldRestart.ratio, restart.result.iterations, 100 * restart.ratio,
                changed ? " changed" : "", above ? " ABOVE-BOUND" : "",
                atLimit ? " RESTART-AT-LIMIT" : longer ? (excused ? " kept-goes-on" : " RESTART-LONGER") : "");
    // The drawing of a scene the bound changed, to make a test case of it.
    if (changed) PrintDrawing(scene.table);
    std::fflush(stdout);
  }
}

int Count(int argc, char** argv, int index, int fallback) {
  return argc > index ? std::atoi(argv[index]) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const int at100 = Count(argc, argv, 1, 150), at300 = Count(argc, argv, 2, 10);
  const std::uint32_t seed = static_cast<std::uint32_t>(Count(argc, argv, 3, 20240614));
  Random random(seed);
  const auto start = std::chrono::steady_clock::now();
  std::printf("Stall test bounded at |r| < %.0f%% of |b|, against the stall test unbounded (seed %u)\n", 100 * Bound,
              seed);
  std::printf("%4s %4s %2s | %-22s | %-22s | %-14s | %-14s\n", "#", "mesh", "ob", "fresh, unbounded",
              "fresh, bounded", "kept, unbounded", "kept, bounded");
  std::printf("%4s %4s %2s | %6s %-5s %8s | %6s %-5s %8s | %6s %7s | %6s %7s\n", "", "", "", "iter", "end",
              "|r|/|b|", "iter", "end", "|r|/|b|", "iter", "|r|/|b|", "iter", "|r|/|b|");
  Summary sum;
  Campaign(100, at100, random, sum);
  Campaign(300, at300, random, sum);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("\nSummary: %d scenes (%d at 100, %d at 300), %d runs with the bound, %.1f s\n", sum.scenes, at100,
              at300, sum.runs, seconds);
  std::printf("  runs ending above %.0f%%: %d with the bound (worst %.3f%%), %d unbounded (worst %.3f%%)\n",
              100 * Bound, sum.aboveBound, 100 * sum.worstNew, sum.oldAboveBound, 100 * sum.worstOld);
  std::printf("  runs from a kept solution taking more iterations than unbounded: %d; going on where the unbounded"
              " one ended above %.0f%%: %d (at most %d more iterations); at the iteration limit: %d\n",
              sum.restartsLonger, 100 * Bound, sum.restartsGoingOn, sum.mostExtra, sum.restartsAtLimit);
  std::printf("  fresh runs whose iteration count changed: %d of %d; fresh runs at the iteration limit: %d\n",
              sum.freshChanged, sum.scenes, sum.freshAtLimit);
  std::printf("  iterations in all: %lld with the bound, %lld unbounded\n", sum.iterationsNew, sum.iterationsOld);
  const bool ok = sum.aboveBound == 0 && sum.restartsLonger == 0 && sum.restartsAtLimit == 0 && sum.scenes > 0;
  std::printf("%s\n", ok ? "PASS" : "FAIL");
  return ok ? 0 : 1;
}
