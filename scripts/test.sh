#!/bin/sh
# Builds everything, runs every test on the offscreen Qt platform, proves the
# computing core builds without Qt, runs the validation programs once, drives
# the real program through one session on a virtual display, then builds the
# tests again with the address and undefined-behaviour sanitizers and runs
# them once more, and gives the document reader a bounded fuzzing run.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
JOBS="$(nproc)"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/quorvane-runtime-$(id -u)}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

echo "== Release build and tests"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/test --parallel "$JOBS"
ctest --test-dir build/test --output-on-failure --parallel "$JOBS" --timeout 300

echo "== The computing core without Qt"
# Every core header, compiled with only the project folder on the include
# path (Qt's headers are not on the compiler's own path) and linked against
# the core library alone.
${CXX:-c++} -std=c++20 -I. build/test/core_only.cpp build/test/libquorvane_core.a \
  -o build/test/core_only_plain
build/test/core_only_plain
echo "core builds and runs without Qt"

echo "== Validation programs (Release)"
build/test/validate_stall
build/test/validate_solver
build/test/validate_lift

echo "== Installation, launcher files and the Debian package"
# The .desktop, AppStream and MIME files pass their validators; an install into
# a temporary prefix has every file in its place and the installed program
# starts and keeps its files in the user's folders; the .deb's fields and files.
sh scripts/install-check.sh build/test

echo "== Session smoke test on a virtual display"
sh scripts/smoke.sh build/test/quorvane

echo "== Sanitizer build and tests"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON -DQUORVANE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-O1" >/dev/null
cmake --build build/asan --parallel "$JOBS"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure --parallel "$JOBS" --timeout 600

if [ -d fuzz ] && ls fuzz/*.cpp >/dev/null 2>&1 && command -v clang++ >/dev/null; then
  echo "== Document reader fuzzing"
  cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-O1" \
    -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF -DQUORVANE_FUZZ=ON >/dev/null
  cmake --build build/fuzz --parallel "$JOBS"
  for f in build/fuzz/fuzz_*; do
    [ -f "$f" ] && [ -x "$f" ] || continue
    mkdir -p build/fuzz/corpus
    ASAN_OPTIONS=detect_leaks=0 "$f" -max_total_time=60 -rss_limit_mb=2048 build/fuzz/corpus fuzz/seeds 2>&1 | tail -5
  done
fi
echo "== All tests passed"
