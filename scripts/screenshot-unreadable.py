#!/usr/bin/python3
"""Takes docs/unreadable-en.png and docs/unreadable-de.png: the main dialog's message after a
rebuild that could not read three directories, in each language. Runs the built kwl under Xvfb
with the fault shim preloaded (reads in every directory named "raw" fail part way), picks the
directory from the keyboard as a user would, and photographs the screen with ImageMagick.

    scripts/xvfb.sh dbus-run-session -- /usr/bin/python3 scripts/screenshot-unreadable.py BUILD_DIR

Needs ImageMagick (import) and python3-pyatspi beside what scripts/install-deps.sh installs.
"""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

DOCS = pathlib.Path(__file__).resolve().parent.parent / "docs"
ALT = 64  # X keycode of the left Alt key
CTRL = 37  # X keycode of the left Control key


def key(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


def with_modifier(modifier, keysym):
    pyatspi.Registry.generateKeyboardEvent(modifier, None, pyatspi.KEY_PRESS)
    key(keysym)
    pyatspi.Registry.generateKeyboardEvent(modifier, None, pyatspi.KEY_RELEASE)


def chooser_open(pid):
    titles = {"Select Directory...", "Verzeichnis auswählen..."}
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return any(win is not None and win.name in titles and
                       win.getState().contains(pyatspi.STATE_SHOWING) for win in app)
    return False


def make_tree(root):
    for sub in ["2024/raw", "2025/raw", "scans/raw", "2025/edited"]:
        folder = root / "photos" / sub
        folder.mkdir(parents=True)
        for i in range(30):
            (folder / f"IMG_{i:04}.JPG").write_bytes(b"x" * 100)
    return root / "photos"


def shoot(build, language, tree, out):
    with tempfile.TemporaryDirectory() as config:
        (pathlib.Path(config) / "kwl").mkdir()
        (pathlib.Path(config) / "kwl" / "formats.def").write_text(
            ("0" if language == "de" else "1") + "\nD-[D ]-name\n")
        env = dict(os.environ, XDG_CONFIG_HOME=config, KWL_TEST_READ_ERROR="raw",
                   LD_PRELOAD=str(build / "tests" / "libkwl_fault_shim.so"))
        process = subprocess.Popen([str(build / "src" / "ui" / "kwl")], env=env)
        try:
            time.sleep(3)
            with_modifier(ALT, ord("r"))  # List Directories Recursively
            time.sleep(0.5)
            with_modifier(ALT, ord("d" if language == "en" else "v"))  # Select Directory
            time.sleep(2)
            with_modifier(CTRL, ord("l"))  # the chooser's location field
            time.sleep(0.5)
            pyatspi.Registry.generateKeyboardEvent(0, str(tree), pyatspi.KEY_STRING)
            time.sleep(0.5)
            key(0xFF0D)  # Return: the folder, or into it when the chooser completed the name
            time.sleep(1.5)
            if chooser_open(process.pid):
                with_modifier(ALT, ord("o"))  # Open: the folder shown
            time.sleep(3)
            subprocess.run(["import", "-window", "root", "-trim", "+repage", str(out)],
                           check=True)
        finally:
            process.terminate()
            process.wait(timeout=10)


def main():
    build = pathlib.Path(sys.argv[1]).resolve()
    # A short path of its own, so the picture shows no random temporary name.
    root = pathlib.Path("/tmp/kwl-screenshot")
    root.mkdir()
    try:
        tree = make_tree(root)
        for language in ["en", "de"]:
            shoot(build, language, tree, DOCS / f"unreadable-{language}.png")
    finally:
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
