// Scenes for the mesh tests: a laid-out mesh of one of the three sizes with its
// arrays, and an object table filled directly, objects placed by visible cell.
#pragma once

#include <algorithm>

#include "geometry/ObjectTable.h"
#include "mesh/Mesh.h"
#include "mesh/MeshSetup.h"

struct MeshScene {
  Mesh mesh;
  ObjectTable table;
  ExternalField field;

  explicit MeshScene(int visible = 100) {
    SetMeshDimensions(mesh, visible);
    mesh.ViewLeft = 16;
    ViewLayout(mesh, 30, 30 + 606);
    AllocSolverArrays(mesh);
  }
  int M() const { return mesh.MeshSize; }
  int V() const { return mesh.VisibleMeshSize; }
  // Pixel of the centre of visible column / row c.
  float X(float c) const { return (c + 0.5f) * mesh.CellWidth; }
  float Y(float r) const { return (r + 0.5f) * mesh.CellHeight; }
  // A rectangle whose outline runs through the centres of the corner cells.
  void AddRect(float r0, float c0, float r1, float c1) {
    float* d = table.RectData.data() + table.RectDataLen;
    const float corners[8] = {X(c0), Y(r0), X(c1), Y(r0), X(c1), Y(r1), X(c0), Y(r1)};
    std::copy(corners, corners + 8, d);
    d[8] = SolidPermeability;
    table.RectDataLen += TenRecordSize;
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
  // Mesh index of visible cell (row, column).
  int K(int row, int col) const { return mesh.Index(row, col); }
  bool CellSolid(int row, int col) const { return mesh.CoefDiag[K(row, col)] == 4.0f; }
};
