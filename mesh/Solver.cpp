#include "mesh/Solver.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh/NumberText.h"
#include "mesh/WidePass.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"

namespace {

// The arrays of one run. Each iteration streams them twice: one pass moves ψ
// by the last step and forms the new direction a row ahead of the product
// q = A p and p·q; the other updates r and forms r·r. ψ is moved one pass late
// because the first pass reads the old direction anyway; the step it adds is
// the same, so the sums are too. Dot products are summed in double over eight
// lanes so that the loops vectorise.
struct System {
  const float* __restrict diag;
  const float* __restrict east;
  const float* __restrict south;
  const float* __restrict rhs;
  int M;
  int cells;
};

inline double Dot(const float* __restrict a, const float* __restrict b, int n) { return LaneDot(a, b, n); }

// y = A x on row `row`: the diagonal, the cell below, the cell to the right, the
// cell to the left and the cell above, added in that order.
inline void StencilRow(const System& s, const float* __restrict x, float* __restrict y, int row) {
  const int M = s.M;
  const int k0 = row * M, k1 = k0 + M;
  const float* __restrict D = s.diag;
  const float* __restrict E = s.east;
  const float* __restrict S = s.south;
  if (row > 0 && row < M - 1) {
    for (int k = k0; k < k1; ++k) {
      float v = D[k] * x[k];
      v += S[k] * x[k + M];
      v += E[k] * x[k + 1];
      v += E[k - 1] * x[k - 1];
      v += S[k - M] * x[k - M];
      y[k] = v;
    }
    return;
  }
  for (int k = k0; k < k1; ++k) {
    float v = D[k] * x[k];
    if (k < s.cells - M) v += S[k] * x[k + M];
    if (k < s.cells - 1) v += E[k] * x[k + 1];
    if (k - 1 >= 0) v += E[k - 1] * x[k - 1];
    if (k - M >= 0) v += S[k - M] * x[k - M];
    y[k] = v;
  }
}

// ψ += α p with the old direction, then p = r + β p, on one row.
inline void NewDirectionRow(const float* __restrict r, float* __restrict p, float* __restrict psi, float alpha,
                            float beta, int k0, int n) {
  for (int k = k0; k < k0 + n; ++k) {
    psi[k] += alpha * p[k];
    p[k] = r[k] + beta * p[k];
  }
}

// The first pass: ψ moved by the last step (α, with the direction it was taken
// along) and p renewed one row ahead of the product that needs it, then q = A p
// and p·q.
QUORVANE_WIDE_PASS double DirectionAndProduct(const System& s, const float* __restrict r, float* __restrict p,
                                              float* __restrict q, float* __restrict psi, bool renew, float alpha,
                                              float beta) {
  const int M = s.M;
  if (renew) NewDirectionRow(r, p, psi, alpha, beta, 0, M);
  double pq = 0;
  for (int row = 0; row < M; ++row) {
    if (renew && row + 1 < M) NewDirectionRow(r, p, psi, alpha, beta, (row + 1) * M, M);
    StencilRow(s, p, q, row);
    pq += Dot(p + row * M, q + row * M, M);
  }
  return pq;
}

// r −= α q with r·r, a block at a time so the dot product reads r from the
// cache.
QUORVANE_WIDE_PASS double StepResidual(int cells, float alpha, float* __restrict r, const float* __restrict q) {
  constexpr int Block = 1024;
  double rr = 0;
  for (int k0 = 0; k0 < cells; k0 += Block) {
    const int k1 = std::min(k0 + Block, cells);
    for (int k = k0; k < k1; ++k) r[k] -= alpha * q[k];
    rr += Dot(r + k0, r + k0, k1 - k0);
  }
  return rr;
}

// r = b − A ψ afresh, with r·r.
QUORVANE_WIDE_PASS double TrueResidual(const System& s, const float* __restrict psi, float* __restrict r) {
  const int M = s.M;
  double rr = 0;
  for (int row = 0; row < M; ++row) {
    StencilRow(s, psi, r, row);
    float* __restrict rowR = r + row * M;
    const float* __restrict rowB = s.rhs + row * M;
    for (int c = 0; c < M; ++c) rowR[c] = rowB[c] - rowR[c];
    rr += Dot(rowR, rowR, M);
  }
  return rr;
}

bool AllFinite(const float* a, int n) {
  float z = 0;
  for (int k = 0; k < n; ++k) z += a[k] * 0.0f;
  return z == 0.0f;
}

}  // namespace

void ApplyMatrix(const Mesh& mesh, const float* x, float* y) {
  const System s{mesh.CoefDiag.data(), mesh.CoefEast.data(), mesh.CoefSouth.data(), mesh.RightHandSide.data(),
                 mesh.MeshSize, mesh.MeshSize * mesh.MeshSize};
  for (int row = 0; row < s.M; ++row) StencilRow(s, x, y, row);
}

SolverResult SolveStreamFunction(Mesh& mesh, float errorTolerance2, const SolverCallbacks& callbacks,
                                 double stallBound2) {
  SolverResult result;
  const int M = mesh.MeshSize;
  const int cells = M * M;
  const std::size_t length = static_cast<std::size_t>(mesh.ArrayLength());
  for (const std::vector<float>* a : {&mesh.CoefDiag, &mesh.CoefEast, &mesh.CoefSouth, &mesh.RightHandSide,
                                      &mesh.StreamFunction})
    if (a->size() != length) return result;
  if (mesh.SetupMeshSize != M || M < 2) return result;

  const System s{mesh.CoefDiag.data(), mesh.CoefEast.data(), mesh.CoefSouth.data(), mesh.RightHandSide.data(), M,
                 cells};
  float* psi = mesh.StreamFunction.data();

  const double bb = Dot(s.rhs, s.rhs, cells);
  result.outcome = SolverOutcome::NotFinite;
  if (!std::isfinite(bb)) return result;
  if (bb == 0) {
    result.outcome = SolverOutcome::NothingToSolve;
    return result;
  }
  if (!AllFinite(s.diag, cells) || !AllFinite(s.east, cells) || !AllFinite(s.south, cells) || !AllFinite(psi, cells))
    return result;

  std::vector<float> residual(length, 0.0f), direction(length, 0.0f), product(length, 0.0f);
  // What ψ held before the run, put back if the run meets a value that is not
  // finite, so no such value is ever left in the solution.
  const std::vector<float> before(psi, psi + cells);
  float* r = residual.data();
  float* p = direction.data();
  float* q = product.data();
  auto fail = [&] {
    std::copy(before.begin(), before.end(), psi);
    result.outcome = SolverOutcome::NotFinite;
    return result;
  };
  // Every way out of the iterations: the steps were finite, but a solution that
  // overflowed on the way is not kept.
  // The step of the last iteration not yet added to ψ (the next first pass
  // adds it, or the way out below).
  float pendingAlpha = 0;
  bool pending = false;
  auto finish = [&](SolverOutcome outcome, std::int32_t iterations) {
    result.iterations = iterations;
    if (pending)
      for (int k = 0; k < cells; ++k) psi[k] += pendingAlpha * p[k];
    pending = false;
    if (!AllFinite(psi, cells)) return fail();
    result.outcome = outcome;
    return result;
  };

  double rr = TrueResidual(s, psi, r);
  result.startResidual2 = result.residual2 = rr;
  if (!std::isfinite(rr)) return fail();
  if (rr == 0) {
    result.outcome = SolverOutcome::Exact;
    return result;
  }
  std::copy(r, r + cells, p);
  const double rr0 = rr;
  const double target = rr0 * static_cast<double>(errorTolerance2);
  const double stallBelow = stallBound2 * bb;
  const std::int64_t limit = static_cast<std::int64_t>(M) * M;
  std::int32_t n = 0, j = 0;
  float progress = 0;
  bool renew = false;
  double beta = 0;
  for (;;) {
    const double pq = DirectionAndProduct(s, r, p, q, psi, renew, pending ? pendingAlpha : 0.0f,
                                          static_cast<float>(beta));
    pending = false;
    if (!std::isfinite(pq)) return fail();
    // A direction with no energy left: the iterate is as good as it gets.
    if (!(pq > 0)) return finish(SolverOutcome::Exact, n);
    const double alpha = rr / pq;
    if (!std::isfinite(alpha)) return fail();
    double rrNew;
    if (j < M) {
      ++j;
      rrNew = StepResidual(cells, static_cast<float>(alpha), r, q);
      pendingAlpha = static_cast<float>(alpha);
      pending = true;
    } else {
      j = 0;
      const float a = static_cast<float>(alpha);
      for (int k = 0; k < cells; ++k) psi[k] += a * p[k];
      rrNew = TrueResidual(s, psi, r);
    }
    if (!std::isfinite(rrNew)) return fail();
    result.residual2 = rrNew;
    if (rrNew == 0) return finish(SolverOutcome::Exact, n + 1);
    beta = rrNew / rr;
    rr = rrNew;
    renew = true;
    // Both tests count the iterations completed before this one, so at least
    // 1002 always run. A stall is believed only with the residual just
    // recomputed small against b; otherwise the run goes on.
    if (rr < target && n > 1000) return finish(SolverOutcome::Converged, n + 1);
    if (j == 0 && alpha / beta < 0.3 && n > 1000 && rr < stallBelow) return finish(SolverOutcome::Stalled, n + 1);
    ++n;
    progress += 0.1f;
    int position = static_cast<int>(progress);
    if (position == 100) {
      position = 0;
      progress = 0;
    }
    if (callbacks.progress && !callbacks.progress(position)) return finish(SolverOutcome::Abandoned, n);
    if (n == limit) return finish(SolverOutcome::IterationLimit, n);
  }
}

SolverResult SolveStreamFunctionWith(SolverKind kind, Mesh& mesh, float errorTolerance2,
                                     const SolverCallbacks& callbacks) {
  if (kind == SolverKind::Fast) return SolveStreamFunctionFast(mesh, errorTolerance2, callbacks);
  return SolveStreamFunction(mesh, errorTolerance2, callbacks);
}

SolverResult RunSolver(Mesh& mesh, const SolverSettings& settings, UiState& ui, CommandState& commands,
                       WindowServices& services, const SolverCallbacks& callbacks) {
  ui.cursor = CursorShape::Hourglass;
  LockCommands(ui, services, false);
  ui.status[3] = " Calculating";
  ui.status[4] = "Press Escape key to exit";
  services.Refresh();
  commands.EscapePressed = 0;

  SolverCallbacks watched;
  watched.progress = [&](int percent) {
    if (callbacks.progress && !callbacks.progress(percent)) return false;
    return commands.EscapePressed != 1;
  };
  const SolverResult result = SolveStreamFunctionWith(settings.Kind, mesh, settings.ErrorTolerance2, watched);

  UnlockCommands(ui);
  ui.status[3] = "";
  ui[Cmd::MnuAnalyseRun].enabled = mesh.SystemReady;
  ui.cursor = CursorShape::Default;
  services.Refresh();
  return result;
}

bool ParseErrorLevel(const std::string& text, float& level) {
  double v = 0;
  if (!ParseNumberText(text, v) || v <= 0.0 || v > 10.0) return false;
  level = static_cast<float>(v);
  return true;
}

void OpenErrorLevelPanel(SolverSettings& settings, const std::string& editText, UiState& ui, WindowServices& services) {
  settings.CGErrVal = editText;
  settings.RememberedCGErrVal = editText;
  LockCommands(ui, services, false);
}

bool SetErrorLevel(SolverSettings& settings, const std::string& editText, const Mesh& mesh, UiState& ui) {
  settings.CGErrVal = editText;
  float level = 0;
  if (!ParseErrorLevel(editText, level)) return false;
  const float fraction = level / 100.0f;
  settings.ErrorTolerance2 = fraction * fraction;
  UnlockCommands(ui);
  ui[Cmd::MnuAnalyseRun].enabled = mesh.SystemReady;
  return true;
}

void CancelErrorLevel(SolverSettings& settings, const Mesh& mesh, UiState& ui) {
  settings.CGErrVal = settings.RememberedCGErrVal;
  UnlockCommands(ui);
  ui[Cmd::MnuAnalyseRun].enabled = mesh.SystemReady;
}

bool ChooseSmoothing(std::int32_t& smoothingLevel, std::int32_t level) {
  if (level < 0 || level > 2 || level == smoothingLevel) return false;
  smoothingLevel = level;
  return true;
}
