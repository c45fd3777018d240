#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing KWL need (only the missing ones).
set -euo pipefail

PACKAGES=(
    build-essential cmake pkg-config       # compiler and build
    libssl-dev libxxhash-dev               # content hashes (SHA-256, XXH3 128-bit)
    rapidjson-dev                          # snapshot reader: a streaming JSON parser
    libgtest-dev googletest xxhash         # tests (xxhsum checks our XXH128 digests)
    libsimdjson-dev                        # tests read the JSON export with a real parser
    python3 python3-jsonschema             # tests: CSV read-back, JSON Schema validation
    clang libclang-rt-14-dev               # fuzz targets (libFuzzer)
    libwxgtk3.2-dev                        # desktop program
    libgtk-3-dev                           # GTK itself: sizes, log and accessible names
    scdoc librsvg2-bin                     # build: man pages, the icon's PNG sizes
    desktop-file-utils appstream man-db groff-base file  # tests: installed files validate
    zsh fish                               # tests: the completions parse and complete
    dpkg-dev                               # Debian package: dependencies from the libraries
    python3-pyatspi at-spi2-core dbus      # tests: names read as a screen reader reads them
    xvfb xauth                             # window tests without a display
)

missing=()
for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if ((${#missing[@]} > 0)); then
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
