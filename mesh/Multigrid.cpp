#include "mesh/Multigrid.h"

#include <algorithm>
#include <cmath>

#include "mesh/WidePass.h"

namespace {

// Damping of the Jacobi sweeps: below 1 so that a sweep reduces the
// rough part of the error on a diagonally dominant system.
constexpr float JacobiWeight = 0.8f;
// Joining 2 × 2 cells with the sum of their couplings makes a coarse system
// about twice as stiff as the fine one sees it; the correction it returns is
// scaled back up. Any positive factor keeps the cycle symmetric and positive.
constexpr float CoarseCorrectionScale = 1.7f;
// Meshes of this side or smaller are solved directly.
constexpr int CoarsestSideLimit = 8;

struct Stencil {
  const float* __restrict diag;
  const float* __restrict east;
  const float* __restrict south;
  int n;
};

// y = A x on one row: the diagonal, the cell below, the cell to the right, the
// cell to the left and the cell above, added in that order, with flat indexes as
// the fine system is defined (a row's last east coupling is zero).
inline void StencilRow(const Stencil& s, const float* __restrict x, float* __restrict y, int row) {
  const int n = s.n, cells = n * n;
  const int k0 = row * n, k1 = k0 + n;
  const float* __restrict D = s.diag;
  const float* __restrict E = s.east;
  const float* __restrict S = s.south;
  if (row > 0 && row < n - 1) {
    for (int k = k0; k < k1; ++k) {
      float v = D[k] * x[k];
      v += S[k] * x[k + n];
      v += E[k] * x[k + 1];
      v += E[k - 1] * x[k - 1];
      v += S[k - n] * x[k - n];
      y[k] = v;
    }
    return;
  }
  for (int k = k0; k < k1; ++k) {
    float v = D[k] * x[k];
    if (k < cells - n) v += S[k] * x[k + n];
    if (k < cells - 1) v += E[k] * x[k + 1];
    if (k - 1 >= 0) v += E[k - 1] * x[k - 1];
    if (k - n >= 0) v += S[k - n] * x[k - n];
    y[k] = v;
  }
}

QUORVANE_WIDE_PASS void ApplyStencil(const Stencil& s, const float* __restrict x, float* __restrict y) {
  for (int row = 0; row < s.n; ++row) StencilRow(s, x, y, row);
}

// x = w b: the first sweep from a zero start.
QUORVANE_WIDE_PASS void FirstSweep(int cells, const float* __restrict w, const float* __restrict b,
                                   float* __restrict x) {
  for (int k = 0; k < cells; ++k) x[k] = w[k] * b[k];
}

// r = b − A x.
QUORVANE_WIDE_PASS void Residual(const Stencil& s, const float* __restrict b, const float* __restrict x,
                                 float* __restrict r) {
  const int n = s.n;
  for (int row = 0; row < n; ++row) {
    StencilRow(s, x, r, row);
    for (int k = row * n; k < (row + 1) * n; ++k) r[k] = b[k] - r[k];
  }
}

// x += w (b − A x), with r as scratch: the residual of a row is final once the
// row below it is done, so x is updated one row behind.
QUORVANE_WIDE_PASS void Sweep(const Stencil& s, const float* __restrict w, const float* __restrict b,
                              float* __restrict x, float* __restrict r) {
  const int n = s.n;
  auto update = [&](int row) {
    for (int k = row * n; k < (row + 1) * n; ++k) x[k] += w[k] * r[k];
  };
  for (int row = 0; row < n; ++row) {
    StencilRow(s, x, r, row);
    for (int k = row * n; k < (row + 1) * n; ++k) r[k] = b[k] - r[k];
    if (row > 0) update(row - 1);
  }
  update(n - 1);
}

// The coarse right-hand side: each coarse cell sums the residuals of its 2 × 2
// fine cells (one or two at an odd mesh's last row and column).
QUORVANE_WIDE_PASS void Restrict(int n, const float* __restrict r, int nc, float* __restrict bc) {
  for (int I = 0; I < nc; ++I) {
    float* __restrict out = bc + I * nc;
    const float* __restrict top = r + 2 * I * n;
    const bool twoRows = 2 * I + 1 < n;
    const int pairs = n / 2;
    for (int J = 0; J < pairs; ++J) {
      float v = top[2 * J] + top[2 * J + 1];
      if (twoRows) v += top[n + 2 * J] + top[n + 2 * J + 1];
      out[J] = v;
    }
    if (pairs < nc) out[pairs] = top[n - 1] + (twoRows ? top[2 * n - 1] : 0.0f);
  }
}

// x += scale × (the coarse correction of the cell's 2 × 2 block).
QUORVANE_WIDE_PASS void Prolong(int n, int nc, float scale, const float* __restrict xc, float* __restrict x) {
  for (int i = 0; i < n; ++i) {
    const float* __restrict from = xc + (i / 2) * nc;
    float* __restrict row = x + i * n;
    for (int j = 0; j < n; ++j) row[j] += scale * from[j / 2];
  }
}

}  // namespace

Multigrid::Multigrid(const Mesh& mesh) {
  Level fine;
  fine.n = mesh.MeshSize;
  fine.diag = mesh.CoefDiag.data();
  fine.east = mesh.CoefEast.data();
  fine.south = mesh.CoefSouth.data();
  levels_.push_back(std::move(fine));

  while (levels_.back().n > CoarsestSideLimit) {
    const Level& f = levels_.back();
    const int n = f.n, nc = (n + 1) / 2;
    Level c;
    c.n = nc;
    const std::size_t cells = static_cast<std::size_t>(nc) * nc;
    c.ownDiag.assign(cells, 0.0f);
    c.ownEast.assign(cells, 0.0f);
    c.ownSouth.assign(cells, 0.0f);
    // The Galerkin product of joining cells: a coarse diagonal holds its fine
    // diagonals and, twice, the couplings inside the block; a coarse coupling
    // sums the fine couplings that cross from one block into the next. Sums in
    // double, so the coarse system stays as symmetric and definite as the fine.
    for (int I = 0; I < nc; ++I)
      for (int J = 0; J < nc; ++J) {
        double d = 0, e = 0, s = 0;
        for (int a = 0; a < 2; ++a)
          for (int b = 0; b < 2; ++b) {
            const int i = 2 * I + a, j = 2 * J + b;
            if (i >= n || j >= n) continue;
            const int k = i * n + j;
            d += f.diag[k];
            if (j + 1 < n) (b == 0 ? d : e) += (b == 0 ? 2.0 : 1.0) * f.east[k];
            if (i + 1 < n) (a == 0 ? d : s) += (a == 0 ? 2.0 : 1.0) * f.south[k];
          }
        const std::size_t k = static_cast<std::size_t>(I) * nc + J;
        c.ownDiag[k] = static_cast<float>(d);
        c.ownEast[k] = J + 1 < nc ? static_cast<float>(e) : 0.0f;
        c.ownSouth[k] = I + 1 < nc ? static_cast<float>(s) : 0.0f;
      }
    c.diag = c.ownDiag.data();
    c.east = c.ownEast.data();
    c.south = c.ownSouth.data();
    levels_.push_back(std::move(c));
  }

  for (std::size_t l = 0; l < levels_.size(); ++l) {
    Level& v = levels_[l];
    const std::size_t cells = static_cast<std::size_t>(v.n) * v.n;
    v.smooth.resize(cells);
    for (std::size_t k = 0; k < cells; ++k)
      v.smooth[k] = v.diag[k] > 0 && std::isfinite(v.diag[k]) ? JacobiWeight / v.diag[k] : 0.0f;
    v.r.assign(cells, 0.0f);
    if (l > 0 || levels_.size() == 1) {
      v.b.assign(cells, 0.0f);
      v.x.assign(cells, 0.0f);
    }
  }

  // Dense Cholesky factor of the coarsest system.
  const Level& c = levels_.back();
  const int m = c.n * c.n;
  std::vector<double> a(static_cast<std::size_t>(m) * m, 0.0);
  for (int k = 0; k < m; ++k) {
    a[static_cast<std::size_t>(k) * m + k] = c.diag[k];
    if (k % c.n + 1 < c.n) a[static_cast<std::size_t>(k + 1) * m + k] = c.east[k];
    if (k + c.n < m) a[static_cast<std::size_t>(k + c.n) * m + k] = c.south[k];
  }
  bool definite = true;
  for (int j = 0; j < m && definite; ++j) {
    double d = a[static_cast<std::size_t>(j) * m + j];
    for (int p = 0; p < j; ++p) d -= a[static_cast<std::size_t>(j) * m + p] * a[static_cast<std::size_t>(j) * m + p];
    if (!(d > 0) || !std::isfinite(d)) {
      definite = false;
      break;
    }
    const double l = std::sqrt(d);
    a[static_cast<std::size_t>(j) * m + j] = l;
    for (int i = j + 1; i < m; ++i) {
      double v = a[static_cast<std::size_t>(i) * m + j];
      for (int p = 0; p < j; ++p) v -= a[static_cast<std::size_t>(i) * m + p] * a[static_cast<std::size_t>(j) * m + p];
      a[static_cast<std::size_t>(i) * m + j] = v / l;
    }
  }
  if (definite) coarseFactor_ = std::move(a);
  coarseWork_.assign(static_cast<std::size_t>(m), 0.0);
}

void Multigrid::Apply(const float* x, float* y) const {
  const Level& f = levels_.front();
  ApplyStencil(Stencil{f.diag, f.east, f.south, f.n}, x, y);
}

void Multigrid::Precondition(const float* r, float* z) {
  Level& f = levels_.front();
  const int n = f.n, cells = n * n;
  if (levels_.size() == 1) {  // a mesh small enough to solve directly
    std::copy(r, r + cells, f.b.begin());
    SolveCoarsest();
    std::copy(f.x.begin(), f.x.end(), z);
    return;
  }
  // The fine level works on the caller's vectors directly.
  const Stencil s{f.diag, f.east, f.south, n};
  Level& c = levels_[1];
  FirstSweep(cells, f.smooth.data(), r, z);
  Residual(s, r, z, f.r.data());
  Restrict(n, f.r.data(), c.n, c.b.data());
  Cycle(1);
  Prolong(n, c.n, CoarseCorrectionScale, c.x.data(), z);
  Sweep(s, f.smooth.data(), r, z, f.r.data());
}

void Multigrid::Cycle(std::size_t level) {
  if (level + 1 == levels_.size()) {
    SolveCoarsest();
    return;
  }
  Level& f = levels_[level];
  Level& c = levels_[level + 1];
  const int n = f.n, cells = n * n;
  const Stencil s{f.diag, f.east, f.south, n};
  FirstSweep(cells, f.smooth.data(), f.b.data(), f.x.data());
  Residual(s, f.b.data(), f.x.data(), f.r.data());
  Restrict(n, f.r.data(), c.n, c.b.data());
  Cycle(level + 1);
  Prolong(n, c.n, CoarseCorrectionScale, c.x.data(), f.x.data());
  Sweep(s, f.smooth.data(), f.b.data(), f.x.data(), f.r.data());
}

void Multigrid::SolveCoarsest() {
  Level& c = levels_.back();
  const int m = c.n * c.n;
  if (coarseFactor_.empty()) {
    // Not definite: a few Jacobi sweeps are the best a preconditioner can do.
    const Stencil s{c.diag, c.east, c.south, c.n};
    FirstSweep(m, c.smooth.data(), c.b.data(), c.x.data());
    for (int i = 0; i < 4; ++i) Sweep(s, c.smooth.data(), c.b.data(), c.x.data(), c.r.data());
    return;
  }
  std::vector<double>& y = coarseWork_;
  const double* L = coarseFactor_.data();
  for (int i = 0; i < m; ++i) {
    double v = c.b[i];
    for (int p = 0; p < i; ++p) v -= L[static_cast<std::size_t>(i) * m + p] * y[p];
    y[i] = v / L[static_cast<std::size_t>(i) * m + i];
  }
  for (int i = m - 1; i >= 0; --i) {
    double v = y[i];
    for (int p = i + 1; p < m; ++p) v -= L[static_cast<std::size_t>(p) * m + i] * y[p];
    y[i] = v / L[static_cast<std::size_t>(i) * m + i];
  }
  for (int i = 0; i < m; ++i) c.x[i] = static_cast<float>(y[i]);
}
