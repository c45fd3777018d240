#!/usr/bin/env bash
# Takes docs/windows-*-en.png and docs/windows-*-de.png: every dialog of kwl.exe in each
# language, under Wine on a private Xvfb. Needs the Windows build with its tests
# (scripts/test-windows.sh, or scripts/build-windows.sh --target kwl_winui_tests with
# KWL_BUILD_TESTS=ON) and ImageMagick (convert).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${KWL_WINDOWS_BUILD:-build-windows}
export WINEPREFIX="$PWD/$BUILD/wine-prefix" WINEDEBUG=-all

pictures=$(mktemp -d)
trap 'rm -rf "$pictures"; wineserver -k 2>/dev/null || true' EXIT
# The prefix starts on the display, so its virtual desktop lives there.
KWL_SCREENSHOTS="Z:${pictures//\//\\}" scripts/xvfb.sh bash -c \
    'tests/windows/wine-prefix.sh "$1" && wine "$1/tests/kwl_winui_tests.exe" \
         --gtest_also_run_disabled_tests --gtest_filter="Screenshots.*"' screenshots "$BUILD"
for picture in "$pictures"/*.bmp; do
    convert "$picture" -strip "docs/$(basename "${picture%.bmp}").png"
done
ls docs/windows-*.png
