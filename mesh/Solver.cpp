#include "mesh/Solver.h"

#include <algorithm>
#include <atomic>
#include <type_traits>
#include <cmath>
#include <vector>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include "mesh/NumberText.h"
#include "mesh/WidePass.h"
#include "platform/CommandState.h"
#include "platform/UiState.h"
#include "platform/WindowServices.h"

// No multiplication and addition in this file may be fused into one rounding
// (the passes for processors that could must give the numbers of those that
// cannot); g++ is told so function by function below.
#ifdef __clang__
#pragma clang fp contract(off)
#endif

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
  // The distance from one row to the next in diag, east, south, p and ψ: M,
  // or M rounded up past M + 1 to a multiple of sixteen in the aligned layout
  // (below). The right-hand side, r and q always keep the mesh's layout.
  int W;
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

// StencilRow for either layout of x and the coefficients (y in the mesh's):
// the cells at the ends of a row take their neighbours across the row's end
// from the row before and after (cell k ± 1 of the system), wherever the
// layout keeps them.
inline void StencilRowAny(const System& s, const float* __restrict x, float* __restrict y, int row) {
  const int M = s.M, W = s.W;
  const int k0 = row * W, f0 = row * M;
  const float* __restrict D = s.diag;
  const float* __restrict E = s.east;
  const float* __restrict S = s.south;
  const int before = k0 - W + M - 1, after = k0 + W;  // cells f0 − 1 and f0 + M
  auto edge = [&](int c) {
    const int k = k0 + c, f = f0 + c;
    float v = D[k] * x[k];
    if (f < s.cells - M) v += S[k] * x[k + W];
    if (f < s.cells - 1) v += E[k] * x[c + 1 < M ? k + 1 : after];
    if (f - 1 >= 0) v += c > 0 ? E[k - 1] * x[k - 1] : E[before] * x[before];
    if (f - M >= 0) v += S[k - W] * x[k - W];
    y[f] = v;
  };
  // The cells between: the first and last rows have no row above or below.
  auto between = [&](auto hasBelow, auto hasAbove) {
    for (int k = k0 + 1; k < k0 + M - 1; ++k) {
      float v = D[k] * x[k];
      if constexpr (hasBelow) v += S[k] * x[k + W];
      v += E[k] * x[k + 1];
      v += E[k - 1] * x[k - 1];
      if constexpr (hasAbove) v += S[k - W] * x[k - W];
      y[k - k0 + f0] = v;
    }
  };
  edge(0);
  if (row == 0)
    between(std::true_type{}, std::false_type{});
  else if (row == M - 1)
    between(std::false_type{}, std::true_type{});
  else
    between(std::true_type{}, std::true_type{});
  edge(M - 1);
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
// and p·q, the rows' sums added in row order.
QUORVANE_WIDE_PASS double DirectionAndProductPortable(const System& s, const float* __restrict r,
                                                      float* __restrict p, float* __restrict q,
                                                      float* __restrict psi, bool renew, float alpha, float beta) {
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

// The second pass: r −= α q with r·r, a block of 1024 cells at a time, each
// block's sum added in order.
constexpr int ResidualBlock = 1024;

QUORVANE_WIDE_PASS double StepResidualPortable(int cells, float alpha, float* __restrict r,
                                               const float* __restrict q) {
  double rr = 0;
  for (int k0 = 0; k0 < cells; k0 += ResidualBlock) {
    const int k1 = std::min(k0 + ResidualBlock, cells);
    for (int k = k0; k < k1; ++k) r[k] -= alpha * q[k];
    rr += Dot(r + k0, r + k0, k1 - k0);
  }
  return rr;
}

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define QUORVANE_AVX2_PASSES 1

// The same two passes written out for AVX2, each array streamed once per pass:
// the same operations on every value in the same order, so the same numbers.
// LaneDot's eight lanes are two registers of four doubles, lo and hi, one
// addition each per eight cells. Only those additions use the fused
// multiply-add: the product of two floats is exact in double, so rounding it
// with the addition changes nothing. Nothing else may be fused (the float
// products are not exact), hence fp-contract=off.
#ifdef __clang__
#define QUORVANE_NO_CONTRACT
#else
#define QUORVANE_NO_CONTRACT , gnu::optimize("fp-contract=off")
#endif
#define QUORVANE_AVX2_FN gnu::target("avx2,fma") QUORVANE_NO_CONTRACT
#define QUORVANE_AVX2 [[QUORVANE_AVX2_FN, gnu::always_inline]] inline

// lo += (double)a·(double)b on lanes 0-3, hi on lanes 4-7.
QUORVANE_AVX2 void AddProducts(__m256d& lo, __m256d& hi, __m256 a, __m256 b) {
  lo = _mm256_fmadd_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(a)), _mm256_cvtps_pd(_mm256_castps256_ps128(b)), lo);
  hi = _mm256_fmadd_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(a, 1)), _mm256_cvtps_pd(_mm256_extractf128_ps(b, 1)), hi);
}

// The eight lanes in LaneDot's layout.
QUORVANE_AVX2 void StoreLanes(double* lanes, __m256d lo, __m256d hi) {
  _mm256_storeu_pd(lanes, lo);
  _mm256_storeu_pd(lanes + 4, hi);
}

inline double LaneTotal(const double* s) {
  return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
}

// One interior row in one sweep: p renewed on the row below (ψ moved first),
// q = A p on this row, and p·q summed as LaneDot sums it, the cells left over
// after the last eight added to the first lane in order.
template <bool Renew>
QUORVANE_AVX2 double FusedRowAvx2(const System& s, const float* __restrict r, float* __restrict p,
                                  float* __restrict q, float* __restrict psi, float alpha, float beta, int row) {
  const int M = s.M;
  const int k0 = row * M, k1 = k0 + M;
  const float* __restrict D = s.diag;
  const float* __restrict E = s.east;
  const float* __restrict S = s.south;
  const __m256 a = _mm256_set1_ps(alpha), b = _mm256_set1_ps(beta);
  __m256d lo = _mm256_setzero_pd(), hi = _mm256_setzero_pd();
  int k = k0;
  for (; k + 8 <= k1; k += 8) {
    __m256 below = _mm256_loadu_ps(p + k + M);
    if constexpr (Renew) {
      const __m256 x = _mm256_add_ps(_mm256_loadu_ps(psi + k + M), _mm256_mul_ps(a, below));
      below = _mm256_add_ps(_mm256_loadu_ps(r + k + M), _mm256_mul_ps(b, below));
      _mm256_storeu_ps(psi + k + M, x);
      _mm256_storeu_ps(p + k + M, below);
    }
    const __m256 centre = _mm256_loadu_ps(p + k);
    __m256 v = _mm256_mul_ps(_mm256_loadu_ps(D + k), centre);
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(S + k), below));
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(E + k), _mm256_loadu_ps(p + k + 1)));
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(E + k - 1), _mm256_loadu_ps(p + k - 1)));
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(S + k - M), _mm256_loadu_ps(p + k - M)));
    _mm256_storeu_ps(q + k, v);
    AddProducts(lo, hi, centre, v);
  }
  double lanes[8];
  StoreLanes(lanes, lo, hi);
  for (; k < k1; ++k) {
    if constexpr (Renew) {
      psi[k + M] += alpha * p[k + M];
      p[k + M] = r[k + M] + beta * p[k + M];
    }
    float v = D[k] * p[k];
    v += S[k] * p[k + M];
    v += E[k] * p[k + 1];
    v += E[k - 1] * p[k - 1];
    v += S[k - M] * p[k - M];
    q[k] = v;
    lanes[0] += static_cast<double>(p[k]) * static_cast<double>(v);
  }
  return LaneTotal(lanes);
}

template <bool Renew>
[[QUORVANE_AVX2_FN]] double DirectionAndProductAvx2(const System& s, const float* __restrict r,
                                                        float* __restrict p, float* __restrict q,
                                                        float* __restrict psi, float alpha, float beta) {
  const int M = s.M;
  if (Renew) {
    NewDirectionRow(r, p, psi, alpha, beta, 0, M);
    NewDirectionRow(r, p, psi, alpha, beta, M, M);
  }
  StencilRow(s, p, q, 0);
  double pq = Dot(p, q, M);
  for (int row = 1; row < M - 1; ++row) pq += FusedRowAvx2<Renew>(s, r, p, q, psi, alpha, beta, row);
  StencilRow(s, p, q, M - 1);
  pq += Dot(p + (M - 1) * M, q + (M - 1) * M, M);
  return pq;
}

// r −= α q and r·r in one sweep; two blocks side by side, so that the two
// blocks' chains of additions overlap, their sums added in order.
[[QUORVANE_AVX2_FN]] double StepResidualAvx2(int cells, float alpha, float* __restrict r,
                                                 const float* __restrict q) {
  constexpr int Block = ResidualBlock;
  const __m256 a = _mm256_set1_ps(alpha);
  double rr = 0;
  int k0 = 0;
  for (; k0 + 2 * Block <= cells; k0 += 2 * Block) {
    float* __restrict ra = r + k0;
    float* __restrict rb = r + k0 + Block;
    const float* __restrict qa = q + k0;
    const float* __restrict qb = q + k0 + Block;
    __m256d alo = _mm256_setzero_pd(), ahi = alo, blo = alo, bhi = alo;
    for (int k = 0; k < Block; k += 8) {
      const __m256 x = _mm256_sub_ps(_mm256_loadu_ps(ra + k), _mm256_mul_ps(a, _mm256_loadu_ps(qa + k)));
      const __m256 y = _mm256_sub_ps(_mm256_loadu_ps(rb + k), _mm256_mul_ps(a, _mm256_loadu_ps(qb + k)));
      _mm256_storeu_ps(ra + k, x);
      _mm256_storeu_ps(rb + k, y);
      AddProducts(alo, ahi, x, x);
      AddProducts(blo, bhi, y, y);
    }
    double lanes[8];
    StoreLanes(lanes, alo, ahi);
    rr += LaneTotal(lanes);
    StoreLanes(lanes, blo, bhi);
    rr += LaneTotal(lanes);
  }
  for (; k0 < cells; k0 += Block) {
    const int k1 = std::min(k0 + Block, cells);
    for (int k = k0; k < k1; ++k) r[k] -= alpha * q[k];
    rr += Dot(r + k0, r + k0, k1 - k0);
  }
  return rr;
}

// The same again with LaneDot's eight lanes in one AVX-512 register of eight
// doubles, the floats still eight to a register. As above, only the lane
// additions are fused with their exact products.
#define QUORVANE_AVX512_FN gnu::target("avx512f,avx512vl") QUORVANE_NO_CONTRACT
#define QUORVANE_AVX512 [[QUORVANE_AVX512_FN, gnu::always_inline]] inline

// Eight floats to eight doubles. (The masked forms, with every lane kept:
// g++ 12 warns of an undefined value inside the unmasked ones.)
QUORVANE_AVX512 __m512d Widen(__m256 a) { return _mm512_maskz_cvtps_pd(0xff, a); }

// lanes += (double)a·(double)b, eight cells.
QUORVANE_AVX512 __m512d AddProducts8(__m512d lanes, __m256 a, __m256 b) {
  return _mm512_fmadd_pd(Widen(a), Widen(b), lanes);
}
// Eight cells from cell `Cells` of the sixteen in (low, high): the cells of
// high follow those of low.
template <int Cells>
QUORVANE_AVX512 __m256 Shift(__m256 high, __m256 low) {
  return _mm256_castsi256_ps(_mm256_alignr_epi32(_mm256_castps_si256(high), _mm256_castps_si256(low), Cells));
}

template <bool Renew>
QUORVANE_AVX512 double FusedRowAvx512(const System& s, const float* __restrict r, float* __restrict p,
                                      float* __restrict q, float* __restrict psi, float alpha, float beta, int row) {
  const int M = s.M, W = s.W;
  const int k0 = row * W, k1 = k0 + M;
  const int flat = row * M - k0;  // r and q keep the mesh's layout: cell k there is k + flat
  const float* __restrict D = s.diag;
  const float* __restrict E = s.east;
  const float* __restrict S = s.south;
  const __m256 a = _mm256_set1_ps(alpha), b = _mm256_set1_ps(beta);
  __m512d lanes = _mm512_setzero_pd();
  int k = k0;
  // The cells of this row either side of a step come from the steps before
  // and after, moved one cell across (this row's p does not change here). The
  // first step's west neighbour is the last cell of the row before; the last
  // cell's east neighbour, the first of the row after, is read from cell M of
  // this row, where the aligned layout keeps a copy of it (the ghost), set
  // here once that cell is renewed. In the mesh's layout it is that cell.
  __m256 west = _mm256_broadcast_ss(p + k0 - W + M - 1), centre = _mm256_loadu_ps(p + k0);
  __m256 eastBefore = _mm256_broadcast_ss(E + k0 - W + M - 1);
  float* const ghost = p + k0 + M;
  if constexpr (!Renew) *ghost = p[k0 + W];
  for (; k + 8 <= k1; k += 8) {
    const __m256 next = _mm256_loadu_ps(p + k + 8);
    const __m256 east = _mm256_loadu_ps(E + k);
    __m256 below = _mm256_loadu_ps(p + k + W);
    if constexpr (Renew) {
      const __m256 x = _mm256_add_ps(_mm256_loadu_ps(psi + k + W), _mm256_mul_ps(a, below));
      below = _mm256_add_ps(_mm256_loadu_ps(r + k + flat + M), _mm256_mul_ps(b, below));
      _mm256_storeu_ps(psi + k + W, x);
      _mm256_storeu_ps(p + k + W, below);
      if (k == k0) *ghost = p[k0 + W];
    }
    __m256 v = _mm256_mul_ps(_mm256_loadu_ps(D + k), centre);
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(S + k), below));
    v = _mm256_add_ps(v, _mm256_mul_ps(east, Shift<1>(next, centre)));
    v = _mm256_add_ps(v, _mm256_mul_ps(Shift<7>(east, eastBefore), Shift<7>(centre, west)));
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(S + k - W), _mm256_loadu_ps(p + k - W)));
    _mm256_storeu_ps(q + k + flat, v);
    lanes = AddProducts8(lanes, centre, v);
    west = centre;
    centre = next;
    eastBefore = east;
  }
  double sums[8];
  _mm512_storeu_pd(sums, lanes);
  if (k < k1) {
    // The cells left over, fewer than eight, in one more step. The step's
    // other cells (the next row's, or row M's spare cells at the end) are
    // written back as they were: q there is formed later, and the row after
    // the one renewed here is renewed later.
    const __mmask8 left = static_cast<__mmask8>((1u << (k1 - k)) - 1u);
    const __m256 next = _mm256_loadu_ps(p + k + 8);
    const __m256 east = _mm256_loadu_ps(E + k);
    __m256 below = _mm256_loadu_ps(p + k + W);
    if constexpr (Renew) {
      const __m256 was = _mm256_loadu_ps(psi + k + W);
      const __m256 renewed = _mm256_add_ps(_mm256_loadu_ps(r + k + flat + M), _mm256_mul_ps(b, below));
      _mm256_storeu_ps(psi + k + W, _mm256_mask_blend_ps(left, was, _mm256_add_ps(was, _mm256_mul_ps(a, below))));
      _mm256_storeu_ps(p + k + W, _mm256_mask_blend_ps(left, below, renewed));
      below = renewed;
    }
    __m256 v = _mm256_mul_ps(_mm256_loadu_ps(D + k), centre);
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(S + k), below));
    v = _mm256_add_ps(v, _mm256_mul_ps(east, Shift<1>(next, centre)));
    v = _mm256_add_ps(v, _mm256_mul_ps(Shift<7>(east, eastBefore), Shift<7>(centre, west)));
    v = _mm256_add_ps(v, _mm256_mul_ps(_mm256_loadu_ps(S + k - W), _mm256_loadu_ps(p + k - W)));
    _mm256_storeu_ps(q + k + flat, _mm256_mask_blend_ps(left, _mm256_loadu_ps(q + k + flat), v));
    // Their products go to the first lane, in order, after the rest.
    double products[8];
    _mm512_storeu_pd(products, _mm512_mul_pd(Widen(centre), Widen(v)));
    for (int i = 0; i < k1 - k; ++i) sums[0] += products[i];
  }
  return LaneTotal(sums);
}

template <bool Renew>
[[QUORVANE_AVX512_FN]] double DirectionAndProductAvx512(const System& s, const float* __restrict r,
                                                          float* __restrict p, float* __restrict q,
                                                          float* __restrict psi, float alpha, float beta) {
  const int M = s.M, W = s.W;
  if (Renew) {
    NewDirectionRow(r, p, psi, alpha, beta, 0, M);
    // Row 1 (r there in the mesh's layout).
    for (int c = 0; c < M; ++c) {
      psi[W + c] += alpha * p[W + c];
      p[W + c] = r[M + c] + beta * p[W + c];
    }
  }
  StencilRowAny(s, p, q, 0);
  double pq = Dot(p, q, M);
  for (int row = 1; row < M - 1; ++row) pq += FusedRowAvx512<Renew>(s, r, p, q, psi, alpha, beta, row);
  StencilRowAny(s, p, q, M - 1);
  pq += Dot(p + (M - 1) * W, q + (M - 1) * M, M);
  return pq;
}

// The second pass as StepResidualAvx2, the lanes in one register of eight
// doubles: the AVX2 form runs about 5 % slower at 300 on an AVX-512 machine.
[[QUORVANE_AVX512_FN]] double StepResidualAvx512(int cells, float alpha, float* __restrict r,
                                                   const float* __restrict q) {
  constexpr int Block = ResidualBlock;
  const __m256 a = _mm256_set1_ps(alpha);
  double rr = 0;
  int k0 = 0;
  for (; k0 + 2 * Block <= cells; k0 += 2 * Block) {
    float* __restrict ra = r + k0;
    float* __restrict rb = r + k0 + Block;
    const float* __restrict qa = q + k0;
    const float* __restrict qb = q + k0 + Block;
    __m512d sa = _mm512_setzero_pd(), sb = sa;
    for (int k = 0; k < Block; k += 8) {
      const __m256 x = _mm256_sub_ps(_mm256_loadu_ps(ra + k), _mm256_mul_ps(a, _mm256_loadu_ps(qa + k)));
      const __m256 y = _mm256_sub_ps(_mm256_loadu_ps(rb + k), _mm256_mul_ps(a, _mm256_loadu_ps(qb + k)));
      _mm256_storeu_ps(ra + k, x);
      _mm256_storeu_ps(rb + k, y);
      sa = AddProducts8(sa, x, x);
      sb = AddProducts8(sb, y, y);
    }
    double sums[8];
    _mm512_storeu_pd(sums, sa);
    rr += LaneTotal(sums);
    _mm512_storeu_pd(sums, sb);
    rr += LaneTotal(sums);
  }
  for (; k0 < cells; k0 += Block) {
    const int k1 = std::min(k0 + Block, cells);
    for (int k = k0; k < k1; ++k) r[k] -= alpha * q[k];
    rr += Dot(r + k0, r + k0, k1 - k0);
  }
  return rr;
}
#endif

// The widest passes a run may use (tests narrow it).
std::atomic<SolverPasses> widestPasses{SolverPasses::Avx512};
std::atomic<bool> alignRows{true};

#ifdef QUORVANE_AVX2_PASSES
bool UseAvx512() {
  static const bool have = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
  return have && widestPasses.load(std::memory_order_relaxed) >= SolverPasses::Avx512;
}

bool UseAvx2() {
  static const bool have = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return have && widestPasses.load(std::memory_order_relaxed) >= SolverPasses::Avx2;
}
#endif

double DirectionAndProduct(const System& s, const float* r, float* p, float* q, float* psi, bool renew, float alpha,
                           float beta) {
#ifdef QUORVANE_AVX2_PASSES
  if (s.W != s.M)  // the aligned layout, chosen only for AVX-512
    return renew ? DirectionAndProductAvx512<true>(s, r, p, q, psi, alpha, beta)
                 : DirectionAndProductAvx512<false>(s, r, p, q, psi, alpha, beta);
  // Rows of sixteen cells or more: in a shorter row the first step would read
  // the next row's first cell before renewing it.
  if (UseAvx512() && s.M >= 16)
    return renew ? DirectionAndProductAvx512<true>(s, r, p, q, psi, alpha, beta)
                 : DirectionAndProductAvx512<false>(s, r, p, q, psi, alpha, beta);
  if (UseAvx2())
    return renew ? DirectionAndProductAvx2<true>(s, r, p, q, psi, alpha, beta)
                 : DirectionAndProductAvx2<false>(s, r, p, q, psi, alpha, beta);
#endif
  return DirectionAndProductPortable(s, r, p, q, psi, renew, alpha, beta);
}

double StepResidual(int cells, float alpha, float* r, const float* q) {
#ifdef QUORVANE_AVX2_PASSES
  if (UseAvx512()) return StepResidualAvx512(cells, alpha, r, q);
  if (UseAvx2()) return StepResidualAvx2(cells, alpha, r, q);
#endif
  return StepResidualPortable(cells, alpha, r, q);
}

// r = b − A ψ afresh, with r·r.
QUORVANE_WIDE_PASS double TrueResidual(const System& s, const float* __restrict psi, float* __restrict r) {
  const int M = s.M;
  double rr = 0;
  for (int row = 0; row < M; ++row) {
    if (s.W == M)
      StencilRow(s, psi, r, row);
    else
      StencilRowAny(s, psi, r, row);
    float* __restrict rowR = r + row * M;
    const float* __restrict rowB = s.rhs + row * M;
    for (int c = 0; c < M; ++c) rowR[c] = rowB[c] - rowR[c];
    rr += Dot(rowR, rowR, M);
  }
  return rr;
}

// One array of a run, its first cell on a 64-byte boundary.
struct RunArray {
  std::vector<float> store;
  float* data;
  explicit RunArray(std::size_t n) : store(n + 16, 0.0f) {
    const auto at = reinterpret_cast<std::uintptr_t>(store.data());
    data = store.data() + ((64 - at % 64) % 64) / sizeof(float);
  }
};

// Whether a run keeps its arrays in the aligned layout: each row starting on a
// 64-byte boundary, so that the AVX-512 passes' loads and stores of eight
// cells never straddle two cache lines. The arrays are copied in at the start
// of the run and ψ out at its end.
bool AlignedLayout(int M) {
#ifdef QUORVANE_AVX2_PASSES
  return M >= 16 && alignRows.load(std::memory_order_relaxed) && UseAvx512();
#else
  (void)M;
  return false;
#endif
}

// ψ += α p over the cells of the system.
void AddStep(const System& s, float* __restrict psi, const float* __restrict p, float alpha) {
  for (int row = 0; row < s.M; ++row)
    for (int k = row * s.W; k < row * s.W + s.M; ++k) psi[k] += alpha * p[k];
}

}  // namespace

bool AllFinite(const float* a, int n) {
  float z = 0;
  for (int k = 0; k < n; ++k) z += a[k] * 0.0f;
  return z == 0.0f;
}

bool ReadyToSolve(const Mesh& mesh, const float* rhs, const float* x, double& bb, SolverResult& result) {
  const int M = mesh.MeshSize;
  const int cells = M * M;
  const std::size_t length = static_cast<std::size_t>(mesh.ArrayLength());
  for (const std::vector<float>* a : {&mesh.CoefDiag, &mesh.CoefEast, &mesh.CoefSouth})
    if (a->size() != length) return false;
  if (mesh.SetupMeshSize != M || M < 2 || !rhs || !x) return false;
  bb = Dot(rhs, rhs, cells);
  result.outcome = SolverOutcome::NotFinite;
  if (!std::isfinite(bb)) return false;
  if (bb == 0) {
    result.outcome = SolverOutcome::NothingToSolve;
    return false;
  }
  return AllFinite(mesh.CoefDiag.data(), cells) && AllFinite(mesh.CoefEast.data(), cells) &&
         AllFinite(mesh.CoefSouth.data(), cells) && AllFinite(x, cells);
}

SolverPasses LimitSolverPasses(SolverPasses widest) { return widestPasses.exchange(widest); }
bool AlignSolverRows(bool align) { return alignRows.exchange(align); }

void ApplyMatrix(const Mesh& mesh, const float* x, float* y) {
  const System s{mesh.CoefDiag.data(), mesh.CoefEast.data(), mesh.CoefSouth.data(), mesh.RightHandSide.data(),
                 mesh.MeshSize, mesh.MeshSize * mesh.MeshSize, mesh.MeshSize};
  for (int row = 0; row < s.M; ++row) StencilRow(s, x, y, row);
}

SolverResult SolveStreamFunction(Mesh& mesh, float errorTolerance2, const SolverCallbacks& callbacks,
                                 double stallBound2) {
  SolverResult result;
  const int M = mesh.MeshSize;
  const int cells = M * M;
  const std::size_t length = static_cast<std::size_t>(mesh.ArrayLength());
  if (mesh.RightHandSide.size() != length || mesh.StreamFunction.size() != length) return result;
  float* const meshPsi = mesh.StreamFunction.data();
  double bb = 0;
  if (!ReadyToSolve(mesh, mesh.RightHandSide.data(), meshPsi, bb, result)) return result;

  // The run's arrays: the mesh's own in its layout, or copies in the aligned
  // one (a row every W cells, W ≥ M + 1 so that the cell after each row can
  // hold the first-pass copy of the next row's first direction value).
  const bool aligned = AlignedLayout(M);
  const int W = aligned ? (M + 1 + 15) / 16 * 16 : M;
  const std::size_t runLength = aligned ? static_cast<std::size_t>(M + 2) * W + 16 : length;
  std::vector<RunArray> copies;
  auto arrayFor = [&](std::vector<float>& from) {
    if (!aligned) return from.data();
    copies.emplace_back(runLength);
    for (int row = 0; row < M; ++row)
      std::copy(from.begin() + row * M, from.begin() + row * M + M, copies.back().data + row * W);
    return copies.back().data;
  };
  copies.reserve(4);
  const System s{arrayFor(mesh.CoefDiag), arrayFor(mesh.CoefEast), arrayFor(mesh.CoefSouth),
                 mesh.RightHandSide.data(), M, cells, W};

  float* psi = arrayFor(mesh.StreamFunction);

  std::vector<float> residual(length, 0.0f), product(length, 0.0f);
  RunArray direction(runLength);
  // What ψ held before the run, put back if the run meets a value that is not
  // finite, so no such value is ever left in the solution.
  const std::vector<float> before(meshPsi, meshPsi + cells);
  float* r = residual.data();
  float* p = aligned ? direction.data : direction.store.data();
  float* q = product.data();
  auto fail = [&] {
    std::copy(before.begin(), before.end(), meshPsi);
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
    if (pending) AddStep(s, psi, p, pendingAlpha);
    pending = false;
    if (aligned)
      for (int row = 0; row < M; ++row) std::copy(psi + row * W, psi + row * W + M, meshPsi + row * M);
    if (!AllFinite(meshPsi, cells)) return fail();
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
  for (int row = 0; row < M; ++row) std::copy(r + row * M, r + row * M + M, p + row * W);
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
      AddStep(s, psi, p, static_cast<float>(alpha));
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
