#!/usr/bin/env python3
"""kwl answers --help and --version without a display and refuses options it does not know;
without a display it says so in its stored language and exits with status 1.

    kwl_command.py KWL
"""
import os
import subprocess
import sys
import tempfile


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
    # No display: said in the language formats.def stores (English without one), with a hint at
    # kwl-list, in place of the toolkit's English line; nothing is created.
    with tempfile.TemporaryDirectory() as config:
        cases = [(None, None, b"graphical session"), (None, b"0\nname\n", b"grafische Sitzung"),
                 (None, b"1\nname\n", b"graphical session"),
                 (None, b"7\nname\n", b"grafische Sitzung"),  # the window keeps German too
                 (":4711", b"0\nname\n", b"grafische Sitzung")]  # no server there
        for display, content, expected in cases:
            path = os.path.join(config, "kwl", "formats.def")
            if content is not None:
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(content)
            case_env = dict(env, XDG_CONFIG_HOME=config)
            if display:
                case_env["DISPLAY"] = display
            r = subprocess.run([kwl], capture_output=True, env=case_env, timeout=60)
            if (r.returncode != 1 or expected not in r.stderr or b"kwl-list" not in r.stderr
                    or b"GTK" in r.stderr or r.stdout):
                failures.append("no display %r %r: %d %r" % (display, content, r.returncode,
                                                             r.stderr[:300]))
            if content is None and os.path.exists(os.path.join(config, "kwl")):
                failures.append("no display: the configuration folder was created")
            elif content is not None:
                with open(path, "rb") as f:
                    if f.read() != content:
                        failures.append("no display: formats.def was changed")
    for f in failures:
        print("FAIL:", f)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
