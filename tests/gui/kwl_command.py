#!/usr/bin/env python3
"""kwl answers --help and --version without a display and refuses options it does not know.

    kwl_command.py KWL
"""
import os
import subprocess
import sys


def main():
    kwl = sys.argv[1]
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    failures = []

    def run(args):
        return subprocess.run([kwl] + args, capture_output=True, env=env, timeout=60)

    # GTK's own options, with their values, are not ours to refuse.
    for args in (["--help"], ["-h"], ["--display", ":99", "--help"], ["--sync", "--help"]):
        r = run(args)
        if r.returncode != 0 or not r.stdout.startswith(b"Usage: kwl ") or r.stderr:
            failures.append("%s: %d %r %r" % (args, r.returncode, r.stdout[:80], r.stderr[:200]))
    r = run(["--display=:99", "--version"])
    if r.returncode != 0 or not r.stdout.startswith(b"kwl ") or r.stdout.count(b"\n") != 1:
        failures.append("--version: %d %r" % (r.returncode, r.stdout))
    for bad in ("--bogus", "x", "--hel\x1bp"):
        r = run([bad])
        shown = bad.replace("\x1b", "?").encode()
        if r.returncode != 2 or b"kwl: unknown option '" + shown + b"'" not in r.stderr or r.stdout:
            failures.append("%r: %d %r" % (bad, r.returncode, r.stderr[:200]))
    for f in failures:
        print("FAIL:", f)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
