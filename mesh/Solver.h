// Solver: the conjugate-gradient run that solves the set-up's 5-point system for
// StreamFunction (single-precision vectors, double-precision dot products), the
// fast multigrid-preconditioned alternative to it, the Set Percentage Error
// Level panel's rules and the Smoothing Options choice.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "mesh/Mesh.h"

struct UiState;
struct CommandState;
class WindowServices;

// Which solver a run uses. Standard is the plain conjugate-gradient method and
// the default; Fast is conjugate gradients preconditioned by a multigrid
// V-cycle on the same matrix, an addition the user chooses.
enum class SolverKind { Standard, Fast };

// The default error level, 0.2 %, squared.
inline constexpr float DefaultErrorTolerance2 = 0.002f * 0.002f;

// The solver's settings, one set for the whole run of the program.
struct SolverSettings {
  SolverKind Kind = SolverKind::Standard;
  // The run stops when r·r < r0·r0 × ErrorTolerance2: 0.2 % by default, or the
  // level last set in the error-level panel.
  float ErrorTolerance2 = 0.002f * 0.002f;
  std::string CGErrVal = "0.2";         // the panel's edit text
  std::string RememberedCGErrVal = "0.2";  // the text when the panel was opened
};

enum class SolverOutcome {
  Converged,       // the residual fell below the tolerance
  Stalled,         // α / β fell below 0.3 at a residual refresh, the residual below 5 % of |b|
  IterationLimit,  // MeshSize² iterations (FastIterationLimit for the fast solver)
  Exact,           // the residual vanished exactly, or p·q ≤ 0: nothing left to gain
  Abandoned,       // Escape or a close request; StreamFunction keeps the partial solution
  NothingToSolve,  // RightHandSide is all zero
  NotFinite,       // a value that is not finite; StreamFunction is as it was before the run
  NotSetUp,        // no set-up at the current mesh size
};

struct SolverResult {
  SolverOutcome outcome = SolverOutcome::NotSetUp;
  std::int32_t iterations = 0;  // iterations performed
  double startResidual2 = 0;    // r0·r0
  double residual2 = 0;         // r·r at the end
  // Converged, stalled, at the limit or exact: the flow lines are drawn from it.
  bool Completed() const {
    return outcome == SolverOutcome::Converged || outcome == SolverOutcome::Stalled ||
           outcome == SolverOutcome::IterationLimit || outcome == SolverOutcome::Exact;
  }
};

struct SolverCallbacks {
  // Called once per iteration with the progress bar's position (0 … 99, one
  // percent every ten iterations, wrapping). The window lets pending events
  // through here and repaints the bar now and then; false abandons the run.
  std::function<bool(int percent)> progress;
};

// The message the window shows for a NotFinite run.
inline constexpr const char* SolverNotFiniteMessage =
    "The flow could not be calculated: the system holds values that are not numbers. "
    "Set up the mesh again and run.";

// The instruction sets the standard run's passes may use: by default the
// widest the processor has. Every set gives the same numbers; tests narrow the
// choice to hold them to that. Returns the limit that was in force.
enum class SolverPasses { Portable, Avx2, Avx512 };
SolverPasses LimitSolverPasses(SolverPasses widest);
// Whether the AVX-512 passes may keep a run's arrays with each row on a cache
// line boundary (the default) or must work on the mesh's own layout; both give
// the same numbers. Returns the setting that was in force.
bool AlignSolverRows(bool align);

// The checks both solvers make before a run on the mesh's system with
// right-hand side `rhs` and start `x` (MeshSize² cells each): the coefficients
// are there for the mesh as set up, b·b (left in `bb`) and every coefficient
// and start value are finite, and b is not zero. False, with result.outcome
// saying why, when the run cannot start.
bool ReadyToSolve(const Mesh& mesh, const float* rhs, const float* x, double& bb, SolverResult& result);
// No value of a[0 … n) is infinite or NaN.
bool AllFinite(const float* a, int n);

// y = A x over the current coefficient arrays (x and y distinct, MeshSize² each).
void ApplyMatrix(const Mesh& mesh, const float* x, float* y);

// The stall test (α / β below 0.3 where the residual is recomputed) ends a run
// only when that residual is below 5 % of the right-hand side: r·r < 0.0025 b·b.
// Without the bound a fresh run could stop with as much residual as it started
// with. The bound is measured against b, not against the run's first residual,
// so a run from a kept solution, which starts within a few per cent of b, stops
// at its first stall like before unless its residual has grown past the bound.
inline constexpr double StallResidualBound2 = 0.0025;

// The conjugate-gradient iterations on mesh.StreamFunction, starting from what
// it holds. Never fewer than 1002 iterations before a stop test may succeed; the
// residual is recomputed from b − Aψ every MeshSize + 1 iterations. The program
// always runs with the default stallBound2; the validation program passes
// infinity to compare with the stall test unbounded.
SolverResult SolveStreamFunction(Mesh& mesh, float errorTolerance2, const SolverCallbacks& callbacks = {},
                                 double stallBound2 = StallResidualBound2);

// The fast solver's stop level: |b − Aψ| below FastRelativeResidual × |b| at
// the default error level (scaled with the level the panel sets). The standard
// run stops at 0.2 % of its first residual, but plain conjugate gradients have
// by then removed the rough part of the error and left a smooth one; a
// preconditioned run works on the smooth part first, so at 0.2 % its answer
// would lie further from the converged one and move the flow lines. On random
// drawings at the three mesh sizes (bench/validate_solver) the fast answer was
// as close as the standard one at levels between 1e-2 and 1e-3 of |b|; 1e-4
// keeps a tenfold margin for a few iterations more (its answers lay at 1 % to
// 15 % of the standard distance), and stays above what single precision can
// carry.
inline constexpr double FastRelativeResidual = 1.0e-4;
// A fast run that needs this many iterations has met a system the multigrid
// cannot help with; it ends there as at the standard run's limit.
inline constexpr std::int32_t FastIterationLimit = 2000;

// The fast solver on mesh.StreamFunction, starting from what it holds. The
// outcomes are those of the standard run (Stalled: the residual could not be
// brought down further in single precision); the progress call is made once
// per iteration with how far the residual has come towards the stop level on a
// logarithmic scale, 0 … 99. errorTolerance2 is the error level squared, as
// for the standard run; its default gives the stop level FastRelativeResidual.
SolverResult SolveStreamFunctionFast(Mesh& mesh, float errorTolerance2 = DefaultErrorTolerance2,
                                     const SolverCallbacks& callbacks = {});
// The same solver for another right-hand side on the set-up's matrix: solves
// A x = rhs, starting from what x holds (rhs and x: MeshSize² values each).
SolverResult SolveSystemFast(const Mesh& mesh, const float* rhs, float* x,
                             float errorTolerance2 = DefaultErrorTolerance2, const SolverCallbacks& callbacks = {});
// The solver `kind` on mesh.StreamFunction: SolveStreamFunction with its
// default stall bound, or SolveStreamFunctionFast.
SolverResult SolveStreamFunctionWith(SolverKind kind, Mesh& mesh, float errorTolerance2,
                                     const SolverCallbacks& callbacks = {});

// Analyse > Run round SolveStreamFunctionWith(settings.Kind, …): the hourglass,
// the commands locked,
// " Calculating" in panel 3 and "Press Escape key to exit" in panel 4,
// EscapePressed cleared, the run abandoned when EscapePressed is raised during a
// progress call; afterwards panel 3 cleared, the commands unlocked, Analyse > Run
// enabled as the set-up allows, the default cursor. Showing the progress bar,
// taking the view snapshot and drawing the flow lines stay with the window.
SolverResult RunSolver(Mesh& mesh, const SolverSettings& settings, UiState& ui, CommandState& commands,
                       WindowServices& services, const SolverCallbacks& callbacks = {});

// Set Percentage Error Level panel (SetErr). Open: the text is remembered and
// the commands locked. Set: a text that is not a number, or a level of 0, below
// 0 or above 10, is refused (false: the window beeps and focuses CGErrVal, the
// panel stays); otherwise ErrorTolerance2 = (level / 100)², the panel closes and
// the commands are unlocked. Cancel: the remembered text back into CGErrVal (the
// window shows settings.CGErrVal), the panel closes, the commands are unlocked.
bool ParseErrorLevel(const std::string& text, float& level);
void OpenErrorLevelPanel(SolverSettings& settings, const std::string& editText, UiState& ui, WindowServices& services);
bool SetErrorLevel(SolverSettings& settings, const std::string& editText, const Mesh& mesh, UiState& ui);
void CancelErrorLevel(SolverSettings& settings, const Mesh& mesh, UiState& ui);

// Smoothing Options: 0 None, 1 Normal, 2 High. Choosing the level already in
// force does nothing (false); the menu shows the level from the model.
bool ChooseSmoothing(std::int32_t& smoothingLevel, std::int32_t level);
