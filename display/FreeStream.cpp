#include "display/FreeStream.h"

#include <algorithm>
#include <cmath>

#include "geometry/ObjectTable.h"
#include "mesh/MeshSetup.h"

SolverResult DefaultStreamSolve(Mesh& mesh) {
  const SolverSettings defaults;
  return SolveStreamFunction(mesh, defaults.ErrorTolerance2);
}

StreamSolve StreamSolveWith(SolverKind kind, float errorTolerance2) {
  return [kind, errorTolerance2](Mesh& m) { return SolveStreamFunctionWith(kind, m, errorTolerance2); };
}

FlowVelocity CellVelocity(const Mesh& mesh, const float* psi, std::int32_t row, std::int32_t column) {
  const std::int32_t k = mesh.Index(row, column), M = mesh.MeshSize;
  return FlowVelocity{(static_cast<double>(psi[k - M]) - psi[k + M]) / 2,
                      (static_cast<double>(psi[k - 1]) - psi[k + 1]) / 2};
}

namespace {

// The empty mesh of the same size and view, set up with the external field.
Mesh EmptyMesh(const Mesh& mesh, const ExternalField& field) {
  Mesh empty;
  empty.MeshSize = mesh.MeshSize;
  empty.VisibleMeshSize = mesh.VisibleMeshSize;
  empty.MeshBorder = mesh.MeshBorder;
  empty.MeshExtended = mesh.MeshExtended;
  empty.N100Checked = mesh.N100Checked;
  empty.N200Checked = mesh.N200Checked;
  empty.N300Checked = mesh.N300Checked;
  empty.ViewLeft = mesh.ViewLeft;
  empty.ViewTop = mesh.ViewTop;
  empty.ViewBottom = mesh.ViewBottom;
  empty.ViewSize = mesh.ViewSize;
  empty.ViewRight = mesh.ViewRight;
  empty.CellWidth = mesh.CellWidth;
  empty.CellHeight = mesh.CellHeight;
  empty.MeshTop = mesh.MeshTop;
  empty.MeshRight = mesh.MeshRight;
  empty.MeshBottom = mesh.MeshBottom;
  AllocSolverArrays(empty);
  MeshSetup(ObjectTable{}, field, empty);
  return empty;
}

// The right-hand side of the empty set-up (stream rows and edge sources),
// without the mesh's ψ.
std::vector<float> EmptyRightHandSide(const Mesh& empty) {
  const std::size_t cells = static_cast<std::size_t>(empty.MeshSize) * empty.MeshSize;
  return std::vector<float>(empty.RightHandSide.begin(), empty.RightHandSide.begin() + cells);
}

}  // namespace

bool FreeStreamMatches(const FreeStream& stream, const Mesh& mesh, const ExternalField& field) {
  return stream.Solved() && stream.MeshSize == mesh.MeshSize && stream.VisibleMeshSize == mesh.VisibleMeshSize &&
         stream.BaseWeight == BaseFaceWeight(mesh) &&
         stream.RightHandSide == EmptyRightHandSide(EmptyMesh(mesh, field));
}

bool UpdateFreeStream(FreeStream& stream, const Mesh& mesh, const ExternalField& field, const StreamSolve& solve) {
  if (FreeStreamMatches(stream, mesh, field)) return true;
  stream = FreeStream{};
  if (mesh.MeshSize <= 0) return false;
  Mesh empty = EmptyMesh(mesh, field);
  const SolverResult run = solve ? solve(empty) : DefaultStreamSolve(empty);
  if (!run.Completed()) return false;
  const std::size_t cells = static_cast<std::size_t>(mesh.MeshSize) * mesh.MeshSize;
  stream.MeshSize = mesh.MeshSize;
  stream.VisibleMeshSize = mesh.VisibleMeshSize;
  stream.MeshBorder = mesh.MeshBorder * mesh.MeshExtended;
  stream.BaseWeight = BaseFaceWeight(mesh);
  stream.RightHandSide = EmptyRightHandSide(empty);
  stream.StreamFunction.assign(empty.StreamFunction.begin(), empty.StreamFunction.begin() + cells);
  stream.run = run;
  return true;
}

FlowVelocity FreeStreamVelocity(const FreeStream& stream, std::int32_t row, std::int32_t column) {
  if (!stream.Solved() || row < 0 || column < 0 || row >= stream.VisibleMeshSize || column >= stream.VisibleMeshSize)
    return {};
  const std::int32_t M = stream.MeshSize, B = stream.MeshBorder;
  const std::size_t k = static_cast<std::size_t>(row + B) * M + static_cast<std::size_t>(column + B);
  const float* psi = stream.StreamFunction.data();
  return FlowVelocity{(static_cast<double>(psi[k - M]) - psi[k + M]) / 2,
                      (static_cast<double>(psi[k - 1]) - psi[k + 1]) / 2};
}

double FreeStreamSpeedAt(const FreeStream& stream, double row, double column) {
  if (!stream.Solved() || !std::isfinite(row) || !std::isfinite(column)) return 0;
  const double last = stream.VisibleMeshSize - 1;
  row = std::clamp(row, 0.0, last);
  column = std::clamp(column, 0.0, last);
  const std::int32_t r0 = std::min(static_cast<std::int32_t>(row), stream.VisibleMeshSize - 2);
  const std::int32_t c0 = std::min(static_cast<std::int32_t>(column), stream.VisibleMeshSize - 2);
  const double fr = row - r0, fc = column - c0;
  double speed = 0;
  for (int a = 0; a < 2; ++a)
    for (int b = 0; b < 2; ++b) {
      const FlowVelocity q = FreeStreamVelocity(stream, r0 + a, c0 + b);
      speed += (a ? fr : 1 - fr) * (b ? fc : 1 - fc) * std::hypot(q.u, q.v);
    }
  return speed;
}
