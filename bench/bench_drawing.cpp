// The flow displays at the three mesh sizes on a solved scene (a circle and a
// rectangle in the stream): the flow lines at each density, the pressure map
// alone and the whole pressure display with its flow lines. Every result
// carries the time of the solve that produced the scene, and the ratio of the
// drawing to it: drawing must stay well below a solve.
#include <QImage>
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdlib>

#include "display/PressureMap.h"
#include "display/Streamlines.h"
#include "mesh/Solver.h"
#include "platform/Canvas.h"
#include "platform/UiState.h"
#include "tests/TestServices.h"
#include "tests/core/MeshScene.h"

namespace {

struct SolvedScene {
  MeshScene scene;
  double solveMs = 0;
  int iterations = 0;
  explicit SolvedScene(int visible) : scene(visible) {
    const int v = scene.V();
    scene.AddCircle(static_cast<float>(scene.mesh.MeshCentreX), static_cast<float>(scene.mesh.MeshCentreY),
                    0.12f * static_cast<float>(v) * scene.mesh.CellWidth);
    scene.AddRect(0.2f * v, 0.15f * v, 0.35f * v, 0.3f * v);
    scene.SetUp();
    const auto start = std::chrono::steady_clock::now();
    iterations = SolveStreamFunction(scene.mesh, 0.002f * 0.002f).iterations;
    solveMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
};

SolvedScene& Scene(int visible) {
  static SolvedScene* scenes[3] = {};
  const int slot = visible == 100 ? 0 : visible == 200 ? 1 : 2;
  if (!scenes[slot]) scenes[slot] = new SolvedScene(visible);
  return *scenes[slot];
}

void Report(benchmark::State& state, const SolvedScene& s, double totalMs) {
  const double perDrawing = totalMs / static_cast<double>(state.iterations());
  state.counters["solve_ms"] = s.solveMs;
  state.counters["solve_iterations"] = s.iterations;
  state.counters["draw_per_solve"] = perDrawing / s.solveMs;
}

template <typename Draw>
void TimeDrawing(benchmark::State& state, Draw draw) {
  SolvedScene& s = Scene(static_cast<int>(state.range(0)));
  Mesh& mesh = s.scene.mesh;
  QImage image = MakeBitmap(mesh.ViewRight, mesh.ViewBottom);
  Canvas canvas(image);
  FlowDisplayState flow;
  flow.StreamlinesShown = 1;
  UiState ui;
  double totalMs = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    draw(canvas, mesh, flow, ui);
    canvas.Flush();
    totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  Report(state, s, totalMs);
}

void BM_DrawStreamlines(benchmark::State& state) {
  const int levels = static_cast<int>(state.range(1));
  TimeDrawing(state, [levels](Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui) {
    flow.StreamLevelCount = levels;
    TestServices services;  // no window: nothing is shown, no Escape
    DrawStreamlines(canvas, mesh, flow, ui, services, {});
  });
}

void BM_PressureMap(benchmark::State& state) {
  TimeDrawing(state, [](Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState&) {
    ComputeFlowField(mesh, flow, FlowFieldMode::Pressure);
    PaintPressureMap(canvas, mesh, flow);
  });
}

void BM_PressureDisplay(benchmark::State& state) {
  TimeDrawing(state, [](Canvas& canvas, Mesh& mesh, FlowDisplayState& flow, UiState& ui) {
    TestServices services;
    ShowPressureDisplay(canvas, mesh, flow, ui, services, {});
  });
}

}  // namespace

BENCHMARK(BM_DrawStreamlines)
    ->ArgsProduct({{100, 200, 300}, {LowStreamLevels, NormalStreamLevels, HighStreamLevels}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressureMap)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PressureDisplay)->Arg(100)->Arg(200)->Arg(300)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
