#include "display/Lift.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "display/SurfacePressure.h"
#include "geometry/AerofoilProfile.h"
#include "geometry/ObjectTable.h"
#include "mesh/MeshSetup.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t FinePoints = AerofoilMapSide;
// The stamping's placement: template row 74, column 4 onto map point (148, 141).
constexpr double ChordCentreK = 74, ChordCentreM = 4, PlacementColumn = 148, PlacementRow = 141;
// The template's nose and tail: the middle of row 0's boundary, and row 150.
constexpr double NoseK = 0, NoseM = 14, TailK = AerofoilTemplateRows - 1, TailM = 15;

bool Body(char c) { return c == 'b' || c == 'i'; }

// Solves a · x = b for up to three unknowns by elimination with pivoting;
// false when a pivot vanishes against the matrix's scale.
bool SolveSmall(std::vector<std::vector<double>> a, std::vector<double> b, std::vector<double>& x) {
  const std::size_t n = b.size();
  double scale = 0;
  for (const auto& row : a)
    for (double v : row) scale = std::max(scale, std::fabs(v));
  if (!(scale > 0) || !std::isfinite(scale)) return false;
  for (std::size_t col = 0; col < n; ++col) {
    std::size_t pivot = col;
    for (std::size_t r = col + 1; r < n; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (std::fabs(a[pivot][col]) < 1e-9 * scale) return false;
    std::swap(a[col], a[pivot]);
    std::swap(b[col], b[pivot]);
    for (std::size_t r = col + 1; r < n; ++r) {
      const double f = a[r][col] / a[col][col];
      for (std::size_t c = col; c < n; ++c) a[r][c] -= f * a[col][c];
      b[r] -= f * b[col];
    }
  }
  x.assign(n, 0);
  for (std::size_t r = n; r-- > 0;) {
    double s = b[r];
    for (std::size_t c = r + 1; c < n; ++c) s -= a[r][c] * x[c];
    x[r] = s / a[r][r];
  }
  return std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); });
}

// The aerofoil's cell nearest its chord centre, where the unit source sits.
std::int32_t SourceCell(const Mesh& mesh, const AerofoilChord& a) {
  std::int32_t best = a.cells.front();
  double nearest = std::numeric_limits<double>::infinity();
  for (std::int32_t k : a.cells) {
    const std::int32_t row = k / mesh.MeshSize - mesh.MeshBorder * mesh.MeshExtended;
    const std::int32_t col = k % mesh.MeshSize - mesh.MeshBorder * mesh.MeshExtended;
    const double d = std::hypot(row - a.CentreRow(), col - a.CentreColumn());
    if (d < nearest) {
      nearest = d;
      best = k;
    }
  }
  return best;
}

// The system D^-1/2 A D^-1/2 with unit diagonal in `work`, and D^-1/2 in
// `scale`: its solution y gives x = D^-1/2 y, and its right-hand side is
// D^-1/2 b.
void ScaleByDiagonal(Mesh& work, std::vector<double>& scale) {
  const std::size_t M = static_cast<std::size_t>(work.MeshSize), n = M * M;
  for (std::size_t k = 0; k < n; ++k)
    scale[k] = work.CoefDiag[k] > 0 ? 1.0 / std::sqrt(static_cast<double>(work.CoefDiag[k])) : 1.0;
  for (std::size_t k = 0; k < n; ++k) {
    work.CoefDiag[k] = static_cast<float>(work.CoefDiag[k] * scale[k] * scale[k]);
    if (k + 1 < n) work.CoefEast[k] = static_cast<float>(work.CoefEast[k] * scale[k] * scale[k + 1]);
    if (k + M < n) work.CoefSouth[k] = static_cast<float>(work.CoefSouth[k] * scale[k] * scale[k + M]);
  }
}

}  // namespace

void AerofoilChord::TemplatePoint(double k, double m, double& row, double& column) const {
  const double dk = k - ChordCentreK, dm = m - ChordCentreM;
  const double mapI = mapColumn + cosA * dk + sinA * dm;
  const double mapJ = mapRow + cosA * dm - sinA * dk;
  // Fine point p covers visible cells from p / cellsPerPoint on; cell centres
  // sit at whole numbers.
  column = (mapI + 0.5) * cellsPerPoint - 0.5;
  row = (mapJ + 0.5) * cellsPerPoint - 0.5;
}

AerofoilChord AerofoilChordOf(const ObjectTable& table, const Mesh& mesh, std::int32_t number) {
  AerofoilChord a;
  a.number = number;
  const std::int32_t count = std::clamp(table.AerofoilDataLen / AerofoilRecordSize, 0, MaxAerofoils);
  const std::int32_t V = mesh.VisibleMeshSize;
  if (number < 1 || number > count || V <= 2) return a;
  const std::vector<char>& map = table.AerofoilMap(number);
  if (map.size() < static_cast<std::size_t>(AerofoilMapCells)) return a;
  const float* r = table.AerofoilData.data() + (number - 1) * AerofoilRecordSize;
  a.angle = AerofoilRecordWhole(r[3], 360.0f);
  // The same single-precision turn as the stamping.
  const float turn = static_cast<float>(a.angle) * -0.0174532924f;
  a.cosA = std::cos(turn);
  a.sinA = std::sin(turn);
  a.mapColumn = AerofoilRecordWhole(r[0], 1000.0f) + PlacementColumn;
  a.mapRow = AerofoilRecordWhole(r[1], 1000.0f) + PlacementRow;
  a.cellsPerPoint = static_cast<double>(V) / FinePoints;
  a.TemplatePoint(NoseK, NoseM, a.leadingRow, a.leadingColumn);
  a.TemplatePoint(TailK, TailM, a.trailingRow, a.trailingColumn);
  const double length = std::hypot(a.trailingRow - a.leadingRow, a.trailingColumn - a.leadingColumn);
  a.directionRow = (a.trailingRow - a.leadingRow) / length;
  a.directionColumn = (a.trailingColumn - a.leadingColumn) / length;

  double first = std::numeric_limits<double>::infinity(), last = -first, nearest = first;
  for (std::int32_t row = 0; row < V; ++row) {
    std::int32_t y0, y1;
    FineSpan(row, V, y0, y1);
    for (std::int32_t col = 0; col < V; ++col) {
      std::int32_t x0, x1;
      FineSpan(col, V, x0, x1);
      bool hit = false;
      for (std::int32_t x = x0; x <= x1 && !hit; ++x)
        for (std::int32_t y = y0; y <= y1 && !hit; ++y) hit = Body(map[static_cast<std::size_t>(x) * FinePoints + y]);
      if (!hit) continue;
      a.cells.push_back(mesh.Index(row, col));
      const double along = (col - a.leadingColumn) * a.directionColumn + (row - a.leadingRow) * a.directionRow;
      const double across = std::fabs((col - a.leadingColumn) * a.directionRow - (row - a.leadingRow) * a.directionColumn);
      first = std::min(first, along);
      if (along > last + 1e-9 || (along > last - 1e-9 && across < nearest)) {
        last = along;
        nearest = across;
        a.trailingEdge = Cell{row, col};
      }
    }
  }
  if (a.cells.empty()) return a;
  a.chord = last - first + 1.0;
  // The condition needs its points past the tail on the mesh.
  const double farColumn = a.trailingEdge.column + TrailingEdgeLastReach * a.directionColumn;
  const double farRow = a.trailingEdge.row + TrailingEdgeLastReach * a.directionRow;
  a.onMesh = farRow >= 0 && farColumn >= 0 && farRow <= V - 1 && farColumn <= V - 1;
  return a;
}

double StreamFunctionAt(const Mesh& mesh, const float* psi, double row, double column) {
  const double last = mesh.VisibleMeshSize - 1;
  row = std::clamp(row, 0.0, last);
  column = std::clamp(column, 0.0, last);
  const std::int32_t r0 = std::min(static_cast<std::int32_t>(row), mesh.VisibleMeshSize - 2);
  const std::int32_t c0 = std::min(static_cast<std::int32_t>(column), mesh.VisibleMeshSize - 2);
  const double fr = row - r0, fc = column - c0;
  return (1 - fr) * ((1 - fc) * psi[mesh.Index(r0, c0)] + fc * psi[mesh.Index(r0, c0 + 1)]) +
         fr * ((1 - fc) * psi[mesh.Index(r0 + 1, c0)] + fc * psi[mesh.Index(r0 + 1, c0 + 1)]);
}

double TrailingEdgeMismatch(const Mesh& mesh, const AerofoilChord& aerofoil, const float* psi) {
  const double edge = psi[mesh.Index(aerofoil.trailingEdge.row, aerofoil.trailingEdge.column)];
  double sum = 0;
  for (int d = TrailingEdgeFirstReach; d <= TrailingEdgeLastReach; ++d)
    sum += StreamFunctionAt(mesh, psi, aerofoil.trailingEdge.row + d * aerofoil.directionRow,
                            aerofoil.trailingEdge.column + d * aerofoil.directionColumn) -
           edge;
  return sum / (TrailingEdgeLastReach - TrailingEdgeFirstReach + 1);
}

LiftResult ApplyLift(const ObjectTable& table, Mesh& mesh, const FreeStream& stream, const StreamSolve& solve,
                     bool scaleCirculationRuns) {
  LiftResult result;
  result.outcome = LiftOutcome::NoAerofoils;
  std::vector<AerofoilChord> aerofoils;
  for (std::int32_t n = 1; n <= MaxAerofoils; ++n) {
    AerofoilChord a = AerofoilChordOf(table, mesh, n);
    if (a.onMesh) aerofoils.push_back(std::move(a));
  }
  if (aerofoils.empty()) return result;

  // One run per aerofoil on a copy of the mesh: the same matrix (scaled by its
  // diagonal when asked), a unit source inside the aerofoil and nothing else.
  const std::size_t cells = static_cast<std::size_t>(mesh.MeshSize) * mesh.MeshSize;
  std::vector<double> scale(cells, 1.0);
  Mesh work = mesh;
  // At the 100 setting the free fluid's weight is 0.001 and the body's ψ five
  // times larger against its source: in single precision the scaled run can
  // then lose its way (some source cells measured at 20-70 % residual after
  // 3000 iterations), while the plain matrix stalls reliably near 0.2 %.
  if (scaleCirculationRuns && !mesh.N100Checked) ScaleByDiagonal(work, scale);
  std::vector<std::vector<float>> unit;
  for (const AerofoilChord& a : aerofoils) {
    std::fill(work.RightHandSide.begin(), work.RightHandSide.end(), 0.0f);
    std::fill(work.StreamFunction.begin(), work.StreamFunction.end(), 0.0f);
    const std::int32_t source = SourceCell(mesh, a);
    work.RightHandSide[static_cast<std::size_t>(source)] = static_cast<float>(scale[static_cast<std::size_t>(source)]);
    const SolverResult run = solve ? solve(work) : DefaultStreamSolve(work);
    result.extra.push_back(run);
    if (!run.Completed()) {
      result.outcome = LiftOutcome::SolveIncomplete;
      return result;
    }
    unit.emplace_back(cells);
    for (std::size_t k = 0; k < cells; ++k)
      unit.back()[k] = static_cast<float>(work.StreamFunction[k] * scale[k]);
  }

  // Strengths s with ψ₀ + Σ s_j ψ_j meeting every trailing-edge condition.
  const std::size_t n = aerofoils.size();
  std::vector<std::vector<double>> a(n, std::vector<double>(n));
  std::vector<double> b(n), strength;
  for (std::size_t i = 0; i < n; ++i) {
    b[i] = -TrailingEdgeMismatch(mesh, aerofoils[i], mesh.StreamFunction.data());
    for (std::size_t j = 0; j < n; ++j) a[i][j] = TrailingEdgeMismatch(mesh, aerofoils[i], unit[j].data());
  }
  if (!SolveSmall(a, b, strength)) {
    result.outcome = LiftOutcome::Singular;
    return result;
  }
  float* psi = mesh.StreamFunction.data();
  for (std::size_t k = 0; k < cells; ++k) {
    double v = psi[k];
    for (std::size_t j = 0; j < n; ++j) v += strength[j] * unit[j][k];
    psi[k] = static_cast<float>(v);
  }

  result.outcome = LiftOutcome::Applied;
  result.freeStreamKnown = stream.Solved() && stream.MeshSize == mesh.MeshSize;
  const double weight = BaseFaceWeight(mesh);
  for (std::size_t i = 0; i < n; ++i) {
    const AerofoilChord& chord = aerofoils[i];
    AerofoilLift lift;
    lift.number = chord.number;
    lift.chord = chord.chord;
    lift.sourceStrength = strength[i];
    // A source lifts ψ on the body above its surroundings: the flow round it
    // turns anticlockwise on the screen.
    lift.circulation = -strength[i] / weight;
    lift.freeStreamSpeed = result.freeStreamKnown ? FreeStreamSpeedAt(stream, chord.CentreRow(), chord.CentreColumn()) : NaN;
    lift.liftCoefficient = 2.0 * lift.circulation / (lift.freeStreamSpeed * lift.chord);
    lift.trailingEdgeMismatch = TrailingEdgeMismatch(mesh, chord, psi) / lift.freeStreamSpeed;
    lift.liftCoefficientPressure = NaN;
    if (result.freeStreamKnown) {
      const SurfacePressure surface = SampleSurfacePressure(table, mesh, stream, KindAerofoil,
                                                            (chord.number - 1) * AerofoilRecordSize);
      lift.liftCoefficientPressure = PressureLiftCoefficient(surface, stream, lift.chord);
    }
    result.aerofoils.push_back(lift);
  }
  return result;
}

LiftResult SolveWithLift(const ObjectTable& table, const ExternalField& field, Mesh& mesh, const LiftOptions& options,
                         FreeStream& stream) {
  const SolverResult plain = options.solve ? options.solve(mesh) : DefaultStreamSolve(mesh);
  LiftResult result;
  if (options.enabled) {
    if (!plain.Completed()) {
      result.outcome = LiftOutcome::PlainRunIncomplete;
    } else {
      UpdateFreeStream(stream, mesh, field, options.solve);
      result = ApplyLift(table, mesh, stream, options.solve, options.scaleCirculationRuns);
    }
  }
  result.plain = plain;
  return result;
}
