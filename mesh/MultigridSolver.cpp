// The fast solver: conjugate gradients on the set-up's matrix, preconditioned by
// one multigrid V-cycle per iteration. Single-precision vectors with dot
// products summed in double, as in the standard run.
#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh/Multigrid.h"
#include "mesh/Solver.h"
#include "mesh/WidePass.h"

namespace {

QUORVANE_WIDE_PASS double Dot(const float* __restrict a, const float* __restrict b, int n) { return LaneDot(a, b, n); }

// x += α p and r −= α q, with r·r.
QUORVANE_WIDE_PASS double Step(int cells, float alpha, float* __restrict x, float* __restrict r,
                               const float* __restrict p, const float* __restrict q) {
  for (int k = 0; k < cells; ++k) {
    x[k] += alpha * p[k];
    r[k] -= alpha * q[k];
  }
  return Dot(r, r, cells);
}

QUORVANE_WIDE_PASS void NewDirection(int cells, float beta, const float* __restrict z, float* __restrict p) {
  for (int k = 0; k < cells; ++k) p[k] = z[k] + beta * p[k];
}

// r = b − A x, with r·r.
double TrueResidual(const Multigrid& mg, const float* b, const float* x, float* r, int cells) {
  mg.Apply(x, r);
  for (int k = 0; k < cells; ++k) r[k] = b[k] - r[k];
  return Dot(r, r, cells);
}

// How far rr has come from rr0 towards target on a logarithmic scale, 0 … 99.
int ProgressPercent(double rr0, double rr, double target) {
  if (!(rr0 > target) || !(rr > 0)) return 99;
  const double done = std::log(rr0 / rr) / std::log(rr0 / target);
  return std::clamp(static_cast<int>(100.0 * done), 0, 99);
}

}  // namespace

SolverResult SolveSystemFast(const Mesh& mesh, const float* rhs, float* x, float errorTolerance2,
                             const SolverCallbacks& callbacks) {
  SolverResult result;
  const int M = mesh.MeshSize;
  const int cells = M * M;
  double bb = 0;
  if (!ReadyToSolve(mesh, rhs, x, bb, result)) return result;

  // The stop level follows the error level: the default 0.2 % gives
  // FastRelativeResidual, a level set in the panel scales it.
  const double level = std::sqrt(static_cast<double>(errorTolerance2)) / 0.002;
  const double tolerance = FastRelativeResidual * (std::isfinite(level) && level > 0 ? level : 1.0);
  const double target = tolerance * tolerance * bb;

  Multigrid mg(mesh);
  std::vector<float> residual(cells), preconditioned(cells), direction(cells), product(cells);
  float* r = residual.data();
  float* z = preconditioned.data();
  float* p = direction.data();
  float* q = product.data();
  const std::vector<float> before(x, x + cells);
  auto fail = [&] {
    std::copy(before.begin(), before.end(), x);
    result.outcome = SolverOutcome::NotFinite;
    return result;
  };
  auto finish = [&](SolverOutcome outcome, std::int32_t iterations) {
    result.iterations = iterations;
    if (!AllFinite(x, cells)) return fail();
    result.outcome = outcome;
    return result;
  };

  double rr = TrueResidual(mg, rhs, x, r, cells);
  result.startResidual2 = result.residual2 = rr;
  if (!std::isfinite(rr)) return fail();
  if (rr <= target) return finish(rr == 0 ? SolverOutcome::Exact : SolverOutcome::Converged, 0);
  const double rr0 = rr;

  mg.Precondition(r, z);
  double rz = Dot(r, z, cells);
  if (!std::isfinite(rz)) return fail();
  if (!(rz > 0)) return finish(SolverOutcome::Exact, 0);
  std::copy(z, z + cells, p);
  for (std::int32_t n = 0;;) {
    mg.Apply(p, q);
    const double pq = Dot(p, q, cells);
    if (!std::isfinite(pq)) return fail();
    if (!(pq > 0)) return finish(SolverOutcome::Exact, n);
    const double alpha = rz / pq;
    if (!std::isfinite(alpha)) return fail();
    rr = Step(cells, static_cast<float>(alpha), x, r, p, q);
    ++n;
    if (!std::isfinite(rr)) return fail();
    // The residual carried along the iterations, as in the standard run: its
    // recomputation b − Ax cannot come below the rounding of single precision
    // inside the obstacles, where the couplings are a thousand times stronger,
    // while the carried one goes on measuring how the answer improves.
    if (rr <= target) {
      result.residual2 = rr;
      return finish(SolverOutcome::Converged, n);
    }
    result.residual2 = rr;
    if (callbacks.progress && !callbacks.progress(ProgressPercent(rr0, rr, target)))
      return finish(SolverOutcome::Abandoned, n);
    if (n == FastIterationLimit) return finish(SolverOutcome::IterationLimit, n);
    mg.Precondition(r, z);
    const double rzNew = Dot(r, z, cells);
    if (!std::isfinite(rzNew)) return fail();
    if (!(rzNew > 0)) return finish(SolverOutcome::Exact, n);
    NewDirection(cells, static_cast<float>(rzNew / rz), z, p);
    rz = rzNew;
  }
}

SolverResult SolveStreamFunctionFast(Mesh& mesh, float errorTolerance2, const SolverCallbacks& callbacks) {
  if (mesh.RightHandSide.size() != static_cast<std::size_t>(mesh.ArrayLength()) ||
      mesh.StreamFunction.size() != static_cast<std::size_t>(mesh.ArrayLength()))
    return SolverResult{};
  return SolveSystemFast(mesh, mesh.RightHandSide.data(), mesh.StreamFunction.data(), errorTolerance2, callbacks);
}
