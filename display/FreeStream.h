// FreeStream: the flow of the empty mesh, the reference against which speed
// ratios, pressure coefficients and lift coefficients are measured. Kept per
// mesh size and stream sources, since it takes a solver run of its own.
// Also the velocity of a solved stream function at a cell.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "mesh/Mesh.h"
#include "mesh/Solver.h"

struct ExternalField;

// A solver run on the system a mesh holds (its coefficient arrays and
// RightHandSide), starting from its StreamFunction.
using StreamSolve = std::function<SolverResult(Mesh&)>;
// The program's run without the window: SolveStreamFunction at the default
// 0.2 % error level.
SolverResult DefaultStreamSolve(Mesh& mesh);
// The chosen solver as a StreamSolve, stopping at `errorTolerance2` (the
// standard solver's level; the fast one stops where it matches it).
StreamSolve StreamSolveWith(SolverKind kind, float errorTolerance2);

// Velocity in stream-function units per cell width: u to the right, v up the
// screen. The stream runs from left to right: ψ falls from the top of the mesh
// to the bottom, u = −∂ψ/∂row and v = −∂ψ/∂column.
struct FlowVelocity {
  double u = 0, v = 0;
};

// Central differences of `psi` (a mesh array, MeshSize² values) at visible cell
// (row, column); the four neighbours must lie inside the mesh.
FlowVelocity CellVelocity(const Mesh& mesh, const float* psi, std::int32_t row, std::int32_t column);

struct FreeStream {
  // What the cached solution was solved for: the mesh size, the free-fluid face
  // weight and the empty set-up's right-hand side (stream rows and edge sources).
  std::int32_t MeshSize = 0;
  std::int32_t VisibleMeshSize = 0;
  std::int32_t MeshBorder = 0;
  float BaseWeight = 0;
  std::vector<float> RightHandSide;
  std::vector<float> StreamFunction;  // the empty mesh's ψ, MeshSize² values
  SolverResult run;                   // the run that solved it

  bool Solved() const { return !StreamFunction.empty(); }
};

// Whether the cache holds the empty mesh of this mesh's size, weights and
// stream sources (the external field's edge terms included).
bool FreeStreamMatches(const FreeStream& stream, const Mesh& mesh, const ExternalField& field);

// Solves the empty mesh (the same size, view and external field, no objects) on
// a mesh of its own unless the cache already holds it; `mesh` is only read.
// False, with the cache emptied, when the run does not complete.
bool UpdateFreeStream(FreeStream& stream, const Mesh& mesh, const ExternalField& field,
                      const StreamSolve& solve = {});

// The empty mesh's velocity at visible cell (row, column), and its speed at a
// point between cells (bilinear between the four cells round it). Zero when the
// cache is empty or the point lies off the visible mesh.
FlowVelocity FreeStreamVelocity(const FreeStream& stream, std::int32_t row, std::int32_t column);
double FreeStreamSpeedAt(const FreeStream& stream, double row, double column);
