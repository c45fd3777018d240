#!/usr/bin/env python3
"""The released programs run on a bare Windows: the DLLs they import (objdump -p) are all
Windows' own, so nothing has to be put beside them (the C++ runtime, winpthread and zlib are
linked in).

    dll_imports.py OBJDUMP PROGRAM.exe...
"""
import re
import subprocess
import sys

WINDOWS_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "dwmapi.dll", "gdi32.dll",
    "imm32.dll", "kernel32.dll", "msvcrt.dll", "ntdll.dll", "ole32.dll", "oleacc.dll",
    "oleaut32.dll", "shcore.dll", "shell32.dll", "shlwapi.dll", "ucrtbase.dll", "user32.dll",
    "uxtheme.dll", "version.dll",
}
# Windows' C runtime split into API sets.
WINDOWS_API_SET = re.compile(r"api-ms-win-crt-[a-z0-9-]+\.dll")


def imported_dlls(objdump, program):
    out = subprocess.run([objdump, "-p", program], check=True, capture_output=True,
                         text=True).stdout
    return {name.lower() for name in re.findall(r"^\s*DLL Name: (\S+)$", out, re.MULTILINE)}


def main():
    objdump, programs = sys.argv[1], sys.argv[2:]
    failures = 0
    for program in programs:
        dlls = imported_dlls(objdump, program)
        foreign = sorted(dll for dll in dlls
                         if dll not in WINDOWS_DLLS and not WINDOWS_API_SET.fullmatch(dll))
        if not dlls:
            print(f"FAIL: {program}: objdump found no imported DLL", file=sys.stderr)
            failures += 1
        elif foreign:
            print(f"FAIL: {program} needs DLLs that Windows does not have: {', '.join(foreign)}",
                  file=sys.stderr)
            failures += 1
        else:
            print(f"{program}: {', '.join(sorted(dlls))}")
    print(f"{len(programs) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
