#include "mesh/Mesh.h"

#include <cmath>


void AllocSolverArrays(Mesh& mesh) {
  const std::size_t n = static_cast<std::size_t>(mesh.ArrayLength());
  for (std::vector<float>* a : {&mesh.CoefSouth, &mesh.CoefEast, &mesh.CoefDiag, &mesh.RightHandSide,
                                &mesh.StreamFunction, &mesh.StreamDisplay, &mesh.PressureField, &mesh.LogUpper,
                                &mesh.LogLower, &mesh.SpeedField})
    a->assign(n, 0.0f);
}

void FreeSolverArrays(Mesh& mesh) {
  for (std::vector<float>* a : {&mesh.CoefSouth, &mesh.CoefEast, &mesh.CoefDiag, &mesh.RightHandSide,
                                &mesh.StreamFunction, &mesh.StreamDisplay, &mesh.PressureField, &mesh.LogUpper,
                                &mesh.LogLower, &mesh.SpeedField}) {
    a->clear();
    a->shrink_to_fit();
  }
}

bool SetMeshDimensions(Mesh& mesh, std::int32_t visibleSize) {
  switch (visibleSize) {
    case 100: mesh.MeshSize = 120; break;
    case 200: mesh.MeshSize = 238; break;
    case 300: mesh.MeshSize = 358; break;
    default: return false;
  }
  mesh.VisibleMeshSize = visibleSize;
  mesh.MeshBorder = (mesh.MeshSize - mesh.VisibleMeshSize) / 2;
  mesh.N100Checked = visibleSize == 100;
  mesh.N200Checked = visibleSize == 200;
  mesh.N300Checked = visibleSize == 300;
  return true;
}

void ViewLayout(Mesh& mesh, std::int32_t toolPanelHeight, std::int32_t clientHeight) {
  const std::int32_t k = mesh.ShownCells();
  mesh.MeshBorder = (mesh.MeshSize - mesh.VisibleMeshSize) / 2;
  mesh.ViewTop = toolPanelHeight;
  mesh.ViewBottom = clientHeight;
  mesh.ViewSize = mesh.ViewBottom - mesh.ViewTop;
  mesh.ViewRight = mesh.ViewSize + mesh.ViewLeft;
  mesh.CellWidth = static_cast<float>(mesh.ViewSize) / static_cast<float>(k + 1);
  mesh.CellHeight = static_cast<float>(mesh.ViewBottom - mesh.ViewTop) / static_cast<float>(k + 1);
  if (mesh.CellWidth > mesh.CellHeight)
    mesh.CellWidth = mesh.CellHeight;
  else
    mesh.CellHeight = mesh.CellWidth;
  mesh.MeshLeft = 0;
  mesh.MeshTop = 0;
  mesh.MeshRight = mesh.ViewRight;
  mesh.MeshBottom = mesh.ViewSize;
  const float hidden = static_cast<float>(1 - mesh.MeshExtended);
  mesh.DrawAreaLeft = static_cast<std::int32_t>(hidden * mesh.MeshBorder * mesh.CellWidth);
  mesh.DrawAreaRight = mesh.MeshRight - static_cast<std::int32_t>((mesh.MeshBorder + 1) * mesh.CellWidth * hidden);
  mesh.DrawAreaTop = static_cast<std::int32_t>(hidden * mesh.MeshBorder * mesh.CellHeight) + mesh.MeshTop;
  mesh.DrawAreaBottom =
      mesh.MeshBottom - static_cast<std::int32_t>((mesh.MeshBorder + 1) * mesh.CellHeight * hidden);
  mesh.MeshCentreX = static_cast<std::int32_t>(k * mesh.CellWidth) / 2;
  mesh.MeshCentreY = static_cast<std::int32_t>(k * mesh.CellHeight) / 2;
}

Cell PixelToCell(const Mesh& mesh, float x, float y) {
  return Cell{static_cast<std::int32_t>((y - mesh.MeshTop) / mesh.CellHeight),
              static_cast<std::int32_t>(x / mesh.CellWidth)};
}

void CellCentre(const Mesh& mesh, Cell cell, float& x, float& y) {
  x = mesh.CellWidth / 2 + cell.column * mesh.CellWidth;
  y = mesh.MeshTop + mesh.CellHeight / 2 + cell.row * mesh.CellHeight;
}
