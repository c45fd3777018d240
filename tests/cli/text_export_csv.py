#!/usr/bin/env python3
"""kwl-list -e text read back by Python's csv module: with the separators ";", "," and a tab,
every name, size and time comes out exactly in its own field, and lines without a separator
or a quote in any field are the fields joined by the separator, byte for byte.

    text_export_csv.py KWL_LIST
"""
import csv
import io
import os
import subprocess
import sys
import tempfile
import time

# Names that break naive columns, and plain ones. A tab is shown as "?" in every listing.
NAMES = ["semi;colon", "comma,name", 'say "hi"', 'both;,"', "tab\there", "plain.txt",
         "space name", "\u00c4pfel"]
TIME_FORMAT = "%d.%m.%Y, %H:%M:%S"  # as the listing shows times: it holds a comma


def shown(name):
    return "".join("?" if ord(c) < 0x20 or ord(c) == 0x7F else c for c in name)


def make_tree(root):
    os.mkdir(os.path.join(root, "sub;dir"))
    for i, name in enumerate(NAMES):
        path = os.path.join(root, "sub;dir" if i % 2 else "", name)
        with open(path, "wb") as f:
            f.write(b"x" * (i + 1))


def expected_rows(root):
    """name -> (size, modification time) for every file, names as shown."""
    rows = {}
    for dirpath, _, files in os.walk(root):
        for name in files:
            st = os.lstat(os.path.join(dirpath, name))
            rows[shown(name)] = (str(st.st_size), time.strftime(TIME_FORMAT, time.localtime(st.st_mtime)))
    return rows


def check(kwl, root, sep, bom):
    args = [kwl, "-r", "-e", "text", "-s", sep, "-f", "name|F-size|F-modTime", root]
    if bom:
        args.insert(1, "--bom")
    out = subprocess.run(args, check=True, capture_output=True).stdout
    failures = []
    if bom != out.startswith(b"\xef\xbb\xbf"):
        failures.append("byte order mark %s" % ("missing" if bom else "unexpected"))
    text = out.decode("utf-8-sig")
    records = list(csv.reader(io.StringIO(text, newline=""), delimiter=sep))
    # The heading, an empty line, then one row per directory (one field) and file (three).
    if len(records[0]) != 1 or records[1] != []:
        failures.append("heading rows: %r" % records[:2])
    files = {r[0]: (r[1], r[2]) for r in records[2:] if len(r) == 3}
    dirs = [r for r in records[2:] if len(r) == 1]
    odd = [r for r in records[2:] if len(r) not in (1, 3)]
    if odd:
        failures.append("rows with a wrong number of fields: %r" % odd)
    if dirs != [["sub;dir"]]:
        failures.append("directory rows: %r" % dirs)
    if files != expected_rows(root):
        failures.append("file rows differ:\n  got      %r\n  expected %r" % (files, expected_rows(root)))
    # Lines without special characters keep their bytes: the fields joined by the separator.
    for line, record in zip(text.split("\r\n")[2:], records[2:]):
        if not any(sep in field or '"' in field for field in record) and line != sep.join(record):
            failures.append("plain line changed: %r" % line)
    return ["separator %r%s: %s" % (sep, " --bom" if bom else "", f) for f in failures]


def main():
    kwl = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as root:
        make_tree(root)
        for sep in (";", ",", "\t"):
            failures += check(kwl, root, sep, bom=False)
        failures += check(kwl, root, ";", bom=True)
        # Other kinds ignore --bom.
        plain = subprocess.run([kwl, "-r", root], capture_output=True).stdout
        with_bom = subprocess.run([kwl, "--bom", "-r", root], capture_output=True).stdout
        if plain != with_bom:
            failures.append("--bom changed the listing")
    for f in failures:
        print("FAIL:", f)
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
