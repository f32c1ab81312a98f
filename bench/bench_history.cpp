// Undo history: the memory a step takes with full tables (reported as a
// counter over 100 steps), and the time to take and restore a snapshot.
#include <benchmark/benchmark.h>

#include "geometry/History.h"

namespace {

ObjectTable FullTable() {
  ObjectTable t;
  for (std::int32_t kind : {KindRect, KindMagnet, KindCoil, KindSolenoid, KindCircle}) t.Length(kind) = TenCapacity;
  t.WireDataLen = WireCapacity;
  t.AerofoilDataLen = 12;
  return t;
}

void HistoryOfAHundredSteps(benchmark::State& state) {
  const ObjectTable table = FullTable();
  const std::string title = "A full drawing";
  std::size_t bytes = 0;
  for (auto _ : state) {
    DrawingHistory history;
    for (int i = 0; i < 100; ++i) history.Record("Move", TakeSnapshot(table, title));
    bytes = history.Bytes();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes_per_step"] = static_cast<double>(bytes) / 100.0;
}
BENCHMARK(HistoryOfAHundredSteps)->Unit(benchmark::kMillisecond);

void UndoOfAFullTable(benchmark::State& state) {
  ObjectTable table = FullTable();
  AerofoilProfile profile{};
  BuildAerofoilTemplate(profile);
  std::string title = "A full drawing";
  DrawingHistory history;
  history.Record("Move", TakeSnapshot(table, title));
  for (auto _ : state) {
    DrawingSnapshot back;
    history.Undo(TakeSnapshot(table, title), back);
    RestoreSnapshot(back, table, title, profile);
    history.Redo(TakeSnapshot(table, title), back);
    RestoreSnapshot(back, table, title, profile);
  }
}
BENCHMARK(UndoOfAFullTable)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
