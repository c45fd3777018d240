#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing KWL need (only the missing ones).
set -euo pipefail

PACKAGES=(
    build-essential cmake pkg-config       # compiler and build
    libssl-dev libxxhash-dev               # content hashes (SHA-256, XXH3 128-bit)
    zlib1g-dev                             # the browsable page's compressed columns
    rapidjson-dev                          # snapshot reader (streaming), tests' JSON reader
    libgtest-dev googletest xxhash         # tests (xxhsum checks our XXH128 digests)
    python3 python3-jsonschema             # tests: CSV read-back, JSON Schema validation
    libreoffice-calc-nogui                 # tests: a spreadsheet opens the text export
    clang libclang-rt-14-dev               # fuzz targets (libFuzzer)
    libwxgtk3.2-dev                        # desktop program
    libgtk-3-dev                           # GTK itself: sizes, log and accessible names
    scdoc librsvg2-bin                     # build: man pages, the icon's PNG sizes
    desktop-file-utils appstream man-db groff-base file  # tests: installed files validate
    zsh fish                               # tests: the completions parse and complete
    dpkg-dev                               # Debian package: dependencies from the libraries
    lintian                                # tests: the Debian package as Debian checks it
    python3-pyatspi at-spi2-core dbus      # tests: names read as a screen reader reads them
    xvfb xauth                             # window tests without a display
    chromium                               # tests: the browsable page in a real browser
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 zip  # the Windows build, run under Wine
    nsis                                   # the Windows installer
)
# Node.js and npm drive Chromium in the tests; a Node.js that is there already (with its npm)
# is kept.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
    PACKAGES+=(nodejs npm)
fi

"$(dirname "$0")/install-missing.sh" "${PACKAGES[@]}"

# puppeteer-core for the browser tests, exactly as tests/browser/package-lock.json pins it.
BROWSER_TESTS="$(dirname "$0")/../tests/browser"
if ! cmp -s "$BROWSER_TESTS/package-lock.json" "$BROWSER_TESTS/node_modules/.kwl-installed-lock"; then
    (cd "$BROWSER_TESTS" && npm ci --no-audit --no-fund --loglevel=error)
    cp "$BROWSER_TESTS/package-lock.json" "$BROWSER_TESTS/node_modules/.kwl-installed-lock"
fi
