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

namespace {

constexpr float Tolerance2 = 0.002f * 0.002f;
constexpr double Bound = 0.05;  // the residual bound of the stall test, |r| / |b|
constexpr double Unbounded = std::numeric_limits<double>::infinity();

// A drawing on a mesh laid out as in a window whose view is 606 pixels square,
// 16 pixels from the window's left edge.
struct Scene {
  Mesh mesh;
  ObjectTable table;
  ExternalField field;

  explicit Scene(int visible) {
    SetMeshDimensions(mesh, visible);
    mesh.ViewLeft = 16;
    ViewLayout(mesh, 30, 30 + 606);
    AllocSolverArrays(mesh);
  }
  void AddCircle(float cx, float cy, float radius) {
    float* d = table.CircleData.data() + table.CircleDataLen;
    d[0] = cx;
    d[1] = cy;
    d[3] = radius;
    d[8] = SolidPermeability;
    table.CircleDataLen += TenRecordSize;
  }
  void SetUp(const MeshSetupOptions& options = {}) { MeshSetup(table, field, mesh, options); }
};

// Uniform in [lo, hi), from the generator's raw words so that the scenes are
// the same with every standard library.
struct Random {
  std::mt19937 engine;
  explicit Random(std::uint32_t seed) : engine(seed) {}
  double Uniform(double lo, double hi) { return lo + (hi - lo) * (engine() / 4294967296.0); }
  bool Chance(double p) { return Uniform(0, 1) < p; }
};

// |b − Aψ| / |b| in double precision, independent of the solver's own sums.
double ResidualRatio(const Mesh& m) {
  const int M = m.MeshSize, n = M * M;
  const float* x = m.StreamFunction.data();
  double rr = 0, bb = 0;
  for (int k = 0; k < n; ++k) {
    double v = static_cast<double>(m.CoefDiag[k]) * x[k];
    if (k < n - M) v += static_cast<double>(m.CoefSouth[k]) * x[k + M];
    if (k < n - 1) v += static_cast<double>(m.CoefEast[k]) * x[k + 1];
    if (k >= 1) v += static_cast<double>(m.CoefEast[k - 1]) * x[k - 1];
    if (k >= M) v += static_cast<double>(m.CoefSouth[k - M]) * x[k - M];
    const double b = m.RightHandSide[k];
    rr += (b - v) * (b - v);
    bb += b * b;
  }
  return std::sqrt(rr / bb);
}

// Rectangles (a few of them turned) and circles inside the draw area, about a
// third of them pushed against one of its edges.
int DrawScene(Scene& scene, Random& random) {
  const Mesh& m = scene.mesh;
  const double right = m.DrawAreaRight, bottom = m.DrawAreaBottom, side = m.ViewSize;
  const int objects = 1 + static_cast<int>(random.Uniform(0, 4));
  for (int i = 0; i < objects; ++i) {
    // Half sizes in pixels, and a centre that keeps the object inside.
    const bool round = random.Chance(0.5);
    double hx = random.Uniform(0.03, 0.15) * side, hy = round ? hx : random.Uniform(0.02, 0.15) * side;
    double cx = random.Uniform(hx, right - hx), cy = random.Uniform(hy, bottom - hy);
    if (random.Chance(0.35)) {
      switch (static_cast<int>(random.Uniform(0, 4))) {
        case 0: cx = hx; break;
        case 1: cx = right - hx; break;
        case 2: cy = hy; break;
        default: cy = bottom - hy; break;
      }
    }
    if (round) {
      scene.AddCircle(static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(hx));
      continue;
    }
    // A turned rectangle is shrunk until its corners lie inside the area.
    const double angle = random.Chance(0.3) ? random.Uniform(-0.6, 0.6) : 0.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double reachX = std::fabs(hx * c) + std::fabs(hy * s), reachY = std::fabs(hx * s) + std::fabs(hy * c);
    const double shrink = std::min({1.0, cx / reachX, (right - cx) / reachX, cy / reachY, (bottom - cy) / reachY});
    hx *= shrink;
    hy *= shrink;
    float* d = scene.table.RectData.data() + scene.table.RectDataLen;
    const double corners[4][2] = {{-hx, -hy}, {hx, -hy}, {hx, hy}, {-hx, hy}};
    for (int k = 0; k < 4; ++k) {
      d[2 * k] = static_cast<float>(cx + corners[k][0] * c - corners[k][1] * s);
      d[2 * k + 1] = static_cast<float>(cy + corners[k][0] * s + corners[k][1] * c);
    }
    d[8] = SolidPermeability;
    scene.table.RectDataLen += TenRecordSize;
  }
  return objects;
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
    const int objects = DrawScene(scene, random);
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
