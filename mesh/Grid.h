// Grid: the dot or line pattern of the mesh with every tenth line emphasised,
// and the two centre lines. Drawn in exclusive-or, so a second drawing of the
// same pattern removes it without touching what lies underneath.
#pragma once

#include <cstdint>

#include "mesh/GridState.h"
#include "mesh/Mesh.h"

class Canvas;


// Where and how the pattern lands: the screen origin (MeshLeft, MeshTop) with
// xor pens, or a printer page with its origin and pen unit.
struct GridTarget {
  std::int32_t originX = 0, originY = 0;
  bool printer = false;
  std::int32_t penUnit = 1;
};

void DrawGridDots(Canvas& canvas, const Mesh& mesh, GridState& grid, const GridTarget& target = {});
void DrawGridLines(Canvas& canvas, const Mesh& mesh, GridState& grid, const GridTarget& target = {});
void DrawCentreLines(Canvas& canvas, const Mesh& mesh, const GridTarget& target = {});
// The pattern of the current type as a full redraw wants it: nothing when the
// grid is hidden, lines when Lines is checked, else dots (and the dots code).
void DrawCurrentGrid(Canvas& canvas, const Mesh& mesh, GridState& grid, const GridTarget& target = {});

// The Tools menu commands on the pattern; each returns whether it changed the
// document (the caller marks it modified and takes a new view snapshot).
bool ChooseGridDots(Canvas& canvas, const Mesh& mesh, GridState& grid);
bool ChooseGridLines(Canvas& canvas, const Mesh& mesh, GridState& grid);
void ToggleShowGrid(Canvas& canvas, const Mesh& mesh, GridState& grid);
void ToggleCentreLines(Canvas& canvas, const Mesh& mesh, GridState& grid);

// Paints the view white with a black one-pixel pen in force afterwards.
void ClearView(Canvas& canvas, const Mesh& mesh);
