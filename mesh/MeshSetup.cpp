#include "mesh/MeshSetup.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "geometry/ObjectTable.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"

namespace {

// Face weights of the shape of the solver arrays: left face of cell k at
// Left[k], top face at Top[k]. They live only during one set-up.
struct FaceWeights {
  std::vector<float> Left, Top;
};

constexpr int FinePoints = 300;  // the fine grid: 300 × 300 points over the view
constexpr int FineStride = Mesh::SolidMapStride;
constexpr float ObstacleWeight = 1.0f;

// The relative strengths of the eight external-field sources at each end of the
// mesh, and the fraction of MeshSize that gives their row.
constexpr std::array<float, 8> EdgeFraction = {0.03f, 0.08f, 0.13f, 0.18f, 0.23f, 0.28f, 0.33f, 0.38f};
constexpr std::array<float, 8> EdgeStrength = {1.0f, 1.2f, 0.95f, 1.16f, 0.55f, 0.65f, 0.4f, 0.6f};

// Cell size and origin of one of the two rasters: the mesh cells or the fine grid.
struct Raster {
  float stepX, stepY, top;
  int Column(float x) const { return static_cast<int>(x / stepX); }
  int Row(float y) const { return static_cast<int>((y - top) / stepY); }
};

// The codes of one object's cells over its bounding box with the one-cell
// margin (the box) and one further cell that only catches the outline's strays.
// Writes outside the map are dropped, so an object partly or wholly off the mesh
// is classified in full and clipped only when it is transferred.
class CodeBox {
 public:
  void Reset(int rowMin, int colMin, int rowMax, int colMax) {
    rowMin_ = rowMin;
    colMin_ = colMin;
    rowMax_ = rowMax;
    colMax_ = colMax;
    rows_ = rowMax - rowMin + 3;
    cols_ = colMax - colMin + 3;
    code_.assign(static_cast<std::size_t>(rows_) * cols_, ' ');
  }
  int RowMin() const { return rowMin_; }
  int RowMax() const { return rowMax_; }
  int ColMin() const { return colMin_; }
  int ColMax() const { return colMax_; }
  char At(int row, int col) const {
    const int r = row - rowMin_ + 1, c = col - colMin_ + 1;
    if (r < 0 || r >= rows_ || c < 0 || c >= cols_) return ' ';
    return code_[static_cast<std::size_t>(r) * cols_ + c];
  }
  void Mark(int row, int col, char code) {
    const int r = row - rowMin_ + 1, c = col - colMin_ + 1;
    if (r < 0 || r >= rows_ || c < 0 || c >= cols_) return;
    code_[static_cast<std::size_t>(r) * cols_ + c] = code;
  }
  // Every row of the box walked from its left edge rightwards and from its right
  // edge leftwards, 'o' written while the cell is unclassified: what stays ' '
  // lies between the two sides of the outline.
  void OutsideFill() {
    for (int row = rowMin_; row <= rowMax_; ++row) {
      for (int col = colMin_; col <= colMax_ && At(row, col) == ' '; ++col) Mark(row, col, 'o');
      for (int col = colMax_; col >= colMin_ && At(row, col) == ' '; --col) Mark(row, col, 'o');
    }
  }
  bool Solid(int row, int col) const {
    const char c = At(row, col);
    return c == 'b' || c == ' ';
  }

 private:
  int rowMin_ = 0, colMin_ = 0, rowMax_ = -1, colMax_ = -1, rows_ = 0, cols_ = 0;
  std::vector<char> code_;
};

// The cells along a segment: the major axis stepped one cell at a time, the
// minor one following the line to within half a cell; the end cell is always
// marked.
void RasterLine(CodeBox& box, const Raster& g, float x0, float y0, float x1, float y1, char code) {
  const int ce = g.Column(x1), re = g.Row(y1);
  const float dx = x1 - x0, dy = y1 - y0;
  const float sx = dx >= 0 ? g.stepX : -g.stepX;
  const float sy = dy >= 0 ? g.stepY : -g.stepY;
  float x = x0, y = y0;
  if (std::fabs(dx) >= std::fabs(dy)) {
    const float m = dx != 0 ? dy / dx : 0.0f;
    const float b = y0 - m * x0;
    float travelled = 0;
    do {
      const int c = g.Column(x);
      const int r = c == ce ? re : g.Row(y);
      box.Mark(r, c, code);
      x += sx;
      if (std::fabs(m * x + b - y) >= g.stepY / 2) y += sy;
      travelled += g.stepX;
    } while (travelled <= std::fabs(dx));
  } else {
    const float m = dx / dy;
    const float b = x0 - m * y0;
    float travelled = 0;
    do {
      const int r = g.Row(y);
      const int c = r == re ? ce : g.Column(x);
      box.Mark(r, c, code);
      y += sy;
      if (std::fabs(m * y + b - x) >= g.stepX / 2) x += sx;
      travelled += g.stepY;
    } while (travelled <= std::fabs(dy));
  }
  box.Mark(re, ce, code);
}

// Distance from the centre of cell (row, col) to the circle point at the same
// angle, on absolute offsets from the circle's centre.
float Nearness(const Raster& g, float cx, float cy, float radius, int row, int col) {
  const float ex = g.stepX / 2 + col * g.stepX - cx;
  const float ey = (cy - g.top) - (g.stepY / 2 + row * g.stepY);
  const float theta = std::fabs(ex) < 0.0001f ? 1.570796f : std::fabs(std::atan(ey / ex));
  const float a = radius * std::cos(theta) - std::fabs(ex);
  const float b = radius * std::sin(theta) - std::fabs(ey);
  return std::sqrt(a * a + b * b);
}

// The cells along a circle, quadrant by quadrant from the top and bottom points:
// a flat part stepping sideways, then a steep part stepping vertically, each
// taking the diagonal cell when it lies strictly nearer the circle.
void RasterCircle(CodeBox& box, const Raster& g, float cx, float cy, float radius, char code) {
  static constexpr int Signs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  for (const auto& s : Signs) {
    const int sy = s[0], sx = s[1];
    float h = 0, v = sy * radius;
    while (std::fabs(h) <= std::fabs(v)) {
      const int col = g.Column(cx + h), row = g.Row(cy - v);
      box.Mark(row, col, code);
      h += sx * g.stepX;
      const float side = Nearness(g, cx, cy, radius, row, col + sx);
      const float diagonal = Nearness(g, cx, cy, radius, row + sy, col + sx);
      if (diagonal < side) v -= sy * g.stepY;
    }
    while (sy * v >= -g.stepY) {
      const int col = g.Column(cx + h), row = g.Row(cy - v);
      box.Mark(row, col, code);
      v -= sy * g.stepY;
      const float vertical = Nearness(g, cx, cy, radius, row + sy, col);
      const float diagonal = Nearness(g, cx, cy, radius, row + sy, col + sx);
      if (diagonal < vertical) h += sx * g.stepX;
    }
  }
}

struct SetupWork {
  const ObjectTable& table;
  Mesh& mesh;
  const MeshSetupOptions& options;
  MeshSetupReport& report;
  FaceWeights weights;
  int M = 0, V = 0, B = 0;
  Raster coarse{}, fine{};
  CodeBox cells, points;

  int Index(int row, int col) const { return (row + B) * M + col + B; }
  // Objects reach into the hidden border too; only the frame the set-up keeps
  // for itself stays as it is: a cell with a frame face (mesh rows and columns
  // 0 … 2 and M − 3 … M − 1) takes no obstacle or source. The cells left have
  // their faces k + 1 and k + M inside the arrays as well.
  int FirstOpen() const { return 3 - B; }
  int LastOpen() const { return M - 4 - B; }
  bool Open(int row, int col) const {
    return row >= FirstOpen() && row <= LastOpen() && col >= FirstOpen() && col <= LastOpen();
  }
  // The four faces of an open cell raised to the obstacle weight.
  void RaiseFaces(int k) {
    float* L = weights.Left.data();
    float* T = weights.Top.data();
    L[k] = std::max(L[k], ObstacleWeight);
    L[k + 1] = std::max(L[k + 1], ObstacleWeight);
    T[k] = std::max(T[k], ObstacleWeight);
    T[k + M] = std::max(T[k + M], ObstacleWeight);
  }
};


// Records beyond a whole view outside the view, or with coordinates that are not
// numbers, come only from a damaged document; they are left out.
bool Placeable(const Mesh& mesh, float xmin, float xmax, float ymin, float ymax) {
  if (!(std::isfinite(xmin) && std::isfinite(xmax) && std::isfinite(ymin) && std::isfinite(ymax))) return false;
  const float w = static_cast<float>(std::max(mesh.ViewRight, mesh.ViewSize));
  return xmin >= -w && xmax <= 2 * w && ymin >= -w && ymax <= 2 * w;
}


// One section record (kinds 0, 1, 2, 4, 5): its outline on both rasters, the
// outside fill, and the transfer of what is solid onto the maps, the face
// weights and, for the source kinds, the right-hand side.
void AddSection(SetupWork& w, std::int32_t kind, const float* d) {
  const bool round = kind == KindCircle || kind == KindSolenoid;
  float xmin, xmax, ymin, ymax;
  if (round) {
    xmin = std::min(d[0] - d[3], d[0] + d[3]);
    xmax = std::max(d[0] - d[3], d[0] + d[3]);
    ymin = std::min(d[1] - d[3], d[1] + d[3]);
    ymax = std::max(d[1] - d[3], d[1] + d[3]);
  } else {
    xmin = std::min({d[0], d[2], d[4], d[6]});
    xmax = std::max({d[0], d[2], d[4], d[6]});
    ymin = std::min({d[1], d[3], d[5], d[7]});
    ymax = std::max({d[1], d[3], d[5], d[7]});
  }
  const bool sources = kind == KindMagnet || kind == KindCoil || kind == KindSolenoid;
  const float strength = sources ? d[9] : 0.0f;
  if (!Placeable(w.mesh, xmin, xmax, ymin, ymax) || !std::isfinite(strength)) {
    ++w.report.objectsLeftOut;
    return;
  }
  // A round section with a radius below zero has no inside, yet its outline
  // would be traced as two rows of cells round the centre: it adds nothing.
  if (round && d[3] < 0) return;
  w.cells.Reset(w.coarse.Row(ymin) - 1, w.coarse.Column(xmin) - 1, w.coarse.Row(ymax) + 1, w.coarse.Column(xmax) + 1);
  w.points.Reset(w.fine.Row(ymin) - 1, w.fine.Column(xmin) - 1, w.fine.Row(ymax) + 1, w.fine.Column(xmax) + 1);

  if (round) {
    const char code = kind == KindSolenoid ? (strength >= 0 ? '+' : '-') : 'b';
    RasterCircle(w.cells, w.coarse, d[0], d[1], d[3], code);
    RasterCircle(w.points, w.fine, d[0], d[1], d[3], code);
  } else {
    // The pole edges of a coil or magnet carry the sources: p1-p2 the positive
    // one for a positive strength.
    const bool poles = kind == KindMagnet || kind == KindCoil;
    const char first = poles ? (strength >= 0 ? '+' : '-') : 'b';
    const char second = poles ? (strength >= 0 ? '-' : '+') : 'b';
    const int edges[4][3] = {{0, 1, 'b'}, {2, 3, 'b'}, {1, 2, first}, {0, 3, second}};
    for (const auto& e : edges) {
      const float* p = d + 2 * e[0];
      const float* q = d + 2 * e[1];
      RasterLine(w.cells, w.coarse, p[0], p[1], q[0], q[1], static_cast<char>(e[2]));
      RasterLine(w.points, w.fine, p[0], p[1], q[0], q[1], static_cast<char>(e[2]));
    }
  }
  w.cells.OutsideFill();
  w.points.OutsideFill();

  Mesh& mesh = w.mesh;
  for (int row = std::max(w.cells.RowMin(), w.FirstOpen()); row <= std::min(w.cells.RowMax(), w.LastOpen()); ++row) {
    for (int col = std::max(w.cells.ColMin(), w.FirstOpen()); col <= std::min(w.cells.ColMax(), w.LastOpen());
         ++col) {
      const int k = w.Index(row, col);
      const char code = w.cells.At(row, col);
      if (code == 'b' || code == ' ') {
        // The coarse map knows the visible cells only.
        if (mesh.N100Checked && row >= 0 && row < 100 && col >= 0 && col < 100)
          mesh.SolidMapCoarse[col * 100 + row] = 's';
        w.RaiseFaces(k);
      } else if (sources && code == '+') {
        mesh.RightHandSide[k] += strength;
      } else if (sources && code == '-') {
        mesh.RightHandSide[k] -= strength;
      }
    }
  }
  for (int row = std::max(w.points.RowMin(), 0); row <= std::min(w.points.RowMax(), FinePoints - 1); ++row)
    for (int col = std::max(w.points.ColMin(), 0); col <= std::min(w.points.ColMax(), FinePoints - 1); ++col)
      if (w.points.Solid(row, col)) mesh.SolidMap[static_cast<std::size_t>(col) * FineStride + row] = 's';
}

// A face between two obstacle faces on either side (across or along it) is
// closed too, so that a one-cell gap in an outline lets no flow through.
// `reach` is how far along each side an obstacle face is looked for.
void CloseGaps(SetupWork& w, int reach) {
  float* L = w.weights.Left.data();
  float* T = w.weights.Top.data();
  const int M = w.M;
  auto bothSides = [&](const float* a, int k, int stride) {
    bool before = false, after = false;
    for (int i = 1; i <= reach; ++i) {
      before = before || a[k - i * stride] == ObstacleWeight;
      after = after || a[k + i * stride] == ObstacleWeight;
    }
    return before && after;
  };
  for (int col = 0; col < w.V; ++col) {
    for (int row = 0; row < w.V; ++row) {
      const int k = w.Index(row, col);
      if (bothSides(L, k, 1) || bothSides(L, k, M)) L[k] = ObstacleWeight;
      if (bothSides(T, k, M) || bothSides(T, k, 1)) T[k] = ObstacleWeight;
    }
  }
}

void AddAerofoils(SetupWork& w) {
  Mesh& mesh = w.mesh;
  std::vector<const std::vector<char>*> maps;
  const int count = std::clamp(w.table.AerofoilDataLen / AerofoilRecordSize, 0, 3);
  for (int n = 1; n <= count; ++n) {
    const std::vector<char>& map = w.table.AerofoilMap(n);
    if (static_cast<int>(map.size()) >= AerofoilMapCells) maps.push_back(&map);
  }
  if (maps.empty()) return;
  auto body = [&](int x, int y) {
    for (const std::vector<char>* map : maps) {
      const char c = (*map)[static_cast<std::size_t>(x) * AerofoilMapSide + y];
      if (c == 'b' || c == 'i') return true;
    }
    return false;
  };
  for (int row = 0; row < w.V; ++row) {
    std::int32_t y0, y1;
    FineSpan(row, w.V, y0, y1);
    for (int col = 0; col < w.V; ++col) {
      std::int32_t x0, x1;
      FineSpan(col, w.V, x0, x1);
      bool hit = false;
      for (int x = x0; x <= x1 && !hit; ++x)
        for (int y = y0; y <= y1 && !hit; ++y) hit = body(x, y);
      if (!hit) continue;
      w.RaiseFaces(w.Index(row, col));
      if (mesh.N100Checked && row < 100 && col < 100) mesh.SolidMapCoarse[col * 100 + row] = 's';
    }
  }
  CloseGaps(w, 3);
  for (int x = 0; x < FinePoints; ++x)
    for (int y = 0; y < FinePoints; ++y)
      if (body(x, y)) mesh.SolidMap[static_cast<std::size_t>(x) * FineStride + y] = 's';
}

void AddWires(SetupWork& w) {
  for (int offset = 0; offset + WireRecordSize <= std::min(w.table.WireDataLen, WireCapacity);
       offset += WireRecordSize) {
    const float* d = w.table.WireData.data() + offset;
    if (!Placeable(w.mesh, d[0], d[0], d[1], d[1]) || !std::isfinite(d[2])) {
      ++w.report.objectsLeftOut;
      continue;
    }
    const int row = w.coarse.Row(d[1]), col = w.coarse.Column(d[0]);
    if (!w.Open(row, col)) continue;
    const int k = w.Index(row, col);
    w.RaiseFaces(k);
    w.mesh.RightHandSide[k] += 4 * d[2];
  }
}

void InitialFaceWeights(const Mesh& mesh, FaceWeights& weights) {
  const int M = mesh.MeshSize;
  const float base = BaseFaceWeight(mesh), frame = FrameFaceWeight(mesh);
  weights.Left.assign(static_cast<std::size_t>(mesh.ArrayLength()), 0.0f);
  weights.Top.assign(static_cast<std::size_t>(mesh.ArrayLength()), 0.0f);
  // Every cell and the extra row M below the last, so the bottom faces of the
  // last row have a weight too. The frame is two to three cells deep.
  for (int row = 0; row <= M; ++row) {
    for (int col = 0; col < M; ++col) {
      const std::size_t k = static_cast<std::size_t>(row) * M + col;
      weights.Left[k] = (row <= 1 || row >= M - 1 || col <= 2 || col >= M - 2) ? frame : base;
      weights.Top[k] = (row <= 2 || row >= M - 2 || col <= 1 || col >= M - 2) ? frame : base;
    }
  }
}

void AddEdgeSources(const ExternalField& field, Mesh& mesh) {
  const int M = mesh.MeshSize;
  const float a = mesh.N100Checked ? 1.17f : 1.33f;
  const float base = static_cast<float>(M) * a / 60.0f;
  float weight = 1.52381f;
  if (field.VerticalItem > 0 && field.HorizontalItem > 0) weight = 0.7071f * 1.52381f;
  float* rhs = mesh.RightHandSide.data();
  for (std::size_t e = 0; e < EdgeFraction.size(); ++e) {
    float v = static_cast<float>(static_cast<long double>(EdgeStrength[e]) * base * weight);
    if (field.HorizontalItem == 1) v = -v;
    const int r = static_cast<int>(static_cast<long double>(M) * EdgeFraction[e]);
    rhs[r * M + 1] += v;
    rhs[r * M + M - 2] += v;
    rhs[(M - 1 - r) * M + 1] -= v;
    rhs[(M - 1 - r) * M + M - 2] -= v;
  }
}

void AssembleCoefficients(const FaceWeights& weights, Mesh& mesh) {
  const int M = mesh.MeshSize;
  const int cells = M * M;
  const float* L = weights.Left.data();
  const float* T = weights.Top.data();
  float* diag = mesh.CoefDiag.data();
  float* east = mesh.CoefEast.data();
  float* south = mesh.CoefSouth.data();
  for (int k = 0; k < cells; ++k) diag[k] = L[k] + L[k + 1] + T[k] + T[k + M];
  for (int k = 0; k < cells - 1; ++k) east[k] = -L[k + 1];
  for (int k = 0; k < cells - M; ++k) south[k] = -T[k + M];
  // No coupling wraps from the end of one row into the next: the right face
  // stays in the diagonal as a face to the fixed outside.
  for (int k = M - 1; k < cells; k += M) east[k] = 0.0f;
  std::fill(south + cells - M, south + mesh.ArrayLength(), 0.0f);
  std::fill(east + cells - 1, east + mesh.ArrayLength(), 0.0f);
}

}  // namespace

void FineSpan(std::int32_t cell, std::int32_t visible, std::int32_t& first, std::int32_t& last) {
  first = cell * FinePoints / visible;
  last = std::min(((cell + 1) * FinePoints + visible - 1) / visible - 1, FinePoints - 1);
}

float BaseFaceWeight(const Mesh& mesh) { return mesh.N100Checked ? 0.001f : 0.005f; }

float FrameFaceWeight(const Mesh& mesh) {
  return static_cast<float>(0.2L * static_cast<long double>(BaseFaceWeight(mesh)));
}

MeshSetupReport MeshSetup(const ObjectTable& table, const ExternalField& field, Mesh& mesh,
                          const MeshSetupOptions& options) {
  MeshSetupReport report;
  const std::size_t length = static_cast<std::size_t>(mesh.ArrayLength());
  bool keep = options.KeepsSolution();
  if (mesh.CoefDiag.size() != length || mesh.StreamFunction.size() != length) {
    AllocSolverArrays(mesh);
    keep = false;
  }
  mesh.MeshBorder = (mesh.MeshSize - mesh.VisibleMeshSize) / 2;
  SetupWork w{table, mesh, options, report, {}, mesh.MeshSize, mesh.VisibleMeshSize,
              mesh.MeshBorder * mesh.MeshExtended, {}, {}, {}, {}};
  const int M = w.M;
  w.coarse = Raster{mesh.CellWidth, mesh.CellHeight, static_cast<float>(mesh.MeshTop)};
  w.fine = Raster{FineStepX(mesh), FineStepY(mesh), static_cast<float>(mesh.MeshTop)};

  InitialFaceWeights(mesh, w.weights);
  std::fill(mesh.RightHandSide.begin(), mesh.RightHandSide.end(), 0.0f);
  if (!keep) std::fill(mesh.StreamFunction.begin(), mesh.StreamFunction.end(), 0.0f);

  // The uniform stream: a source row near the top, a sink row near the bottom.
  for (int col = 1; col <= M - 2; ++col) {
    mesh.RightHandSide[1 * M + col] += 1.0f;
    mesh.RightHandSide[(M - 2) * M + col] -= 1.0f;
  }
  AddEdgeSources(field, mesh);

  std::fill(mesh.SolidMapCoarse.begin(), mesh.SolidMapCoarse.end(), ' ');
  std::fill(mesh.SolidMap.begin(), mesh.SolidMap.end(), ' ');

  // Without a view layout there are no cells to put objects on.
  const bool mapped = mesh.CellWidth > 0 && mesh.CellHeight > 0 && mesh.ViewSize > 0 && mesh.ViewRight > 0;
  auto unhighlight = [&] {
    if (table.ObjectSelected == 1 && options.unhighlightSelected) options.unhighlightSelected();
  };
  auto redrawWithoutFill = [&] {
    if (!options.solidFill && options.redrawView) options.redrawView();
  };
  bool sectionsDone = false;
  for (std::int32_t kind : {KindRect, KindCircle, KindCoil, KindSolenoid, KindMagnet}) {
    const std::int32_t count = std::min(table.Length(kind), TenCapacity);
    if (count <= 0 || !mapped) continue;
    unhighlight();
    const float* data = table.Data(kind);
    for (int offset = 0; offset + TenRecordSize <= count; offset += TenRecordSize) AddSection(w, kind, data + offset);
    CloseGaps(w, 1);
    sectionsDone = true;
    redrawWithoutFill();
  }
  // Each section paints the whole fine solid map as it stands; once after the
  // last one gives the same picture.
  if (sectionsDone && options.solidFill && options.paintSolidFill) {
    options.paintSolidFill(false);
    report.solidFillPainted = true;
  }
  if (table.WireDataLen > 0 && mapped) {
    unhighlight();
    AddWires(w);
  }
  if (table.AerofoilDataLen > 0 && mapped) {
    unhighlight();
    AddAerofoils(w);
    if (options.solidFill && options.paintSolidFill) {
      options.paintSolidFill(true);
      report.solidFillPainted = true;
    }
    redrawWithoutFill();
  }

  AssembleCoefficients(w.weights, mesh);
  mesh.SystemReady = true;
  mesh.SetupMeshSize = M;
  return report;
}

MeshSetupReport MeshSetupCommand(const ObjectTable& table, const ExternalField& field, Mesh& mesh,
                                 MeshSetupOptions options, UiState& ui, CommandState& commands,
                                 std::int32_t& streamlinesShown, WindowServices& services) {
  options.restampMode = commands.RestampMode == 1;
  options.printingActive = commands.PrintingActive == 1;
  commands.MeshSetupBusy = 1;
  if (!options.restampMode) LockCommands(ui, services, true);
  if (!options.restampMode && streamlinesShown == 1 && !options.printingActive) {
    if (options.redrawView) options.redrawView();
    streamlinesShown = 0;
  }
  commands.MeshSetupBusy = 0;
  ui.cursor = CursorShape::Hourglass;
  services.Refresh();

  const MeshSetupReport report = MeshSetup(table, field, mesh, options);

  if (report.solidFillPainted) ui.status[4] = "";
  ui[Cmd::MnuAnalyseRun].enabled = true;
  for (std::string& label : ui.helpLabels) label.clear();
  if (mesh.N300Checked) services.ShowOnlineHelp(26);
  if (!options.restampMode) {
    UnlockCommands(ui);
    ui.cursor = CursorShape::Default;
  }
  services.Refresh();
  return report;
}
