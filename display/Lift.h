// Lift: the circulation each aerofoil takes so that the flow leaves its
// trailing edge smoothly, added to the solved stream function, with the lift
// coefficients it gives. An addition to the plain run: nothing here is called
// while Analyse > Lift is off.
#pragma once

#include <cstdint>
#include <vector>

#include "display/FreeStream.h"
#include "mesh/Mesh.h"
#include "mesh/Solver.h"

struct ObjectTable;
struct ExternalField;

// An aerofoil as the mesh holds it, in visible-cell coordinates (column to the
// right, row down the screen, cell centres at whole numbers).
struct AerofoilChord {
  bool onMesh = false;      // it has solid cells, and its trailing edge lies inside the mesh
  std::int32_t number = 0;  // 1..3
  std::int32_t angle = 0;   // degrees, nose up
  // The profile's nose and tail points, and the unit vector from one to the other.
  double leadingColumn = 0, leadingRow = 0, trailingColumn = 0, trailingRow = 0;
  double directionColumn = 1, directionRow = 0;
  // The extent of its solid cells along the chord, plus one cell for the half
  // cells at either end: 151 cells for the profile on the 300 mesh.
  double chord = 0;
  // The trailing-edge cell: its solid cell farthest along the chord (the one
  // nearest the chord line among equals).
  Cell trailingEdge;
  // Mesh indexes of its solid cells: the cells whose fine points hold its
  // profile, as set-up marks them.
  std::vector<std::int32_t> cells;

  double CentreColumn() const { return (leadingColumn + trailingColumn) / 2; }
  double CentreRow() const { return (leadingRow + trailingRow) / 2; }

  // Where point (k along the chord from the nose, m across it) of the profile
  // template lies on the mesh, as the stamping turns and places it.
  void TemplatePoint(double k, double m, double& row, double& column) const;
  // The stamping's turn and the map point the template's chord centre lands on.
  double cosA = 1, sinA = 0, mapColumn = 0, mapRow = 0;
  double cellsPerPoint = 1;  // visible cells per fine-map point
};

// The aerofoil of slot `number` (1..3); onMesh is false for an empty slot.
AerofoilChord AerofoilChordOf(const ObjectTable& table, const Mesh& mesh, std::int32_t number);

// The trailing-edge condition: the mean, over the points 2, 3, 4, 5 and 6
// cells downstream of the trailing-edge cell along the chord line, of ψ there
// (bilinear between the cells round each point) minus ψ of the trailing-edge
// cell itself; zero when the dividing streamline leaves from the trailing edge
// along the chord. Not the point one cell on: that cell shares a face of
// obstacle weight with the edge and is held to its value whatever the
// circulation, so matching it is a balance of face weights rather than of the
// flow (it gives half as much lift again at 0 degrees and a curved lift line).
// A single point further on follows the cell steps of the stamped tail (the lift
// line zigzags by ±0.1 between angles); the mean over five points smooths them.
// The trailing-edge cell's own value is taken, not the body's mean, since a
// body's ψ drifts along its length through its finite face weights.
inline constexpr int TrailingEdgeFirstReach = 2;
inline constexpr int TrailingEdgeLastReach = 6;
double TrailingEdgeMismatch(const Mesh& mesh, const AerofoilChord& aerofoil, const float* psi);

// ψ between cell centres, bilinear; held to the visible mesh.
double StreamFunctionAt(const Mesh& mesh, const float* psi, double row, double column);

struct LiftOptions {
  bool enabled = false;  // Analyse > "Lift (trailing-edge condition)"
  StreamSolve solve;     // every run, the plain one included; empty: DefaultStreamSolve
  // The circulation runs hand the solver the system scaled by its diagonal
  // (D^-1/2 A D^-1/2, the same solution scaled back). Plain conjugate
  // gradients then need the minimum 1002 iterations instead of about 5400 on
  // the 300 mesh, since their source sits among the obstacle's face weights,
  // 200 times the fluid's. Not at the 100 setting, where single precision
  // cannot carry the scaled run (see Lift.cpp). A solver that preconditions
  // itself may not need it.
  bool scaleCirculationRuns = true;
};

struct AerofoilLift {
  std::int32_t number = 0;  // 1..3
  // Γ, the line integral of the velocity round the aerofoil, clockwise on the
  // screen: positive lifts it in the stream from left to right. Cell widths
  // times the velocity unit of the stream function.
  double circulation = 0;
  double liftCoefficient = 0;          // Kutta-Joukowski: 2Γ / (U∞ c)
  double liftCoefficientPressure = 0;  // -∮ Cp n·lift ds / c on its outline
  double freeStreamSpeed = 0;          // U∞: the empty mesh's speed at its chord centre
  double chord = 0;                    // c, cells
  double sourceStrength = 0;           // the right-hand-side total put on its cells (Γ = −strength / BaseFaceWeight)
  double trailingEdgeMismatch = 0;     // of the final ψ, over U∞: ψ difference per cell width of free stream
};

enum class LiftOutcome {
  Off,                // lift is switched off: only the plain run was made
  PlainRunIncomplete, // the plain run was abandoned or failed; nothing added
  NoAerofoils,        // no aerofoil on the mesh; the plain solution stands
  Applied,            // every aerofoil on the mesh carries its circulation
  SolveIncomplete,    // a circulation run did not complete; the plain solution stands
  Singular,           // the trailing-edge conditions could not be solved; the plain solution stands
};

struct LiftResult {
  LiftOutcome outcome = LiftOutcome::Off;
  SolverResult plain;                // the plain run (SolveWithLift only)
  std::vector<SolverResult> extra;   // one circulation run per aerofoil on the mesh
  std::vector<AerofoilLift> aerofoils;
  bool freeStreamKnown = false;      // false: the coefficients are NaN
};

// The circulation runs after a completed plain run: one per aerofoil on the
// mesh, each on a copy of the mesh whose right-hand side holds only a unit
// source inside that aerofoil (its ψ then carries a circulation of
// 1 / BaseFaceWeight round it). The source sits in the aerofoil's cell nearest
// its chord centre: the obstacle's face weights hold its cells close to one
// value, so the lift differs by 0.4 % from a source spread evenly over them,
// while a spread source gives each cell a share below the single-precision
// rounding of its products and the run never converges. The strengths that
// meet every aerofoil's trailing-edge condition at once are added into
// mesh.StreamFunction; the coefficient arrays and RightHandSide are left as
// they are. Call once per plain run. The coefficients need `stream` to be up
// to date (UpdateFreeStream).
LiftResult ApplyLift(const ObjectTable& table, Mesh& mesh, const FreeStream& stream, const StreamSolve& solve = {},
                     bool scaleCirculationRuns = true);

// Analyse > Run with the lift choice: the plain run, and when lift is on the
// free stream brought up to date and ApplyLift. With lift off this is exactly
// the plain run.
LiftResult SolveWithLift(const ObjectTable& table, const ExternalField& field, Mesh& mesh, const LiftOptions& options,
                         FreeStream& stream);
