#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once normally, once under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
JOBS=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$JOBS"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKWL_SANITIZE=ON \
      -DKWL_BUILD_GUI=OFF -DKWL_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$JOBS"

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
(cd build-sanitize && ctest --output-on-failure -j"$JOBS")

echo "== fuzz targets, 20 seconds each"
fuzz/run.sh 20

echo "== tests (window tests on a private Xvfb display)"
(cd build && ../scripts/xvfb.sh ctest --output-on-failure -j"$JOBS")
