#!/usr/bin/env bash
# The Windows step of scripts/test.sh, also to be run alone: cross-builds kwl-list.exe and the
# tests for Windows (scripts/build-windows.sh), starts the build's own Wine prefix, runs the
# tests under Wine through ctest, and compares kwl-list.exe's outputs with Linux's kwl-list
# (built here first when build/ has none).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${KWL_JOBS:-$(nproc)}
BUILD=${KWL_WINDOWS_BUILD:-build-windows}

if [[ ! -x build/cli/kwl-list ]]; then
    scripts/install-deps.sh
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKWL_WERROR=ON >/dev/null
    cmake --build build -j"$JOBS" --target kwl-list
fi

KWL_BUILD_TESTS=ON KWL_JOBS="$JOBS" KWL_WINDOWS_BUILD="$BUILD" \
    KWL_WINDOWS_CMAKE_ARGS="-DKWL_WERROR=ON -DKWL_LINUX_KWL_LIST=$PWD/build/cli/kwl-list" \
    scripts/build-windows.sh

# The prefix's wineserver stays up for the tests (each test starts in 0.05 s instead of
# seconds) and is stopped at the end. The window tests need a display: a private Xvfb for the
# whole run, there before the prefix starts, whose virtual desktop lives on it.
trap 'WINEPREFIX="$PWD/$BUILD/wine-prefix" wineserver -k 2>/dev/null || true' EXIT
# The window tests run first: after the other tests each of them took about 20 s more under
# Wine (it waited for something those left running in the prefix), alone well under a second.
scripts/xvfb.sh bash -c 'tests/windows/wine-prefix.sh "$1" && cd "$1" &&
                         ctest --output-on-failure -j"$2" -L gui &&
                         ctest --output-on-failure -j"$2" -LE gui' run-tests "$BUILD" "$JOBS"
