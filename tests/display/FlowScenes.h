// Hand-made flows for the display tests on a view of three pixels per cell: a
// uniform stream, the potential flow round a centred circle, solid maps marked
// by geometry, and pixel helpers.
#pragma once

#include <QImage>
#include <cmath>
#include <functional>

#include "display/FlowDisplay.h"
#include "mesh/Mesh.h"
#include "platform/Canvas.h"
#include "platform/UiState.h"

namespace flowscenes {

inline Mesh MakeMesh(int visible) {
  Mesh mesh;
  SetMeshDimensions(mesh, visible);
  AllocSolverArrays(mesh);
  ViewLayout(mesh, 0, 3 * (visible + 1));
  return mesh;
}

// ψ = a × row: horizontal flow lines, speed a everywhere.
inline void UniformStream(Mesh& mesh, float a) {
  for (int k = 0; k < mesh.MeshSize * mesh.MeshSize; ++k) mesh.StreamFunction[k] = a * (k / mesh.MeshSize);
}

struct Circle {
  float row, column, radius;  // mesh coordinates
};
inline Circle CentredCircle(const Mesh& mesh) {
  const float centre = static_cast<float>(mesh.MeshSize - 1) / 2.0f;
  return {centre, centre, 0.15f * static_cast<float>(mesh.VisibleMeshSize)};
}

// Marks the solid maps where `inside(meshRow, meshColumn)` holds: the coarse map
// (100 mesh) at cell centres, the fine map at each point's pixel centre.
inline void MarkSolid(Mesh& mesh, const std::function<bool(float, float)>& inside) {
  const float b = static_cast<float>(mesh.MeshBorder);
  for (int c = 0; c < 100 && mesh.VisibleMeshSize == 100; ++c)
    for (int r = 0; r < 100; ++r)
      if (inside(r + b, c + b)) mesh.SolidMapCoarse[c * 100 + r] = 's';
  const float w = mesh.ViewRight / 299.0f / mesh.CellWidth, h = mesh.ViewSize / 299.0f / mesh.CellHeight;
  for (int c = 0; c < 300; ++c)
    for (int r = 0; r < 300; ++r)
      if (inside((r + 0.5f) * h - 0.5f + b, (c + 0.5f) * w - 0.5f + b)) mesh.SolidMap[c * Mesh::SolidMapStride + r] = 's';
}

// Uniform stream of speed 1 past a cylinder: ψ = y (1 - R² / d²) outside, 0
// inside, y upwards; stagnation points left and right, speed 2 at the shoulders.
inline void CircleFlow(Mesh& mesh, const Circle& circle) {
  const int n = mesh.MeshSize;
  const float r2 = circle.radius * circle.radius;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      const float y = circle.row - r, x = c - circle.column, d2 = x * x + y * y;
      mesh.StreamFunction[r * n + c] = d2 <= r2 ? 0.0f : y * (1.0f - r2 / d2);
    }
  MarkSolid(mesh, [&](float r, float c) { return std::hypot(r - circle.row, c - circle.column) < circle.radius; });
}

// Pixel centre of mesh column / row.
inline int PixelX(const Mesh& mesh, float column) { return static_cast<int>((column - mesh.MeshBorder) * mesh.CellWidth + mesh.CellWidth / 2); }
inline int PixelY(const Mesh& mesh, float row) { return static_cast<int>((row - mesh.MeshBorder) * mesh.CellHeight + mesh.CellHeight / 2); }

inline Rgb PixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)), static_cast<std::uint8_t>(qBlue(p))};
}
inline bool IsBlack(const QImage& image, int x, int y) {
  return x >= 0 && y >= 0 && x < image.width() && y < image.height() && (image.pixel(x, y) & 0xFFFFFF) == 0;
}

// Thickness of the thickest black mark in a pixel box: the shorter of the
// horizontal and vertical black runs through a pixel, at its largest.
inline int ThickestMark(const QImage& image, int x0, int y0, int x1, int y1) {
  int thickest = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      if (!IsBlack(image, x, y)) continue;
      int h = 1, v = 1;
      for (int i = 1; IsBlack(image, x + i, y); ++i) ++h;
      for (int i = 1; IsBlack(image, x - i, y); ++i) ++h;
      for (int i = 1; IsBlack(image, x, y + i); ++i) ++v;
      for (int i = 1; IsBlack(image, x, y - i); ++i) ++v;
      thickest = std::max(thickest, std::min(h, v));
    }
  return thickest;
}

}  // namespace flowscenes
