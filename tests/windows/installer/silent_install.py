#!/usr/bin/env python3
"""The installer under Wine, silent (/S), per user, for all users and into a folder given
with /D=: it puts the zip's files and its uninstaller in the folder, a Start menu entry that
starts kwl.exe, and the Uninstall key that Windows' "Apps" lists; kwl-list.exe runs from the
folder. Its QuietUninstallString, run as Windows runs it, removes the folder, the entry and
the key, but neither the user's %APPDATA%\\kwl\\formats.def nor a file of the user's own in
the chosen folder.

    silent_install.py SETUP.exe RELEASE.zip VERSION PUBLISHER   (WINEPREFIX from the environment)
"""
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile
from dataclasses import dataclass

SETUP, RELEASE_ZIP, VERSION, PUBLISHER = sys.argv[1:5]
PREFIX = os.environ["WINEPREFIX"]
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\kwl"
START_MENU = r"Microsoft\Windows\Start Menu\Programs"
SHORTCUT = "KWL.lnk"
UNINSTALLER = "uninstall.exe"
CHOSEN_FOLDER = r"C:\kwl-chosen"  # /D= takes no spaces
USERS_OWN_FILE = "notes.txt"
# The uninstaller runs on from a copy of itself after the command returns.
UNINSTALL_WAIT_S = 60

FAILURES = []


def fail(case, what):
    FAILURES.append(case)
    print(f"FAIL: {case}: {what}", file=sys.stderr)


def wine(*args, output=True):
    """Runs a Windows program. Without output its stdout and stderr go nowhere: a program
    it starts (Wine's menu builder, the uninstaller's copy) would keep our pipes open."""
    # Wine's menu builder would copy the Start menu entry into this machine's own menus.
    overrides = ",".join(filter(None, [os.environ.get("WINEDLLOVERRIDES"),
                                       "winemenubuilder.exe=d"]))
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES=overrides)
    pipes = {"capture_output": True} if output else {"stdout": subprocess.DEVNULL,
                                                     "stderr": subprocess.DEVNULL}
    return subprocess.run(["wine", *args], env=env, stdin=subprocess.DEVNULL, timeout=120,
                          **pipes)


def windows_variables(*names):
    out = wine("cmd", "/c", "echo " + "^|".join(f"%{name}%" for name in names))
    return dict(zip(names, out.stdout.decode().strip().split("|")))


def unix_path(windows_path):
    drive, rest = windows_path.split(":", 1)
    root = os.path.realpath(os.path.join(PREFIX, "dosdevices", drive.lower() + ":"))
    return os.path.join(root, *[part for part in rest.split("\\") if part])


def registry_values(hive):
    """The Uninstall key's values as text, or None when there is no key."""
    out = wine("reg", "query", f"{hive}\\{UNINSTALL_KEY}")
    if out.returncode != 0:
        return None
    values = {}
    for line in out.stdout.decode(errors="replace").splitlines():
        match = re.match(r"^\s+(\S+)\s+(REG_\w+)\s+(.*?)\s*$", line)
        if match:
            name, kind, value = match.groups()
            values[name] = int(value, 16) if kind == "REG_DWORD" else value
    return values


def shortcut_target(path):
    """The local path a .lnk file points to (its LinkInfo), or None."""
    data = open(path, "rb").read()
    if data[:4] != b"\x4c\0\0\0":
        return None
    flags = int.from_bytes(data[0x14:0x18], "little")
    pos = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        pos += 2 + int.from_bytes(data[pos:pos + 2], "little")
    if not flags & 0x2:  # HasLinkInfo
        return None
    info = data[pos:]
    if not int.from_bytes(info[8:12], "little") & 0x1:  # VolumeIDAndLocalBasePath
        return None

    def text_at(offset):
        return info[offset:info.index(b"\0", offset)].decode("latin-1")

    return (text_at(int.from_bytes(info[16:20], "little"))
            + text_at(int.from_bytes(info[24:28], "little")))


def release_files():
    with zipfile.ZipFile(RELEASE_ZIP) as archive:
        return {os.path.basename(info.filename): archive.read(info)
                for info in archive.infolist() if not info.is_dir()}


@dataclass
class Case:
    name: str
    arguments: list  # the installer's, beside /S
    hive: str
    folder: str
    shortcut: str
    mode: str  # as the Uninstall key's command lines name it
    users_own_file: str = None  # put into the folder before the installation
    # Uninstalled by the QuietUninstallString as "Apps" runs it, or by "uninstall.exe /S" in
    # the folder, as a user types it.
    by_quiet_string: bool = True


def check_installed(case, shipped):
    values = registry_values(case.hive)
    if values is None:
        return fail(case.name, f"no Uninstall key in {case.hive}")
    uninstaller = f'"{case.folder}\\{UNINSTALLER}"'
    expected = {
        "DisplayName": "KWL", "DisplayVersion": VERSION, "Publisher": PUBLISHER,
        "InstallLocation": case.folder, "DisplayIcon": f"{case.folder}\\kwl.exe",
        "UninstallString": f"{uninstaller} {case.mode}",
        "QuietUninstallString": f"{uninstaller} /S {case.mode}", "NoModify": 1, "NoRepair": 1,
    }
    for name, value in expected.items():
        if values.get(name) != value:
            fail(case.name, f"{case.hive} Uninstall key: {name} is {values.get(name)!r}, "
                            f"not {value!r}")
    shipped_kb = sum(len(data) for data in shipped.values()) / 1024
    if not shipped_kb <= values.get("EstimatedSize", 0) <= shipped_kb + 64:
        fail(case.name, f"EstimatedSize {values.get('EstimatedSize')} KB for {shipped_kb:.0f} KB")

    installed = unix_path(case.folder)
    names = sorted(os.listdir(installed)) if os.path.isdir(installed) else []
    if names != sorted([*shipped, UNINSTALLER, *filter(None, [case.users_own_file])]):
        fail(case.name, f"{case.folder} holds {names}, not the zip's files and {UNINSTALLER}")
    for name, data in shipped.items():
        path = os.path.join(installed, name)
        if os.path.isfile(path) and open(path, "rb").read() != data:
            fail(case.name, f"{name} differs from the zip's")

    if not os.path.isfile(unix_path(case.shortcut)):
        fail(case.name, f"no Start menu entry {case.shortcut}")
    elif (target := shortcut_target(unix_path(case.shortcut))) != f"{case.folder}\\kwl.exe":
        fail(case.name, f"the Start menu entry starts {target!r}")

    run = wine(f"{case.folder}\\kwl-list.exe", "--version")
    if run.returncode != 0 or run.stdout.decode().split() != ["kwl-list", VERSION]:
        fail(case.name, f"kwl-list.exe --version from {case.folder}: {run.returncode}, "
                        f"{run.stdout!r}")
    return values["QuietUninstallString"]


def uninstall(case, quiet_uninstall):
    if not case.by_quiet_string:
        quiet_uninstall = f'"{case.folder}\\{UNINSTALLER}" /S'
    match = re.fullmatch(r'"([^"]+)"((?: \S+)*)', quiet_uninstall)
    if not match:
        return fail(case.name, f"QuietUninstallString {quiet_uninstall!r} is not a command line")
    run = wine(match[1], *match[2].split(), output=False)
    if run.returncode != 0:
        return fail(case.name, f"the uninstaller exited with {run.returncode}")
    uninstaller = os.path.join(unix_path(case.folder), UNINSTALLER)
    deadline = time.monotonic() + UNINSTALL_WAIT_S
    while os.path.exists(uninstaller) or registry_values(case.hive) is not None:
        if time.monotonic() > deadline:
            return fail(case.name, f"the uninstaller had not removed itself and the Uninstall "
                                   f"key in {case.hive} after {UNINSTALL_WAIT_S} s")
        time.sleep(0.2)


def check_uninstalled(case, formats, formats_bytes):
    installed = unix_path(case.folder)
    left = sorted(os.listdir(installed)) if os.path.isdir(installed) else None
    if case.users_own_file:
        if left != [case.users_own_file]:
            fail(case.name, f"{case.folder} holds {left} after the uninstall, not the user's "
                            "own file")
    elif left is not None:
        fail(case.name, f"{case.folder} is still there, with {left}")
    if os.path.exists(unix_path(case.shortcut)):
        fail(case.name, "the Start menu entry is still there")
    if registry_values(case.hive) is not None:
        fail(case.name, f"the Uninstall key in {case.hive} is still there")
    if not os.path.isfile(formats) or open(formats, "rb").read() != formats_bytes:
        fail(case.name, "the user's formats.def was removed or changed")


def remove_leftovers(cases):
    """What a failed run may have left, so that the next run starts clean."""
    for case in cases:
        shutil.rmtree(unix_path(case.folder), ignore_errors=True)
        if os.path.exists(unix_path(case.shortcut)):
            os.remove(unix_path(case.shortcut))
        for hive in ("HKCU", "HKLM"):
            if registry_values(hive) is not None:
                wine("reg", "delete", f"{hive}\\{UNINSTALL_KEY}", "/f")


def main():
    env = windows_variables("LOCALAPPDATA", "APPDATA", "ProgramFiles", "ProgramData")
    per_user = {"hive": "HKCU", "mode": "/CurrentUser",
                "shortcut": f"{env['APPDATA']}\\{START_MENU}\\{SHORTCUT}"}
    all_users = {"hive": "HKLM", "mode": "/AllUsers", "folder": f"{env['ProgramFiles']}\\kwl",
                 "shortcut": f"{env['ProgramData']}\\{START_MENU}\\{SHORTCUT}"}
    cases = [
        Case("per user", [], folder=f"{env['LOCALAPPDATA']}\\Programs\\kwl", **per_user),
        Case("all users", ["/AllUsers"], **all_users),
        Case("all users, uninstalled from the folder", ["/AllUsers"], by_quiet_string=False,
             **all_users),
        Case("per user, folder chosen", [f"/D={CHOSEN_FOLDER}"], folder=CHOSEN_FOLDER,
             users_own_file=USERS_OWN_FILE, **per_user),
    ]
    shipped = release_files()
    for name in ("kwl.exe", "kwl-list.exe", "README.md", "copyright.txt"):
        if name not in shipped:
            fail("release zip", f"{RELEASE_ZIP} has no {name}")

    formats = unix_path(f"{env['APPDATA']}\\kwl\\formats.def")
    made_formats = not os.path.exists(formats)
    if made_formats:
        os.makedirs(os.path.dirname(formats), exist_ok=True)
        with open(formats, "wb") as f:
            f.write(b"0\nname|size\n")
    formats_bytes = open(formats, "rb").read()

    remove_leftovers(cases)
    try:
        for case in cases:
            failed_before = len(FAILURES)
            if case.users_own_file:
                os.makedirs(unix_path(case.folder))
                with open(os.path.join(unix_path(case.folder), case.users_own_file), "w") as f:
                    f.write("mine\n")
            run = wine(SETUP, "/S", *case.arguments, output=False)
            if run.returncode != 0:
                fail(case.name, f"the installer exited with {run.returncode}")
                continue
            quiet_uninstall = check_installed(case, shipped)
            if quiet_uninstall:
                uninstall(case, quiet_uninstall)
                check_uninstalled(case, formats, formats_bytes)
            print(f"{case.name}: {'FAILED' if len(FAILURES) > failed_before else 'ok'}")
    finally:
        remove_leftovers(cases)
        if made_formats:
            shutil.rmtree(os.path.dirname(formats), ignore_errors=True)

    failed = len(set(FAILURES))
    print(f"{len(cases) + 1 - failed} passed, {failed} failed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
