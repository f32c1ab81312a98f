#include "display/SolidCells.h"

namespace {
constexpr std::int32_t FinePoints = 300;
constexpr std::int32_t CoarseCells = 100;

bool UsesCoarseMap(const Mesh& mesh) { return mesh.VisibleMeshSize == CoarseCells && mesh.N100Checked; }

std::int32_t FinePoint(const Mesh& mesh, std::int32_t cell, std::int32_t fineSpan) {
  const std::int64_t k = mesh.ShownCells() > 0 ? mesh.ShownCells() : 1;
  std::int64_t point;
  if (mesh.ViewSize > 0 && fineSpan > 0)
    // (cell + 1/2) × ViewSize / (K + 1) pixels, over fineSpan / 299 pixels a point.
    point = (2 * cell + 1) * static_cast<std::int64_t>(mesh.ViewSize) * (FinePoints - 1) / (2 * (k + 1) * fineSpan);
  else
    point = (2 * cell + 1) * FinePoints / (2 * k);
  return static_cast<std::int32_t>(point < 0 ? 0 : point >= FinePoints ? FinePoints - 1 : point);
}
}  // namespace

std::int32_t FineColumnOfCell(const Mesh& mesh, std::int32_t cell) { return FinePoint(mesh, cell, mesh.ViewRight); }
std::int32_t FineRowOfCell(const Mesh& mesh, std::int32_t cell) { return FinePoint(mesh, cell, mesh.ViewSize); }

bool IsSolidCell(const Mesh& mesh, std::int32_t row, std::int32_t column) {
  if (row < 0 || column < 0 || row >= mesh.VisibleMeshSize || column >= mesh.VisibleMeshSize) return false;
  if (UsesCoarseMap(mesh)) {
    const std::size_t i = static_cast<std::size_t>(column) * CoarseCells + static_cast<std::size_t>(row);
    return i < mesh.SolidMapCoarse.size() && mesh.SolidMapCoarse[i] == 's';
  }
  const std::size_t i = static_cast<std::size_t>(FineColumnOfCell(mesh, column)) * Mesh::SolidMapStride +
                        static_cast<std::size_t>(FineRowOfCell(mesh, row));
  return i < mesh.SolidMap.size() && mesh.SolidMap[i] == 's';
}

std::vector<std::uint8_t> SolidCellMask(const Mesh& mesh) {
  const std::int32_t n = mesh.VisibleMeshSize > 0 ? mesh.VisibleMeshSize : 0;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0);
  for (std::int32_t r = 0; r < n; ++r)
    for (std::int32_t c = 0; c < n; ++c)
      mask[static_cast<std::size_t>(r) * n + c] = IsSolidCell(mesh, r, c) ? 1 : 0;
  return mask;
}
