#!/usr/bin/env bash
# Cross-builds kwl.exe and kwl-list.exe for 64-bit Windows with MinGW-w64 into build-windows/ and packs
# kwl-<version>-windows-x64.zip and the installer kwl-<version>-setup-x64.exe there. Installs
# the Debian packages it needs (only the missing ones). Extra arguments go to the build step,
# e.g. --target kwl-list.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${KWL_WINDOWS_BUILD:-$ROOT/build-windows}"

PACKAGES=(
    cmake                                  # build
    g++-mingw-w64-x86-64-posix             # the cross compiler, posix threads for std::thread
    libz-mingw-w64-dev                     # zlib for Windows, linked statically
    rapidjson-dev libxxhash-dev            # header-only: snapshot reader, XXH3 (inlined)
    python3                                # kwl.exe's pictures from res/*.xpm
    wine wine64                            # running the programs and tests on this machine
    zip                                    # the release archive
    nsis                                   # the installer (makensis, 64-bit stubs)
)
"$(dirname "$0")/install-missing.sh" "${PACKAGES[@]}"

LAUNCHER=()
if command -v ccache >/dev/null; then LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$ROOT" -B "$BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-Release}" \
    -DKWL_BUILD_GUI=ON -DKWL_BUILD_BENCH=OFF -DKWL_WERROR="${KWL_WERROR:-ON}" \
    -DKWL_BUILD_TESTS="${KWL_BUILD_TESTS:-OFF}" \
    "${LAUNCHER[@]}" ${KWL_WINDOWS_CMAKE_ARGS:-}
cmake --build "$BUILD" -j"${KWL_JOBS:-$(nproc)}" "$@"
