// CliSolve: what `quorvane-cli solve` does, without a window: open a document,
// lay the view out as a window would, set up and solve with the program's own
// rules, draw the view as the window draws it after a run, and write what was
// asked for. The options parser and the JSON summary sit on top of it.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "mesh/Solver.h"

struct CliSolveRequest {
  std::string document;                 // any of the three file names, or the base name
  std::optional<std::int32_t> meshSize;  // 100, 200 or 300: change the mesh before set-up
  std::optional<std::int32_t> viewSize;  // the view's side in pixels (default: the document's)
  std::int32_t viewLeft = 0;             // the view's left edge in its window
  std::optional<double> errorLevelPercent;
  SolverKind solver = SolverKind::Standard;  // --solver standard|fast
  bool lift = false;  // --lift: each aerofoil takes the circulation of its trailing-edge condition
  std::string psiCsv, speedCsv, png, saveBase;
  std::string surfaceCsv;  // Cp along the selected object's outline
};

struct CliObject {
  std::int32_t kind = 0;  // 0 rectangle … 6 aerofoil
  std::int32_t index = 0;  // the record's number within its kind, from 0
  bool hasLift = false;    // an aerofoil of a run with --lift
  double circulation = 0, liftCoefficient = 0, liftCoefficientPressure = 0;
};

struct CliSolveReport {
  std::int32_t meshSize = 0;  // visible cells across: 100, 200 or 300
  std::int32_t iterations = 0;
  SolverOutcome outcome = SolverOutcome::NotSetUp;
  double residualRatio = 0;  // |b − Aψ| / |b| after the plain run (before any circulation), recomputed
  double setupMs = 0, solveMs = 0;
  std::vector<CliObject> objects;
};

// The exit statuses of the program.
enum CliStatus : int { CliCompleted = 0, CliBadInput = 2, CliSolveFailed = 3 };

// Runs a request. On bad input (a missing or damaged document, an output that
// cannot be written, an option out of range) returns CliBadInput with one line
// naming the file and the reason in `error`, and leaves no output file behind
// half written; a solve that meets a value that is not finite gives
// CliSolveFailed. Drawing the PNG needs a Qt GUI application to exist.
int RunCliSolve(const CliSolveRequest& request, CliSolveReport& report, std::string& error);

// The whole command line: parses the options, runs, prints the JSON summary on
// `out` and an error line on `err`; returns the exit status.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Name of a run's end in the JSON summary: converged, stalled, limit, exact,
// nothing_to_solve, abandoned, not_finite, not_set_up.
const char* StopName(SolverOutcome outcome);
