// SurfacePressureDrawing: the graph of the pressure coefficient along the
// outline of one object, on the screen's plot bitmap or on a printed page.
#pragma once

#include <cstdint>
#include <string>

#include "display/LinePlot.h"
#include "display/SurfacePressure.h"
#include "mesh/Mesh.h"
#include "platform/Canvas.h"

// The rectangle the graph fills (right and bottom exclusive), its pen and
// font. Every distance inside is a hundredth of the height, so the screen and
// a page show the same picture.
struct SurfacePlotLayout {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t pen = 1;  // axes; the curves are twice as wide
  std::int32_t fontPixels = 12;
};
// The plot bitmap of the view: as wide as the square view, as high.
SurfacePlotLayout ScreenSurfacePlotLayout(const Mesh& mesh);
// The square print area of a page.
SurfacePlotLayout PageSurfacePlotLayout(const PlotPageArea& area);

// The caption of the horizontal axis for the kind of outline.
std::string SurfaceAxisCaption(SurfaceAxis axis);

// Title, axes with their scales, Cp against the position along the outline
// with its negative values upward (suction above, as pressure plots of
// aerofoils are read). An aerofoil's upper and lower surfaces are two curves;
// a circular section has 1 − 4 sin²θ beside its curve and the RMS difference
// in the legend. The surface is white beforehand; nothing is drawn outside
// the layout's rectangle.
void DrawSurfacePressure(Canvas& canvas, const SurfacePressure& surface, const std::string& title,
                         const SurfacePlotLayout& layout);

// A printed page: the border round the print area, then the graph inside it.
void DrawSurfacePressurePage(Canvas& page, const SurfacePressure& surface, const std::string& title,
                             const PlotPageArea& area);
