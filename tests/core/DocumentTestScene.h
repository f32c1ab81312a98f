// A fresh program state laid out like the window (view 400 pixels square), a
// scratch folder, and the byte builders the document tests spell files with.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "display/FlowDisplay.h"
#include "documents/Document.h"
#include "documents/FileCommands.h"
#include "geometry/ObjectTable.h"
#include "mesh/Grid.h"
#include "mesh/Mesh.h"
#include "platform/CommandState.h"
#include "platform/Prompts.h"
#include "platform/UiState.h"

struct Scene {
  ObjectTable table;
  Mesh mesh;
  GridState grid;
  FlowDisplayState display;
  DocumentState doc;
  CommandState cmd;
  UiState ui;
  DocumentContext ctx{table, mesh, grid, display, doc, cmd, ui};

  explicit Scene(int visible = 100, int viewSize = 400) {
    SetMeshDimensions(mesh, visible);
    mesh.ViewLeft = 8;
    ViewLayout(mesh, 40, 40 + viewSize);
    AllocSolverArrays(mesh);
    ui.caption = WindowCaption(doc);
  }
  void AddRecord(std::int32_t kind, std::initializer_list<float> values) {
    std::copy(values.begin(), values.end(), table.Data(kind) + table.Length(kind));
    table.Length(kind) += ObjectTable::RecordSize(kind);
  }
};

// Two documents that differ in every file: a titled cylinder, and two blocks
// with a solution and their flow lines shown. Scenes are large: they live on
// the heap, as the window's state does.
inline std::unique_ptr<Scene> CylinderScene() {
  auto s = std::make_unique<Scene>();
  s->AddRecord(KindCircle, {200, 150, 0, 30, 0, 0, 0, 0, 999, 0});
  s->doc.Title = "Cylinder";
  return s;
}
inline std::unique_ptr<Scene> SolvedBlocksScene() {
  auto s = std::make_unique<Scene>();
  s->AddRecord(KindRect, {10, 20, 60, 20, 60, 80, 10, 80, 999, 0});
  s->AddRecord(KindRect, {110, 20, 160, 20, 160, 80, 110, 80, 999, 0});
  for (std::size_t i = 0; i < s->mesh.StreamFunction.size(); ++i) s->mesh.StreamFunction[i] = 0.25f * (i % 40);
  s->display.StreamlinesShown = 1;
  s->doc.Title = "Two blocks, solved";
  return s;
}

// Little-endian bytes, spelled record by record.
struct Bytes {
  std::string s;
  Bytes& Int(std::int32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
    return *this;
  }
  Bytes& Float(float v) { return Int(std::bit_cast<std::int32_t>(v)); }
  Bytes& Floats(std::size_t n, float v) {
    for (std::size_t i = 0; i < n; ++i) Float(v);
    return *this;
  }
};

// The flag records of an empty, untitled document at start-up settings, with
// record n at index n - 1.
inline std::array<std::int32_t, 47> StartUpFlags(std::int32_t meshSize, std::int32_t visible, std::int32_t viewTop,
                                                  std::int32_t viewSize) {
  std::array<std::int32_t, 47> r{};
  r[0] = 998;
  r[2] = viewTop;
  r[4] = 17;  // dots
  r[5] = 19;  // grid shown
  r[8] = 1;   // centre lines
  r[26] = -1;
  r[27] = -1;
  r[29] = 1;  // density Normal
  r[31] = visible == 100;
  r[32] = r[33] = visible == 300;
  r[34] = meshSize;
  r[35] = visible;
  r[36] = viewSize;
  for (int n = 40; n <= 46; ++n) r[n - 1] = 1;  // solid fill and its copies
  r[46] = 998;
  return r;
}

inline std::string FlagBytes(const std::array<std::int32_t, 47>& records) {
  Bytes b;
  for (std::int32_t v : records) b.Int(v);
  return b.s;
}

class TempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-doc-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::size_t EntriesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
  }
  std::filesystem::path dir;
};
