// ConvergedSolution: the converged answer the tests, the benchmarks and the
// validation measure the solvers against: the set-up's system solved in double
// precision to |b − Ax| < 1e-9 |b|, and the distance of an answer from it.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh/Mesh.h"
#include "mesh/Multigrid.h"

inline constexpr double ConvergedLevel = 1e-9;

// y = A x in double, with the flat indexes of ApplyMatrix.
inline void ApplyDouble(const Mesh& m, const std::vector<double>& x, std::vector<double>& y) {
  const int M = m.MeshSize, n = M * M;
  for (int k = 0; k < n; ++k) {
    double v = static_cast<double>(m.CoefDiag[k]) * x[k];
    if (k < n - M) v += static_cast<double>(m.CoefSouth[k]) * x[k + M];
    if (k < n - 1) v += static_cast<double>(m.CoefEast[k]) * x[k + 1];
    if (k >= 1) v += static_cast<double>(m.CoefEast[k - 1]) * x[k - 1];
    if (k >= M) v += static_cast<double>(m.CoefSouth[k - M]) * x[k - M];
    y[k] = v;
  }
}

inline double DotD(const std::vector<double>& a, const std::vector<double>& b) {
  double s = 0;
  for (std::size_t k = 0; k < a.size(); ++k) s += a[k] * b[k];
  return s;
}

// The converged solution: conjugate gradients in double precision, with the
// single-precision V-cycle as preconditioner in its flexible form (the β of
// Polak and Ribière), to |b − Ax| < 1e-9 |b| recomputed in double.
struct Converged {
  std::vector<double> x;
  double ratio = 1;
  int iterations = 0;
};

inline Converged SolveConverged(const Mesh& m) {
  const int n = m.MeshSize * m.MeshSize;
  Multigrid mg(m);
  Converged out;
  std::vector<double> b(m.RightHandSide.begin(), m.RightHandSide.begin() + n), r = b, z(n), p(n), q(n), zOld(n);
  out.x.assign(n, 0.0);
  std::vector<float> rf(n), zf(n);
  const double bb = DotD(b, b);
  auto precondition = [&] {
    double scale = 0;  // keep the single-precision cycle far from its range limits
    for (double v : r) scale = std::max(scale, std::fabs(v));
    if (scale == 0) scale = 1;
    for (int k = 0; k < n; ++k) rf[k] = static_cast<float>(r[k] / scale);
    mg.Precondition(rf.data(), zf.data());
    for (int k = 0; k < n; ++k) z[k] = scale * zf[k];
  };
  precondition();
  p = z;
  double rz = DotD(r, z);
  for (int it = 1; it <= 500; ++it) {
    ApplyDouble(m, p, q);
    const double alpha = rz / DotD(p, q);
    for (int k = 0; k < n; ++k) {
      out.x[k] += alpha * p[k];
      r[k] -= alpha * q[k];
    }
    out.iterations = it;
    if (DotD(r, r) < ConvergedLevel * ConvergedLevel * bb) {
      ApplyDouble(m, out.x, q);
      for (int k = 0; k < n; ++k) r[k] = b[k] - q[k];
      out.ratio = std::sqrt(DotD(r, r) / bb);
      if (out.ratio < ConvergedLevel) return out;
    }
    zOld = z;
    precondition();
    double num = 0;
    for (int k = 0; k < n; ++k) num += r[k] * (z[k] - zOld[k]);
    const double beta = num / rz;
    rz = DotD(r, z);
    for (int k = 0; k < n; ++k) p[k] = z[k] + beta * p[k];
  }
  ApplyDouble(m, out.x, q);
  for (int k = 0; k < n; ++k) r[k] = b[k] - q[k];
  out.ratio = std::sqrt(DotD(r, r) / bb);
  return out;
}

// Largest difference over the visible cells, over the converged range there.
inline double Distance(const Mesh& m, const float* psi, const std::vector<double>& exact) {
  double lo = INFINITY, hi = -INFINITY, worst = 0;
  for (int r = 0; r < m.VisibleMeshSize; ++r)
    for (int c = 0; c < m.VisibleMeshSize; ++c) {
      const int k = m.Index(r, c);
      lo = std::min(lo, exact[k]);
      hi = std::max(hi, exact[k]);
      worst = std::max(worst, std::fabs(psi[k] - exact[k]));
    }
  return hi > lo ? worst / (hi - lo) : worst;
}

