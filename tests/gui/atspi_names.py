#!/usr/bin/python3
"""KWL's controls as a screen reader finds them: the running program is asked over AT-SPI (the
accessibility bus of the desktop), from outside the process. Every button, check box, field
and combo box of the main dialog and of the definition dialog, which is opened from the
keyboard (Alt+F), must have a name; a few names (labels' too) are checked word for word. Prints what it
found.

    atspi_names.py KWL     (needs a display and a D-Bus session: xvfb.sh dbus-run-session ...)
"""
import os
import subprocess
import sys
import tempfile
import time

import pyatspi

INTERACTIVE = {pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TEXT,
               pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_ENTRY}
MAIN_TITLE = "KWL - Kawlen"
DEFINE_TITLE = "Define A New Output Format"
MAIN_NAMES = ["Preview of the listing", "German", "Step 3 - Select Output Format",
              "Sample File Format: Name.ext", "List Directories Recursively",
              "Define New Format..."]
DEFINE_NAMES = ["Directory: Add Name", "File: Add Readonly Flag", "Add Text", "Format",
                "Sample File Format"]


def wait_for(what, find, seconds=30):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit(f"atspi_names: no {what} after {seconds} seconds")


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # an application that went away meanwhile
            pass
    return None


def window(app, title):
    for win in app:
        if win is not None and win.name == title and win.getState().contains(
                pyatspi.STATE_SHOWING):
            return win
    return None


def controls(node):
    """(role, role name, name) of every interactive object and label below node that is
    shown."""
    found = []
    for child in node:
        if child is None:
            continue
        role = child.getRole()
        if (role in INTERACTIVE or role == pyatspi.ROLE_LABEL) and child.getState().contains(
                pyatspi.STATE_SHOWING):
            found.append((role, child.getRoleName(), child.name))
        found.extend(controls(child))
    return found


def check(title, found, expected):
    failures = 0
    print(f"{title}: {len(found)} controls and labels")
    for role, role_name, name in found:
        print(f"  {role_name:12} {name!r}")
        # A label without text is drawing only; anything that takes input needs a name.
        if not name and role in INTERACTIVE:
            print(f"  ^ a {role_name} without a name")
            failures += 1
    names = {name for _, _, name in found}
    for name in expected:
        if name not in names:
            print(f"  missing: {name!r}")
            failures += 1
    return failures


def press_alt_f():
    # Through the registry, as an on-screen keyboard would type it.
    alt = 64  # the X keycode of the left Alt key on a standard layout
    pyatspi.Registry.generateKeyboardEvent(alt, None, pyatspi.KEY_PRESS)
    pyatspi.Registry.generateKeyboardEvent(0x66, None, pyatspi.KEY_SYM)  # "f"
    pyatspi.Registry.generateKeyboardEvent(alt, None, pyatspi.KEY_RELEASE)


def main():
    kwl = sys.argv[1]
    with tempfile.TemporaryDirectory() as config:
        env = dict(os.environ, XDG_CONFIG_HOME=config, GTK_A11Y="atspi")
        env.pop("NO_AT_BRIDGE", None)
        process = subprocess.Popen([kwl], env=env)
        try:
            app = wait_for("kwl on the accessibility bus", lambda: application(process.pid))
            main_win = wait_for("main dialog", lambda: window(app, MAIN_TITLE))
            failures = check(MAIN_TITLE, controls(main_win), MAIN_NAMES)
            press_alt_f()
            define = wait_for("definition dialog (Alt+F)", lambda: window(app, DEFINE_TITLE),
                              seconds=10)
            failures += check(DEFINE_TITLE, controls(define), DEFINE_NAMES)
        finally:
            process.terminate()
            process.wait(timeout=10)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
