// SurfacePressure: the pressure coefficient along the outline of one object,
// with the exact value beside it for a circular section, the pressure lift of
// an aerofoil, and the speed ratio and Cp at a cell for the gauge. All of it is
// measured against the empty mesh's flow (FreeStream), so it needs no
// calibration.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/FreeStream.h"
#include "mesh/Mesh.h"

struct ObjectTable;

// What a sample's position counts: the angle round a circle (degrees, 0 at the
// upstream point, 90 at the top, 180 downstream), x/c along an aerofoil's chord
// (0 at the nose), or the arc length round a four-cornered outline in cells from
// its first corner.
enum class SurfaceAxis { None, AngleDegrees, XOverC, ArcLength };
enum class SurfaceSide { None, Upper, Lower };

struct SurfaceSample {
  double position = 0;
  SurfaceSide side = SurfaceSide::None;
  // Where the value applies, in visible-cell coordinates: the body's surface as
  // the flow meets it, one cell out from the outline cells' centres (the first
  // free cells, which the body's faces hold at its own ψ).
  double row = 0, column = 0;
  double speedRatio = 0;  // tangential speed / U∞, signed: positive along increasing position
  double cp = 0;          // 1 − (q / U∞)²
  double cpExact = 0;     // circle: 1 − 4 sin²θ; otherwise NaN
};

struct SurfacePressure {
  std::int32_t kind = -1;  // the object's kind code; -1: nothing to sample
  SurfaceAxis axis = SurfaceAxis::None;
  std::vector<SurfaceSample> samples;  // in order along the outline; aerofoil: upper then lower, nose to tail
  double freeStreamSpeed = 0;          // U∞ at the object's centre
  bool hasExact = false;
  double rmsDifference = 0;            // circle: RMS of cp − cpExact over the samples
};

// Cp is read where the staircase of the cells has smoothed out, two and three
// cells beyond the surface, from the tangential velocity there, and carried in
// to the surface by the flow round the outline's circle of curvature
// (q(r) ∝ 1 + ρ²/r²; flat outlines carry unchanged); the two readings are
// averaged. Right at the surface the cell steps of a drawn outline swing the
// speed by a third either way.
inline constexpr double SurfaceReadingNear = 3.0;  // cells from the outline cells' centres
inline constexpr double SurfaceReadingFar = 4.0;
inline constexpr double SurfaceOffset = 1.0;       // the surface, from the outline cells' centres

// The samples round object `offset` (the record's offset in singles; for an
// aerofoil 0, 4 or 8) of kind `kind`. Empty (kind -1) without a solution, a
// free stream or an outline (a wire), or for an object off the mesh; samples
// whose readings fall on solid cells or off the mesh are left out.
SurfacePressure SampleSurfacePressure(const ObjectTable& table, const Mesh& mesh, const FreeStream& stream,
                                      std::int32_t kind, std::int32_t offset);
SurfacePressure SampleSelectedSurface(const ObjectTable& table, const Mesh& mesh, const FreeStream& stream);

// −∮ Cp (n · lift) ds / chord round the samples taken as a closed outline, the
// lift direction square to the free stream at the object (to its left, so up
// for the stream from left to right).
double PressureLiftCoefficient(const SurfacePressure& surface, const FreeStream& stream, double chord);

// Where the flow divides at the tail of an aerofoil: the distance along its
// surface, in cells, from the trailing edge (the samples at x/c = 1) to the
// point on the rear half where the tangential speed changes sign; 0 when both
// surfaces run towards the tail all the way to it. NaN for other outlines.
double RearStagnationDistance(const SurfacePressure& surface);

// The gauge's U/U∞ and Cp at visible cell (row, column): the speed from
// central differences (one-sided beside an obstacle), over the empty mesh's
// speed at the same cell. Over an obstacle `solid` is set and both are 0.
struct PointFlow {
  bool valid = false;
  bool solid = false;
  double speedRatio = 0;
  double cp = 0;
};
PointFlow FlowAtCell(const Mesh& mesh, const FreeStream& stream, std::int32_t row, std::int32_t column);

// The samples as the command line writes them: a header line, then one line per
// sample: the position (angle_deg, x_over_c or arc_length), the surface (upper,
// lower or empty), cp, and for a circle cp_exact.
std::string SurfacePressureCsv(const SurfacePressure& surface);
