// Hand-made flows for the display tests: a mesh of any of the three sizes on a
// view of three pixels per cell, a uniform stream, the potential flow round a
// centred circle with its solid maps, and pixel helpers.
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
  ViewLayout(mesh, 0, 3 * (visible + 1));  // CellWidth = CellHeight = 3
  return mesh;
}

// ψ = a × row: flow lines are horizontal rows, the speed is a everywhere.
inline void UniformStream(Mesh& mesh, float a) {
  const int n = mesh.MeshSize;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) mesh.StreamFunction[r * n + c] = a * static_cast<float>(r);
}

struct Circle {
  float row, column, radius;  // mesh coordinates
};

inline Circle CentredCircle(const Mesh& mesh) {
  const float centre = static_cast<float>(mesh.MeshSize - 1) / 2.0f;
  return {centre, centre, 0.15f * static_cast<float>(mesh.VisibleMeshSize)};
}

// Uniform stream of speed 1 past a cylinder: ψ = y (1 - R² / d²) outside, 0 inside,
// y upwards from the centre. Stagnation points left and right, shoulders (speed 2)
// above and below.
inline void CircleFlow(Mesh& mesh, const Circle& circle) {
  const int n = mesh.MeshSize;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      const float y = circle.row - static_cast<float>(r), x = static_cast<float>(c) - circle.column;
      const float d2 = x * x + y * y, r2 = circle.radius * circle.radius;
      mesh.StreamFunction[r * n + c] = d2 <= r2 ? 0.0f : y * (1.0f - r2 / d2);
    }
}

// Marks the solid maps where `inside(meshRow, meshColumn)` holds: the coarse map
// by cell centres (100 mesh), the fine map by the mesh position under each fine
// point's pixel centre.
inline void MarkSolid(Mesh& mesh, const std::function<bool(float, float)>& inside) {
  const float b = static_cast<float>(mesh.MeshBorder);
  if (mesh.VisibleMeshSize == 100)
    for (int c = 0; c < 100; ++c)
      for (int r = 0; r < 100; ++r)
        if (inside(static_cast<float>(r) + b, static_cast<float>(c) + b)) mesh.SolidMapCoarse[c * 100 + r] = 's';
  const float w = static_cast<float>(mesh.ViewRight) / 299.0f, h = static_cast<float>(mesh.ViewSize) / 299.0f;
  for (int c = 0; c < 300; ++c)
    for (int r = 0; r < 300; ++r) {
      const float row = (static_cast<float>(r) + 0.5f) * h / mesh.CellHeight - 0.5f + b;
      const float column = (static_cast<float>(c) + 0.5f) * w / mesh.CellWidth - 0.5f + b;
      if (inside(row, column)) mesh.SolidMap[c * Mesh::SolidMapStride + r] = 's';
    }
}

inline void MarkSolidCircle(Mesh& mesh, const Circle& circle) {
  MarkSolid(mesh, [&](float r, float c) {
    return std::hypot(r - circle.row, c - circle.column) < circle.radius;
  });
}

// Pixel centre of mesh point (row, column) on the view.
inline int PixelX(const Mesh& mesh, float column) {
  return static_cast<int>((column - static_cast<float>(mesh.MeshBorder)) * mesh.CellWidth + mesh.CellWidth / 2);
}
inline int PixelY(const Mesh& mesh, float row) {
  return static_cast<int>((row - static_cast<float>(mesh.MeshBorder)) * mesh.CellHeight + mesh.CellHeight / 2);
}

inline bool IsBlack(const QImage& image, int x, int y) {
  if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return false;
  return (image.pixel(x, y) & 0xFFFFFF) == 0;
}

inline Rgb PixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
          static_cast<std::uint8_t>(qBlue(p))};
}

// Thickness of the black mark through (x, y): the shorter of its horizontal and
// vertical black runs.
inline int MarkThickness(const QImage& image, int x, int y) {
  if (!IsBlack(image, x, y)) return 0;
  auto run = [&](int dx, int dy) {
    int length = 1;
    for (int i = 1; IsBlack(image, x + i * dx, y + i * dy); ++i) ++length;
    for (int i = 1; IsBlack(image, x - i * dx, y - i * dy); ++i) ++length;
    return length;
  };
  return std::min(run(1, 0), run(0, 1));
}

inline int ThickestMark(const QImage& image, int x0, int y0, int x1, int y1) {
  int thickest = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) thickest = std::max(thickest, MarkThickness(image, x, y));
  return thickest;
}

}  // namespace flowscenes
