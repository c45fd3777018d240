#!/usr/bin/env bash
# Checks what `cmake --install` lays out and the Debian package that CPack builds from the same
# rules: every file in its place, the desktop entry, AppStream metadata and man pages free of
# any complaint of their validators, the completions working or at least parsing, and the
# package installing, running from the PATH and leaving nothing behind when removed.
# Usage: scripts/check-install.sh [BUILD_DIR]   (default: build; it must be built already).
# The package step installs into the system: run as root on a machine that may be changed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build}")
APP_ID=io.github.kwl.kwl

work=$(mktemp -d)
package_installed=false
cleanup() {
    if $package_installed; then
        apt-get remove -y -qq kwl >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "check-install: $*" >&2
    failures=$((failures + 1))
}
# Runs a validator; any output at all is a complaint.
expect_silent() {
    local what=$1 output
    shift
    if ! output=$("$@" 2>&1) || [[ -n $output ]]; then
        fail "$what:"$'\n'"$output"
    fi
}

echo "== cmake --install into a temporary prefix"
prefix=$work/prefix
cmake --install "$BUILD" --prefix "$prefix" >/dev/null
expected=(
    bin/kwl
    bin/kwl-list
    share/applications/$APP_ID.desktop
    share/metainfo/$APP_ID.metainfo.xml
    share/icons/hicolor/scalable/apps/$APP_ID.svg
    share/man/man1/kwl.1.gz
    share/man/man1/kwl-list.1.gz
    share/doc/kwl/copyright
    share/doc/kwl/changelog.gz
    share/bash-completion/completions/kwl-list
    share/bash-completion/completions/kwl
    share/zsh/vendor-completions/_kwl-list
    share/fish/vendor_completions.d/kwl-list.fish
    share/fish/vendor_completions.d/kwl.fish
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$APP_ID.png")
done
for file in "${expected[@]}"; do
    [[ -f $prefix/$file ]] || fail "not installed: $file"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png
    [[ -f $png ]] && ! file "$png" | grep -q "PNG image data, $size x $size," &&
        fail "$png is not a $size x $size PNG: $(file -b "$png")"
done
# Nothing else: a file installed by mistake would go into the package too.
while IFS= read -r file; do
    printf '%s\n' "${expected[@]}" | grep -qxF "$file" || fail "installed, but not expected: $file"
done < <(cd "$prefix" && find . -type f -printf '%P\n')
[[ -x $prefix/bin/kwl-list ]] && ! "$prefix/bin/kwl-list" --version >/dev/null &&
    fail "the installed kwl-list does not run"

echo "== validators"
expect_silent "desktop-file-validate" desktop-file-validate "$prefix/share/applications/$APP_ID.desktop"
# appstreamcli ends with a line of its own on success; every finding has a letter in front.
metainfo=$prefix/share/metainfo/$APP_ID.metainfo.xml
if ! output=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) ||
    grep -qE '^[EWIP]:' <<<"$output"; then
    fail "appstreamcli validate:"$'\n'"$output"
fi
for page in kwl kwl-list; do
    manpage=$prefix/share/man/man1/$page.1.gz
    expect_silent "man --warnings $page.1" env LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        bash -c 'man --warnings -l "$1" >/dev/null' _ "$manpage"
    LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$manpage" 2>/dev/null | grep -q "^SYNOPSIS" ||
        fail "man $page.1 renders no SYNOPSIS"
done

echo "== completions"
# bash: the completion function called as readline would call it, in a shell of its own.
complete_bash() {
    local file=$1 line=$2
    bash --norc --noprofile -c '
        source "$1"
        read -r -a COMP_WORDS <<<"$2"
        [[ $2 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$2
        COMP_POINT=${#2}
        _kwl_list
        printf "%s\n" "${COMPREPLY[@]}"' _ "$file" "$line"
}
bash_file=$prefix/share/bash-completion/completions/kwl-list
[[ $(complete_bash "$bash_file" "kwl-list --exp") == "--export" ]] ||
    fail "bash does not complete 'kwl-list --exp' to --export"
kinds=$(complete_bash "$bash_file" "kwl-list --export " | sort | tr '\n' ' ')
[[ $kinds == "html html-app json listing text " ]] ||
    fail "bash offers '$kinds' after 'kwl-list --export '"
expect_silent "zsh -n _kwl-list" zsh -n "$prefix/share/zsh/vendor-completions/_kwl-list"
for file in "$prefix"/share/fish/vendor_completions.d/*.fish; do
    expect_silent "fish --no-execute $(basename "$file")" fish --no-execute "$file"
done

echo "== the Debian package"
(cd "$BUILD" && cpack -G DEB -B "$work/package" >/dev/null)
debs=("$work"/package/kwl_*.deb)
[[ -f ${debs[0]} ]] || { fail "cpack made no kwl_*.deb"; exit 1; }
# Debian's own checks of a package: an error fails, warnings are shown. No tag is overridden.
# Its remark about running as root is no finding.
if ! output=$(lintian --fail-on error "${debs[0]}" 2>&1); then
    fail "lintian finds errors in the package:"$'\n'"$output"
fi
output=$(grep -v '^running with root privileges' <<<"$output" || true)
[[ -n $output ]] && sed 's/^/   lintian: /' <<<"$output"
package_installed=true
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=300 \
    "${debs[0]}" >/dev/null
[[ $(command -v kwl-list) == /usr/bin/kwl-list ]] || fail "kwl-list is not /usr/bin/kwl-list"
version=$(kwl-list --version) || fail "kwl-list --version failed from the PATH"
echo "   $version"
mapfile -t listed < <(dpkg -L kwl)
printf '%s\n' "${listed[@]}" | grep -qxF "/usr/share/applications/$APP_ID.desktop" ||
    fail "dpkg -L kwl lists no desktop entry"
[[ $(dpkg-query -W -f='${Depends}' kwl) == *libwx* ]] ||
    fail "the package depends on no wxWidgets library: $(dpkg-query -W -f='${Depends}' kwl)"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=300 kwl >/dev/null
package_installed=false
for path in "${listed[@]}"; do
    # Folders like /usr/share/man are shared with other packages and stay.
    [[ -e $path && ! -d $path ]] && fail "left after apt-get remove: $path"
done

if ((failures > 0)); then
    echo "check-install: $failures check(s) failed" >&2
    exit 1
fi
echo "check-install: everything in its place"
