#!/bin/sh
# Builds a Release of the window and the command-line program and makes the
# Debian package from it: build/release/quorvane_<version>_<arch>.deb. Its
# dependencies are read from the programs' shared libraries (dpkg-shlibdeps).
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
BUILD=build/release
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=OFF >/dev/null
cmake --build "$BUILD" --parallel "$(nproc)"
rm -f "$BUILD"/quorvane_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
for deb in "$BUILD"/quorvane_*.deb; do
  dpkg-deb --field "$deb" Package Version Architecture Depends
  echo "$deb"
done
