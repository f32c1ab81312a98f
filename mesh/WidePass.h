// WidePass: the attribute that compiles a hot loop of the solvers twice, for the
// plain x86-64 instruction set and for AVX2, the processor picking at start-up.
// The order of every sum stays the same, so both give the same numbers.
#pragma once

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define QUORVANE_WIDE_PASS __attribute__((target_clones("avx2", "default")))
#else
#define QUORVANE_WIDE_PASS
#endif
