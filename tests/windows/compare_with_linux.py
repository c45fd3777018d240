#!/usr/bin/env python3
"""The same tree listed by Linux's kwl-list and by kwl-list.exe under Wine gives the same bytes
for every export kind: listing, text, HTML, JSON and the browsable page, with the same exit
status and messages. Both run from the tree's parent folder on the relative path "tree", so the
headings agree; what the two systems cannot agree on is set aside: the archive bit (Windows
sets it on every file), creation times (Wine gives the modification time, Linux the birth
time) and the moment of the scan. The Windows JSON is validated against the schema.

A Linux link loop, seen through Wine as a reparse point, must end the scan and be listed as a
link, as Linux lists it.

    compare_with_linux.py KWL_LIST KWL_LIST_EXE SCHEMA   (WINEPREFIX from the environment)
"""
import base64
import json
import os
import re
import subprocess
import sys
import tempfile
import zlib

from jsonschema import Draft202012Validator

KWL_LIST, KWL_LIST_EXE, SCHEMA = sys.argv[1:4]
FAILURES = []

# Times a Windows FILETIME holds exactly (100 ns steps); the access time lies ahead, so no
# read during the test moves it (relatime leaves a future access time alone).
MTIME_NS = 1_700_000_000_123_456_700
ATIME_NS = 2_000_000_000_765_432_100
# Everything both systems show alike; crTime and arch are left out (see above).
FORMAT = "D-[D ]-name|size|D-files|modTime|accTime|F-hid|F-sys|F-compr|F-ro"


def fail(what):
    FAILURES.append(what)
    print("FAIL:", what, file=sys.stderr)


def make_tree(root):
    """Names that need quoting, escaping or a case rule, Unicode, a hidden file, an empty
    folder, a file past 4 GiB (sparse), and nesting."""
    files = {
        "a.txt": 120, "B.txt": 5, "c.TXT": 0, "semi;colon.txt": 3, "=formula.csv": 4,
        "x&y.html": 6, "Überblick.txt": 7, "日本語.txt": 8, ".hidden": 9, "space name .md": 10,
        "sub/deep/d.txt": 11, "sub/c.txt": 12, "sub/Ärger/ö.txt": 13, "zz/big.bin": 5 << 30,
    }
    for rel, size in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            if size > 1 << 20:
                f.truncate(size)
            else:
                f.write(b"x" * size)
    os.makedirs(os.path.join(root, "empty"))
    set_times(root)
    # Times beyond 32 bits and before 1970; the access time after the modification, so that
    # reading the content (--hash) leaves it.
    for name, mtime_ns in (("y2100.txt", 4_102_444_800_000_000_000),
                           ("before1970.txt", -86_400_000_000_000)):
        with open(os.path.join(root, "sub", name), "wb") as f:
            f.write(b"t")
        os.utime(os.path.join(root, "sub", name), ns=(max(ATIME_NS, mtime_ns + 86_400_000_000_000), mtime_ns))
    os.utime(os.path.join(root, "sub"), ns=(ATIME_NS, MTIME_NS))


def set_times(root):
    for dirpath, dirnames, filenames in os.walk(root, topdown=False):
        for name in filenames + dirnames:
            os.utime(os.path.join(dirpath, name), ns=(ATIME_NS, MTIME_NS), follow_symlinks=False)
    os.utime(root, ns=(ATIME_NS, MTIME_NS))


def wine_env():
    env = dict(os.environ)
    env["WINEDEBUG"] = "-all"
    return env


def run(program, args, cwd):
    cmd = ([program] if program == KWL_LIST else ["wine", program]) + args
    p = subprocess.run(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       env=wine_env(), timeout=120)
    return p.returncode, p.stdout, p.stderr


def leb128s(data):
    values, value, shift = [], 0, 0
    for byte in data:
        value |= (byte & 0x7F) << shift
        shift += 7
        if not byte & 0x80:
            values.append(value)
            value, shift = 0, 0
    return values


ARCHIVE_FLAG = 64
COLUMN = re.compile(rb'(<script type="application/octet-stream" data-column="(\d)">)(.*?)(</script>)', re.S)


def normalise_page(page):
    """The page with its columns decoded: the archive flag masked, creation times dropped, the
    scan's moment set aside."""
    columns = {}
    for m in COLUMN.finditer(page):
        columns.setdefault(int(m.group(2)), b"")
        columns[int(m.group(2))] += b"".join(m.group(3).split())
    decoded = {}
    for i, b64 in columns.items():
        raw = zlib.decompress(base64.b64decode(b64))
        if i == 1:
            raw = [v & ~ARCHIVE_FLAG for v in leb128s(raw)]
        decoded[i] = raw
    if sorted(decoded) != list(range(8)):
        fail(f"the page holds the columns {sorted(decoded)}, not 0 to 7")
    decoded.pop(5, None)  # created
    rest = COLUMN.sub(rb"\1\4", page)
    rest = re.sub(rb'"scanned":\d+', b'"scanned":0', rest)
    return rest, decoded


def normalise(kind, out):
    if kind == "json":
        out = re.sub(rb'"scanned_at":"[^"]*"', b'"scanned_at":""', out)
        out = re.sub(rb'"crtime":("[^"]*"|null)', b'"crtime":""', out)
        return re.sub(rb'"attributes":"A', b'"attributes":"-', out)
    if kind == "html-app":
        return normalise_page(out)
    return out


def compare_exports(parent):
    cases = [
        ("listing", ["-r", "-f", FORMAT]),
        ("listing", ["-r"]),
        ("listing", ["-f", FORMAT, "-l", "de"]),
        ("text", ["-r", "-e", "text", "-f", FORMAT]),
        ("text", ["-r", "-e", "text", "-s", "\t", "--bom", "-f", FORMAT, "-l", "de"]),
        ("html", ["-r", "-e", "html", "-f", FORMAT]),
        ("html", ["-r", "-e", "html", "-l", "de"]),
        ("json", ["-r", "-e", "json"]),
        ("json", ["-r", "-e", "json", "--hash", "sha256", "--exclude", "big.bin"]),
        ("json", ["-r", "-e", "json", "--hash", "xxh128", "--exclude", "zz"]),
        ("html-app", ["-r", "-e", "html-app"]),
        ("html-app", ["-r", "-e", "html-app", "-l", "de"]),
        ("listing", ["--max-depth", "1", "-f", FORMAT, "--exclude", "*.txt"]),
    ]
    validator = Draft202012Validator(json.load(open(SCHEMA, encoding="utf-8")))
    for kind, args in cases:
        args = args + ["tree"]
        linux = run(KWL_LIST, args, parent)
        windows = run(KWL_LIST_EXE, args, parent)
        what = " ".join(args)
        if linux[0] != 0 or windows[0] != 0:
            fail(f"{what}: exit status {linux[0]} on Linux, {windows[0]} under Wine: "
                 f"{windows[2].decode(errors='replace')}")
        if linux[2] != windows[2]:
            fail(f"{what}: messages differ: {linux[2]!r} / {windows[2]!r}")
        linux_out, windows_out = normalise(kind, linux[1]), normalise(kind, windows[1])
        if linux_out != windows_out:
            fail(f"{what}: outputs differ")
            if kind == "html-app":
                for name, a, b in (("page", linux_out[0], windows_out[0]),
                                   ("columns", repr(linux_out[1]).encode(), repr(windows_out[1]).encode())):
                    dump(f"{what} ({name})", a, b)
            else:
                dump(what, linux_out, windows_out)
        if kind == "json":
            for error in validator.iter_errors(json.loads(windows[1])):
                fail(f"{what}: the Windows document breaks the schema: {error.message}")

    # -o: the same bytes in the file as on standard output.
    code, _, err = run(KWL_LIST_EXE, ["-r", "-f", FORMAT, "tree", "-o", "out.txt"], parent)
    _, expected, _ = run(KWL_LIST, ["-r", "-f", FORMAT, "tree"], parent)
    with open(os.path.join(parent, "out.txt"), "rb") as f:
        if code != 0 or f.read() != expected:
            fail(f"-o: status {code}, file differs from Linux's standard output {err!r}")
    os.remove(os.path.join(parent, "out.txt"))


def dump(what, linux, windows):
    """The first lines that differ, to see why."""
    for i, (a, b) in enumerate(zip(linux.split(b"\n"), windows.split(b"\n"))):
        if a != b:
            print(f"  {what} line {i + 1}:\n    Linux: {a[:300]!r}\n    Wine:  {b[:300]!r}",
                  file=sys.stderr)
            return
    print(f"  {what}: lengths {len(linux)} / {len(windows)}", file=sys.stderr)


def walk(node, visit):
    visit(node)
    for child in node.get("children", []):
        walk(child, visit)


def check_link_loop(parent):
    """loop/sub/up points back to loop: Wine follows such a link itself, so a scan that took
    it for a folder would never end."""
    os.makedirs(os.path.join(parent, "loop", "sub"))
    os.symlink("..", os.path.join(parent, "loop", "sub", "up"))
    with open(os.path.join(parent, "loop", "sub", "f.txt"), "wb") as f:
        f.write(b"abc")
    args = ["-r", "loop"]
    try:
        linux = run(KWL_LIST, args, parent)
        windows = run(KWL_LIST_EXE, args, parent)
        jwin = run(KWL_LIST_EXE, ["-r", "-e", "json", "loop"], parent)
    except subprocess.TimeoutExpired:
        fail("the link loop: the scan did not end")
        return
    if windows[0] != 0 or windows[1] != linux[1]:
        fail(f"the link loop: status {windows[0]}, listing {windows[1]!r}, Linux {linux[1]!r}")
    nodes = []
    try:
        walk(json.loads(jwin[1])["tree"], lambda node: node["name"] == "up" and nodes.append(node))
    except ValueError as error:
        fail(f"the link loop: JSON {error}")
    if len(nodes) != 1 or nodes[0].get("type") != "symlink" or "children" in nodes[0]:
        fail(f"the link loop: JSON lists up as {nodes}")


def main():
    with tempfile.TemporaryDirectory(prefix="kwl-wine-") as parent:
        make_tree(os.path.join(parent, "tree"))
        compare_exports(parent)
        check_link_loop(parent)
    if FAILURES:
        print(f"{len(FAILURES)} difference(s) between Linux and Wine", file=sys.stderr)
        return 1
    print("Linux and Wine give the same bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
