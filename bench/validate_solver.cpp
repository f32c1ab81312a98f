// Validation of the fast solver's stop level on random drawings at the three
// mesh sizes. Each scene is set up and solved three ways: the standard
// conjugate-gradient run, the fast multigrid-preconditioned run, and a
// converged solve in double precision to |b − Aψ| < 1e-9 |b|. The distance of
// an answer from the converged one is the largest difference over the visible
// cells divided by the range of the converged stream function there.
// Prints one line per scene and a summary; exits non-zero when a check fails:
//   - the fast answer lies at least as close to the converged one as the
//     standard answer (both runs complete, from a zero start);
//   - the converged solve reached its level.
// The table also shows, for each scene, the loosest of a ladder of stop levels
// at which the fast answer would still have passed, to show the margin of the
// level chosen. Usage: validate_solver [scenes at 100] [at 200] [at 300] [seed]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "geometry/ObjectTable.h"
#include "mesh/Mesh.h"
#include "mesh/MeshSetup.h"
#include "mesh/Multigrid.h"
#include "mesh/Solver.h"
#include "bench/RandomScenes.h"
#include "tests/core/ConvergedSolution.h"

namespace {

// One to four rectangles (some turned) and circles, about a third of them
// against an edge of the draw area, sometimes a thin plate.
constexpr SceneMix Mix{0.45, 0.3, 0.2, 0.35, 0.8};

constexpr double Ladder[] = {1e-2, 3e-3, 1e-3, 3e-4, 1e-4, 3e-5, 1e-5};

struct Summary {
  int scenes = 0, failures = 0, notConverged = 0;
  double worstRatio = 0;  // fast distance / standard distance
  double loosestNeeded = 1;  // the tightest of the per-scene loosest passing levels
  long long standardIterations = 0, fastIterations = 0;
  double standardMs = 0, fastMs = 0;
};

double Ms(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

void Campaign(int visible, int count, Random& random, Summary& sum) {
  for (int i = 0; i < count; ++i) {
    Scene scene(visible);
    const int objects = DrawScene(scene, random, Mix);
    scene.SetUp();
    const Converged exact = SolveConverged(scene.mesh);

    Mesh standard = scene.mesh;
    auto t0 = std::chrono::steady_clock::now();
    const SolverResult s = SolveStreamFunction(standard, DefaultErrorTolerance2);
    auto t1 = std::chrono::steady_clock::now();
    Mesh fast = scene.mesh;
    const SolverResult f = SolveStreamFunctionFast(fast);
    auto t2 = std::chrono::steady_clock::now();
    const double ds = Distance(scene.mesh, standard.StreamFunction.data(), exact.x);
    const double df = Distance(scene.mesh, fast.StreamFunction.data(), exact.x);

    // The loosest stop level of the ladder whose answer still passes.
    double loosest = 0;
    for (double level : Ladder) {
      Mesh trial = scene.mesh;
      const double e = level / FastRelativeResidual * 0.002;
      SolveStreamFunctionFast(trial, static_cast<float>(e * e));
      if (Distance(scene.mesh, trial.StreamFunction.data(), exact.x) <= ds) {
        loosest = level;
        break;
      }
    }

    const bool converged = exact.ratio < ConvergedLevel;
    const bool pass = converged && s.Completed() && f.Completed() && df <= ds;
    ++sum.scenes;
    sum.failures += !pass;
    sum.notConverged += !converged;
    sum.worstRatio = std::max(sum.worstRatio, ds > 0 ? df / ds : INFINITY);
    sum.loosestNeeded = std::min(sum.loosestNeeded, loosest);
    sum.standardIterations += s.iterations;
    sum.fastIterations += f.iterations;
    sum.standardMs += Ms(t0, t1);
    sum.fastMs += Ms(t1, t2);
    std::printf("%3d %4d %2d | %8.1e %3d | %6d %9.2e %7.1f | %4d %9.2e %6.1f | %5.3f | %7.0e |%s\n", sum.scenes,
                visible, objects, exact.ratio, exact.iterations, s.iterations, ds, Ms(t0, t1), f.iterations, df,
                Ms(t1, t2), ds > 0 ? df / ds : INFINITY, loosest, pass ? " ok" : " FAIL");
    std::fflush(stdout);
  }
}

int Count(int argc, char** argv, int index, int fallback) {
  return argc > index ? std::atoi(argv[index]) : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const int at100 = Count(argc, argv, 1, 20), at200 = Count(argc, argv, 2, 14), at300 = Count(argc, argv, 3, 10);
  const std::uint32_t seed = static_cast<std::uint32_t>(Count(argc, argv, 4, 20240921));
  Random random(seed);
  const auto start = std::chrono::steady_clock::now();
  std::printf("Fast solver (stop at |r| < %.0e |b|) against the standard run (0.2 %% of the first residual),\n"
              "distances from a double-precision solve to |r| < %.0e |b| (seed %u)\n",
              FastRelativeResidual, ConvergedLevel, seed);
  std::printf("%3s %4s %2s | %-12s | %-24s | %-21s | %-5s | %-7s |\n", "#", "mesh", "ob", "converged", "standard",
              "fast", "fast/", "loosest");
  std::printf("%3s %4s %2s | %8s %3s | %6s %9s %7s | %4s %9s %6s | %5s | %7s |\n", "", "", "", "|r|/|b|", "it",
              "iter", "distance", "ms", "iter", "distance", "ms", "std", "passing");
  Summary sum;
  Campaign(100, at100, random, sum);
  Campaign(200, at200, random, sum);
  Campaign(300, at300, random, sum);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("\nSummary: %d scenes (%d at 100, %d at 200, %d at 300), %.1f s\n", sum.scenes, at100, at200, at300,
              seconds);
  std::printf("  fast answer further from the converged one than the standard answer: %d\n", sum.failures);
  std::printf("  converged solves short of %.0e: %d\n", ConvergedLevel, sum.notConverged);
  std::printf("  worst fast / standard distance: %.3f; tightest level any scene needed: %.0e (chosen %.0e)\n",
              sum.worstRatio, sum.loosestNeeded, FastRelativeResidual);
  std::printf("  iterations: standard %lld, fast %lld; solve time: standard %.0f ms, fast %.0f ms (%.3fx)\n",
              sum.standardIterations, sum.fastIterations, sum.standardMs, sum.fastMs,
              sum.standardMs > 0 ? sum.fastMs / sum.standardMs : 0.0);
  const bool ok = sum.failures == 0 && sum.scenes >= 30;
  std::printf("%s\n", ok ? "PASS" : "FAIL");
  return ok ? 0 : 1;
}
