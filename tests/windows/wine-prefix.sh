#!/usr/bin/env bash
# Makes (the first time) and starts the Wine prefix that the Windows build's tests run in,
# BUILD_DIR/wine-prefix, and keeps its wineserver running. Everything Wine starts here is cut
# off from the caller's pipes: a wineserver or service that ctest started would hold them open,
# and ctest would wait for it until its timeout.
set -euo pipefail
BUILD="$(cd "${1:?usage: wine-prefix.sh BUILD_DIR}" && pwd)"
export WINEPREFIX="$BUILD/wine-prefix" WINEDEBUG=-all
# The tests need neither .NET nor the HTML engine; their installers would only ask for them.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot --init </dev/null >/dev/null 2>&1
# Windows open on Wine's virtual desktop: without a window manager (Xvfb) each window would
# wait about two seconds to show, without a caption.
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
