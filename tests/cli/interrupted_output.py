#!/usr/bin/env python3
"""kwl-list ended by a signal while it writes -o FILE: the file keeps its old content, no
temporary file stays beside it, and kwl-list still ends by that signal (so its caller sees
Ctrl+C as such). The fault shim holds each write for a while, so the signal arrives while the
temporary file exists.

    interrupted_output.py KWL_LIST FAULT_SHIM
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

KWL_LIST, SHIM = sys.argv[1:3]
SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)
FAILURES = []


def default_signals():
    """A shell that starts jobs in the background has them ignore Ctrl+C, and kwl-list keeps
    a signal ignored; this test needs each signal's default action in kwl-list."""
    for signum in SIGNALS:
        signal.signal(signum, signal.SIG_DFL)


def wait_for_temporary(folder, process, seconds=20):
    """The name of kwl-list's temporary file in folder, once it exists."""
    end = time.monotonic() + seconds
    while time.monotonic() < end and process.poll() is None:
        temps = [n for n in os.listdir(folder) if n.startswith(".kwl-") and n.endswith(".tmp")]
        if temps:
            return temps[0]
        time.sleep(0.01)
    return None


def check(signum):
    name = signal.Signals(signum).name
    with tempfile.TemporaryDirectory() as top:
        tree = os.path.join(top, "tree")
        os.makedirs(os.path.join(tree, "sub"))
        for rel in ("a.txt", "sub/b.txt"):
            with open(os.path.join(tree, rel), "w") as f:
                f.write(rel)
        out_dir = os.path.join(top, "out")
        os.mkdir(out_dir)
        target = os.path.join(out_dir, "list.json")
        with open(target, "w") as f:
            f.write("old")
        # A sanitized build wants its runtime first among the libraries; the shim comes first.
        asan = os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
        env = dict(os.environ, LD_PRELOAD=SHIM, KWL_TEST_SLOW_WRITE="5000000", ASAN_OPTIONS=asan)
        process = subprocess.Popen([KWL_LIST, "-r", "-e", "json", "-o", target, tree], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   preexec_fn=default_signals)
        temp = wait_for_temporary(out_dir, process)
        if temp is None:
            process.kill()
            process.wait()
            FAILURES.append(f"{name}: no temporary file appeared")
            return
        process.send_signal(signum)
        status = process.wait(timeout=20)
        if status != -signum:
            FAILURES.append(f"{name}: ended with {status}, not by the signal")
        left = sorted(os.listdir(out_dir))
        if left != ["list.json"]:
            FAILURES.append(f"{name}: the folder holds {left}")
        with open(target) as f:
            if f.read() != "old":
                FAILURES.append(f"{name}: the target changed")


def main():
    for signum in SIGNALS:
        check(signum)
    for failure in FAILURES:
        print("FAIL:", failure)
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
