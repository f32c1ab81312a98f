// Writing and reading a document at each mesh size: the three files written
// through temporary files and renamed into place, then read back and checked.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "display/FlowDisplay.h"
#include "documents/Document.h"
#include "documents/DocumentFile.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "platform/UiState.h"

namespace {

struct SolvedDocument {
  ObjectTable table;
  Mesh mesh;
  GridState grid;
  FlowDisplayState display;
  DocumentState doc;
  UiState ui;
  std::string folder;

  explicit SolvedDocument(int visible) {
    SetMeshDimensions(mesh, visible);
    ViewLayout(mesh, 40, 640);
    AllocSolverArrays(mesh);
    std::mt19937 gen(1);
    std::uniform_real_distribution<float> value(-10, 10);
    for (float& v : mesh.StreamFunction) v = value(gen);
    for (int i = 0; i < 50; ++i) {
      for (int j = 0; j < 8; ++j) table.RectData[table.RectDataLen + j] = value(gen) + 300;
      table.RectData[table.RectDataLen + 8] = 999;
      table.RectDataLen += 10;
    }
    doc.Title = "Benchmark";
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data())) folder = pattern;
  }
  ~SolvedDocument() {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

void BM_SaveAndOpen(benchmark::State& state) {
  SolvedDocument d(static_cast<int>(state.range(0)));
  const std::string name = d.folder + "/bench.QDN";
  const DocumentImage image = CaptureDocument(d.table, d.mesh, d.grid, d.display, d.doc, 0.0f);
  for (auto _ : state) {
    std::string reason;
    if (!SaveDocumentFiles(name, image, reason)) state.SkipWithError(reason.c_str());
    DocumentImage loaded;
    if (!LoadDocumentFiles(name, d.mesh.ViewSize, loaded, reason)) state.SkipWithError(reason.c_str());
    CommitDocument(loaded, d.table, d.mesh, d.grid, d.display, d.doc, d.ui);
    benchmark::DoNotOptimize(d.mesh.StreamFunction.data());
  }
  state.SetBytesProcessed(state.iterations() * 2 *
                          static_cast<std::int64_t>(4 * (5 + 500 + d.mesh.MeshSize * d.mesh.MeshSize)));
}
BENCHMARK(BM_SaveAndOpen)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_DecodeFromMemory(benchmark::State& state) {
  SolvedDocument d(static_cast<int>(state.range(0)));
  const DocumentImage image = CaptureDocument(d.table, d.mesh, d.grid, d.display, d.doc, 0.0f);
  const std::string flags = EncodeFlagFile(image), data = EncodeDataFile(image);
  for (auto _ : state) {
    DocumentImage loaded;
    std::string reason;
    benchmark::DoNotOptimize(LoadDocumentFromBytes(flags, data, &image.Title, 0, loaded, reason));
  }
}
BENCHMARK(BM_DecodeFromMemory)->Arg(100)->Arg(300)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
