// HitTest: which object a view point falls on, and the pixel rounding that
// the geometry uses throughout. Plain arithmetic on the object table; the
// selection's drawing lives with the outlines.
#pragma once

#include <cstdint>

#include "geometry/GeometryState.h"
#include "geometry/ObjectTable.h"
#include "mesh/Mesh.h"

// A pixel value rounded the way every geometry drawing rounds: to the nearest
// integer, ties to even.
std::int32_t RoundPixel(float value);

// Copies the selected record out of the table; false when the selection names
// no existing record (then nothing is selected).
bool LoadSelectedRecord(ObjectTable& table);
// Makes record `offset` of `kind` the selection.
void Select(ObjectTable& table, std::int32_t kind, std::int32_t offset);

// Hit test of one polygon (four corners as x, y pairs) against the click:
// sets CornerHit / HitEdge / EdgeMeasures[0] (the largest angle per unit of
// edge length).
void EdgeTest(GeometryState& geometry, const float* corners, float x, float y);

// The rectangles, magnets and coils of `kind` round (x, y): a corner hit
// selects at once; otherwise the record whose nearest edge subtends the
// largest angle per length wins (BestHitMeasure carries it between kinds).
void HitPolygonKind(ObjectTable& table, GeometryState& geometry, std::int32_t kind, float x, float y);
// The circles of `kind` holding (x, y); of nested ones the last added wins.
void HitCircleKind(ObjectTable& table, std::int32_t kind, float x, float y);

// The aerofoil-map cell under a view pixel; false when the pixel lies off the
// 300 × 300 frame.
bool PixelToAerofoilCell(const Mesh& mesh, float x, float y, std::int32_t& i, std::int32_t& j);
