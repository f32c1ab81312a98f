// SolidFill: View > Solid fill, the obstacles of the fine solid map painted
// grey on the view or on a printed page.
#pragma once

#include <cstdint>

#include "mesh/Mesh.h"

class Canvas;

// Where the solid fill lands: the view, or a printer page with its origin, its
// fine steps and its pen unit. Zero steps mean the view's own (ViewRight / 299,
// ViewSize / 299).
struct SolidFillTarget {
  std::int32_t originX = 0, originY = 0;
  float fineStepX = 0, fineStepY = 0;
  bool printer = false;
  std::int32_t penUnit = 1;
};

// One short grey line per pixel row of every solid fine point; the aerofoils'
// strokes are wider and sit one fine step up and to the left.
void PaintSolidFill(Canvas& canvas, const Mesh& mesh, const SolidFillTarget& target, bool aerofoilStrokes);
