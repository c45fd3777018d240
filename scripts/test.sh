#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test: once
# normally, once under AddressSanitizer and UndefinedBehaviorSanitizer, the scan and output
# tests under ThreadSanitizer (the parallel scan and the batched rendering are synchronised by
# hand), and the fuzz targets briefly;
# then the Windows build and its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
JOBS=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKWL_WERROR=ON >/dev/null
cmake --build build -j"$JOBS"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKWL_SANITIZE=ON -DKWL_WERROR=ON \
      -DKWL_BUILD_GUI=OFF -DKWL_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$JOBS"

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKWL_TSAN=ON -DKWL_WERROR=ON \
      -DKWL_BUILD_GUI=OFF -DKWL_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$JOBS" --target kwl_scan_tests kwl_output_tests

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
(cd build-sanitize && ctest --output-on-failure -j"$JOBS")

echo "== scan and output tests under ThreadSanitizer"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/kwl_scan_tests --gtest_brief=1
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build-tsan/tests/kwl_output_tests --gtest_brief=1

echo "== fuzz targets, 20 seconds each"
fuzz/run.sh 20

echo "== tests (window tests on a private Xvfb display)"
(cd build && ../scripts/xvfb.sh ctest --output-on-failure -j"$JOBS")

echo "== install rules and the Debian package"
scripts/check-install.sh build

echo "== Windows: kwl-list.exe and its tests under Wine, its outputs against Linux's"
scripts/test-windows.sh
