// Mesh set-up at the three sizes, for a drawing of a few sections and an
// aerofoil, set beside the time of 100 solver iterations on the same system.
#include <benchmark/benchmark.h>

#include <chrono>

#include "mesh/Solver.h"
#include "tests/core/MeshScene.h"

namespace {

int VisibleFor(int meshSize) { return meshSize == 120 ? 100 : meshSize == 238 ? 200 : 300; }

MeshScene Drawing(int meshSize) {
  MeshScene s(VisibleFor(meshSize));
  const int V = s.V();
  s.AddCircle(s.mesh.MeshCentreX, s.mesh.MeshCentreY, 0.12f * V * s.mesh.CellWidth);
  s.AddRect(0.2f * V, 0.15f * V, 0.35f * V, 0.3f * V);
  s.AddRect(0.6f * V, 0.6f * V, 0.8f * V, 0.7f * V);
  for (int x = 74; x <= 224; ++x)
    for (int y = 137; y <= 156; ++y) s.table.AerofoilMap1[x * AerofoilMapSide + y] = 'i';
  s.table.AerofoilDataLen = AerofoilRecordSize;
  return s;
}

void BM_SetUp(benchmark::State& state) {
  MeshScene s = Drawing(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    s.SetUp();
    benchmark::DoNotOptimize(s.mesh.CoefDiag.data());
  }
}

// Set-up against 100 iterations of the run that follows it, in one loop.
void BM_SetUpVersusHundredIterations(benchmark::State& state) {
  MeshScene s = Drawing(static_cast<int>(state.range(0)));
  double setUp = 0, solve = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    s.SetUp();
    const auto t1 = std::chrono::steady_clock::now();
    int calls = 0;
    SolverCallbacks callbacks;
    callbacks.progress = [&](int) { return ++calls < 100; };
    SolveStreamFunction(s.mesh, 0.0f, callbacks);
    const auto t2 = std::chrono::steady_clock::now();
    setUp += std::chrono::duration<double, std::milli>(t1 - t0).count();
    solve += std::chrono::duration<double, std::milli>(t2 - t1).count();
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["setup_ms"] = setUp / runs;
  state.counters["hundred_iterations_ms"] = solve / runs;
  state.counters["setup_share"] = setUp / solve;
}

}  // namespace

BENCHMARK(BM_SetUp)->Arg(120)->Arg(238)->Arg(358)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetUpVersusHundredIterations)->Arg(120)->Arg(238)->Arg(358)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
