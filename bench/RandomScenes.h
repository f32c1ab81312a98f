// RandomScenes: the drawings the validation programs solve. A scene is a mesh
// laid out as in a window whose view is 606 pixels square, 16 pixels from the
// window's left edge; a random one holds one to four circles and rectangles
// (some turned) inside the draw area, drawn from the generator's raw words so
// that the scenes are the same with every standard library.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "geometry/ObjectTable.h"
#include "mesh/Mesh.h"
#include "mesh/MeshSetup.h"

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

// Uniform in [lo, hi).
struct Random {
  std::mt19937 engine;
  explicit Random(std::uint32_t seed) : engine(seed) {}
  double Uniform(double lo, double hi) { return lo + (hi - lo) * (engine() / 4294967296.0); }
  bool Chance(double p) { return Uniform(0, 1) < p; }
};

// How one program's scenes are drawn: the share of circles, of objects pushed
// against an edge of the draw area, of thin plates among the rectangles (none
// draws no number for it), and of turned rectangles with their largest turn.
struct SceneMix {
  double round, againstEdge, plate, turned, largestTurn;
};

// Draws the objects of one scene and returns how many there are.
inline int DrawScene(Scene& scene, Random& random, const SceneMix& mix) {
  const Mesh& m = scene.mesh;
  const double right = m.DrawAreaRight, bottom = m.DrawAreaBottom, side = m.ViewSize;
  const int objects = 1 + static_cast<int>(random.Uniform(0, 4));
  for (int i = 0; i < objects; ++i) {
    // Half sizes in pixels, and a centre that keeps the object inside.
    const bool round = random.Chance(mix.round);
    double hx = random.Uniform(0.03, 0.15) * side;
    double hy = round                                          ? hx
                : mix.plate > 0 && random.Chance(mix.plate) ? random.Uniform(0.005, 0.01) * side
                                                               : random.Uniform(0.02, 0.15) * side;
    double cx = random.Uniform(hx, right - hx), cy = random.Uniform(hy, bottom - hy);
    if (random.Chance(mix.againstEdge)) {
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
    const double angle = random.Chance(mix.turned) ? random.Uniform(-mix.largestTurn, mix.largestTurn) : 0.0;
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
