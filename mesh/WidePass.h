// WidePass: the attribute that compiles a hot loop of the solvers twice, for the
// plain x86-64 instruction set and for AVX2, the processor picking at start-up.
// The order of every sum stays the same, so both give the same numbers. Also
// the dot product both solvers sum in double over eight lanes, so it vectorises.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define QUORVANE_WIDE_PASS __attribute__((target_clones("avx2", "default")))
#else
#define QUORVANE_WIDE_PASS
#endif

// a·b, each product formed in double and summed over eight lanes, the lanes
// added pairwise at the end: one fixed order, whatever the instruction set.
inline double LaneDot(const float* __restrict a, const float* __restrict b, int n) {
  constexpr int Lanes = 8;
  double s[Lanes] = {};
  int k = 0;
  for (; k + Lanes <= n; k += Lanes)
    for (int l = 0; l < Lanes; ++l) s[l] += static_cast<double>(a[k + l]) * static_cast<double>(b[k + l]);
  for (; k < n; ++k) s[0] += static_cast<double>(a[k]) * static_cast<double>(b[k]);
  return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
}
