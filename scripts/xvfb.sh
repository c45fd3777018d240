#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server that ends with it, so window tests
# need no desktop and never open windows on the caller's screen.
set -euo pipefail

fdfile=$(mktemp)
trap 'rm -f "$fdfile"; [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
# -displayfd picks a free display number and writes it once the server is ready. -noreset:
# the server would otherwise reset whenever its last client leaves, and a test program that
# connects during that reset (ctest -j) finds no display.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s "$fdfile" ]] && break
    sleep 0.1
done
if [[ ! -s "$fdfile" ]]; then
    echo "xvfb.sh: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$fdfile")"
unset WAYLAND_DISPLAY
"$@"
