#!/usr/bin/env bash
# Installs what is missing, builds, and starts the KWL desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run.sh: KWL is a desktop program and needs a display (DISPLAY or WAYLAND_DISPLAY is" >&2
    echo "not set). From a shell without one, use build/cli/kwl-list (see README.md)." >&2
    exit 1
fi
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kwl kwl-list kwl_man_pages kwl_icons kwl_changelog >&2
exec build/src/ui/kwl
