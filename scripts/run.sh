#!/bin/sh
# Builds Quorvane in Release and starts it.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF >/dev/null
cmake --build build/release --parallel "$(nproc)" --target quorvane
exec build/release/quorvane
