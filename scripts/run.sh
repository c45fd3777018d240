#!/usr/bin/env bash
# Installs what is missing, builds, and starts KWL: lists the directory given (default: this
# checkout) with kwl-list.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target kwl-list >&2
exec build/cli/kwl-list -r -f "name|F-[(]-F-size-F-[ bytes)]|[\[]-crTime-[\]]" "${1:-.}"
