// SolidCells: which visible mesh cells are obstacles, for every mesh size. The
// 100 mesh reads its own 100 × 100 map; the 200 and 300 meshes read the fine
// 300 × 300 map at the point under the cell's centre, since the coarse map
// only covers the 100 mesh.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/Mesh.h"

// Fine-map column and row under the centre of visible cell column / row
// `cell`. The fine grid steps ViewRight / 299 across and ViewSize / 299 down
// while the mesh steps ViewSize / (K + 1) both ways, so the match is taken in
// view pixels; without a view layout the grids are taken to span the same.
std::int32_t FineColumnOfCell(const Mesh& mesh, std::int32_t cell);
std::int32_t FineRowOfCell(const Mesh& mesh, std::int32_t cell);

// Whether visible cell (row, column) is solid; cells outside the visible mesh
// are not.
bool IsSolidCell(const Mesh& mesh, std::int32_t row, std::int32_t column);

// The same for every visible cell at once, [row × VisibleMeshSize + column].
std::vector<std::uint8_t> SolidCellMask(const Mesh& mesh);

// Solid test of a visible cell through the mask, cells off the mesh not solid.
struct SolidCells {
  std::vector<std::uint8_t> mask;
  std::int32_t size = 0;
  bool operator()(std::int32_t row, std::int32_t column) const {
    return row >= 0 && column >= 0 && row < size && column < size &&
           mask[static_cast<std::size_t>(row) * size + column];
  }
  bool Enclosed(std::int32_t r, std::int32_t c) const {
    return (*this)(r - 1, c - 1) && (*this)(r - 1, c) && (*this)(r - 1, c + 1) && (*this)(r, c - 1) &&
           (*this)(r, c + 1) && (*this)(r + 1, c - 1) && (*this)(r + 1, c) && (*this)(r + 1, c + 1);
  }
};

inline SolidCells MakeSolidCells(const Mesh& mesh) { return SolidCells{SolidCellMask(mesh), mesh.VisibleMeshSize}; }
