// Mesh: the square mesh under the view: its three sizes with their hidden
// border, the view geometry that maps pixels to cells, the ten solver arrays and
// the solid maps that set-up writes and the displays read.
#pragma once

#include <cstdint>
#include <vector>


struct Mesh {
  // Dimensions: 100 / 120 / 10, 200 / 238 / 19 or 300 / 358 / 29.
  std::int32_t MeshSize = 120;
  std::int32_t VisibleMeshSize = 100;
  std::int32_t MeshBorder = 10;
  std::int32_t MeshExtended = 1;  // the border is hidden
  // The mesh-size check marks; set-up asks N100 for its weights.
  bool N100Checked = true;
  bool N200Checked = false;
  bool N300Checked = false;

  // View geometry, in view pixels.
  std::int32_t ViewLeft = 0, ViewTop = 0, ViewBottom = 0, ViewSize = 0, ViewRight = 0;
  float CellWidth = 0, CellHeight = 0;
  std::int32_t MeshLeft = 0, MeshTop = 0, MeshRight = 0, MeshBottom = 0;
  std::int32_t DrawAreaLeft = 0, DrawAreaRight = 0, DrawAreaTop = 0, DrawAreaBottom = 0;
  std::int32_t MeshCentreX = 0, MeshCentreY = 0;

  // Solver arrays, MeshSize² + 2·MeshSize singles each, cell (r, c) at r·MeshSize + c.
  std::vector<float> CoefSouth, CoefEast, CoefDiag, RightHandSide, StreamFunction, StreamDisplay, PressureField,
      LogUpper, LogLower, SpeedField;

  // Solid maps, column-major, 's' marks an obstacle: 100 × 100 visible cells, and
  // the 300 × 300 fine points with a column stride of 359.
  static constexpr int SolidMapStride = 359;
  std::vector<char> SolidMapCoarse = std::vector<char>(100 * 100, ' ');
  std::vector<char> SolidMap = std::vector<char>(SolidMapStride * SolidMapStride, ' ');

  // Analyse > Run needs a set-up at the current size.
  bool SystemReady = false;
  // The size the coefficient arrays were last set up for (0: never).
  std::int32_t SetupMeshSize = 0;

  // K: the cells across the view.
  std::int32_t ShownCells() const { return MeshExtended ? VisibleMeshSize : MeshSize; }
  std::int32_t ArrayLength() const { return MeshSize * MeshSize + 2 * MeshSize; }
  // Solver index of visible cell (row, column).
  std::int32_t Index(std::int32_t row, std::int32_t column) const {
    const std::int32_t b = MeshBorder * MeshExtended;
    return (row + b) * MeshSize + column + b;
  }
};

struct Cell {
  std::int32_t row = 0, column = 0;
  bool operator==(const Cell&) const = default;
};

// Allocates the ten solver arrays for the current MeshSize, every element 0.
// The fine grid's steps in view pixels: ViewRight / 299 across, ViewSize / 299
// down.
inline float FineStepX(const Mesh& mesh) { return static_cast<float>(mesh.ViewRight) / 299.0f; }
inline float FineStepY(const Mesh& mesh) { return static_cast<float>(mesh.ViewSize) / 299.0f; }

void AllocSolverArrays(Mesh& mesh);
void FreeSolverArrays(Mesh& mesh);
// Dimensions for a visible size of 100, 200 or 300 (anything else is refused
// and changes nothing); returns whether it was accepted.
bool SetMeshDimensions(Mesh& mesh, std::int32_t visibleSize);
// The view geometry from the window: the view runs from toolPanelHeight down to
// clientHeight, its left edge at mesh.ViewLeft.
void ViewLayout(Mesh& mesh, std::int32_t toolPanelHeight, std::int32_t clientHeight);

// Visible cell under a view pixel (truncation: a boundary pixel belongs to the
// cell on its right / below).
Cell PixelToCell(const Mesh& mesh, float x, float y);
// Centre of a visible cell in view pixels.
void CellCentre(const Mesh& mesh, Cell cell, float& x, float& y);
