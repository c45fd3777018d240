#!/usr/bin/env python3
"""Every report kwl-list --compare -e json writes validates against
docs/kwl-compare.schema.json (draft 2020-12, checked with a real validator), and says what a
schema cannot: the exit status, paths that decode to the exact bytes, counts that agree with
the changes. Hand-made reports that break the contract are rejected.

    compare_schema.py KWL_LIST FAULT_SHIM SCHEMA
"""
import base64
import copy
import json
import os
import shutil
import subprocess
import sys
import tempfile

from jsonschema import Draft202012Validator

FAILURES = []


def fail(where, what):
    FAILURES.append("%s: %s" % (where, what))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_tree(top):
    """Names that are not UTF-8 or hold control characters, a link, nested directories."""
    write(os.path.join(top, b"keep", b"same\xff"), b"same")
    write(os.path.join(top, b"keep", b"grow"), b"a")
    write(os.path.join(top, b"keep", b"silent"), b"0123")
    write(os.path.join(top, b"move\x1b", b"m"), b"moving content")
    write(os.path.join(top, b"gone", b"deep", b"x"), b"xx")
    write(os.path.join(top, b"becomes dir"), b"f")
    write(os.path.join(top, b"failing", b"f"), b"f")
    os.symlink(b"keep/grow", os.path.join(top, b"link\n"))


def change_tree(top):
    """One of each change."""
    write(os.path.join(top, b"new\xfe", b"n"), b"nnn")
    shutil.rmtree(os.path.join(top, b"gone"))
    with open(os.path.join(top, b"keep", b"grow"), "ab") as f:
        f.write(b"bc")
    silent = os.path.join(top, b"keep", b"silent")
    st = os.stat(silent)
    write(silent, b"3210")
    os.utime(silent, ns=(st.st_atime_ns, st.st_mtime_ns))
    os.rename(os.path.join(top, b"move\x1b", b"m"), os.path.join(top, b"keep", b"m\xc3"))
    os.remove(os.path.join(top, b"becomes dir"))
    write(os.path.join(top, b"becomes dir", b"inner"), b"i")
    os.remove(os.path.join(top, b"link\n"))
    os.symlink(b"keep/same\xff", os.path.join(top, b"link\n"))


def exact(obj, key):
    if key + "_base64" in obj:
        return base64.b64decode(obj[key + "_base64"], validate=True)
    return obj[key].encode("utf-8")


def check_report(where, validator, doc, expected_status, status):
    if status != expected_status:
        fail(where, "exit status %d, expected %d" % (status, expected_status))
    for error in validator.iter_errors(doc):
        fail(where, "schema: %s at %s" % (error.message[:200], list(error.absolute_path)[:8]))
    counts = {"added": 0, "removed": 0, "changed": 0, "moved": 0}
    for change in doc["changes"]:
        counts[change["change"]] += 1
    counts["errors"] = len(doc["errors"])
    if counts != doc["summary"]:
        fail(where, "summary %r, changes %r" % (doc["summary"], counts))


def describe(doc):
    """A set of "kind path [path]" with exact bytes, to compare with what was done."""
    seen = set()
    for c in doc["changes"]:
        if c["change"] == "moved":
            seen.add((b"moved", exact(c, "from"), exact(c, "to")))
        elif c["change"] == "changed":
            seen.add((b"changed", exact(c, "path"), " ".join(c["what"]).encode()))
        else:
            seen.add((c["change"].encode(), exact(c, "path")))
    return seen


def broken_reports(doc):
    def first(kind):
        return lambda d: next(c for c in d["changes"] if c["change"] == kind)
    edits = {
        "an unknown change": lambda d: first("added")(d).update(change="renamed"),
        "a change without what": lambda d: first("changed")(d).update(what=[]),
        "an unknown what": lambda d: first("changed")(d).update(what=["owner"]),
        "a move without from": lambda d: first("moved")(d).pop("from"),
        "a negative count": lambda d: d["summary"].update(added=-1),
        "another version": lambda d: d.update(kwl_compare=2),
        "an error of no side": lambda d: d["errors"][0].update(side="both"),
        "an unknown field": lambda d: d.update(extra=1),
    }
    for name, edit in edits.items():
        broken = copy.deepcopy(doc)
        edit(broken)
        yield name, broken


def main():
    kwl, shim, schema_path = sys.argv[1:4]
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    Draft202012Validator.check_schema(schema)
    validator = Draft202012Validator(schema)
    asan = os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
    faulty = dict(os.environ, LD_PRELOAD=shim, KWL_TEST_READ_ERROR="failing", ASAN_OPTIONS=asan)

    work = tempfile.mkdtemp()
    try:
        top = os.fsencode(os.path.join(work, "t"))
        make_tree(top)
        snap = os.path.join(work, "snap.json")
        subprocess.run([kwl, "-r", "-e", "json", "--hash", "sha256", "-o", snap, top], check=True)

        same = subprocess.run([kwl, "--compare", snap, snap, "-e", "json"], capture_output=True)
        doc = json.loads(same.stdout)
        check_report("a snapshot against itself", validator, doc, 0, same.returncode)
        if doc["changes"]:
            fail("a snapshot against itself", "changes %r" % doc["changes"])

        change_tree(top)
        result = subprocess.run([kwl, "--compare", snap, top, "-e", "json"], capture_output=True,
                                env=faulty)
        doc = json.loads(result.stdout)
        check_report("one of each change", validator, doc, 2, result.returncode)
        expected = {
            (b"added", b"new\xfe"), (b"added", b"new\xfe/n"),
            (b"removed", b"gone"), (b"removed", b"gone/deep"), (b"removed", b"gone/deep/x"),
            (b"changed", b"keep/grow", b"size mtime content"),
            (b"changed", b"keep/silent", b"content"),
            (b"moved", b"move\x1b/m", b"keep/m\xc3"),
            (b"changed", b"becomes dir", b"type"), (b"added", b"becomes dir/inner"),
            (b"changed", b"link\n", b"size mtime content"),
        }
        if describe(doc) != expected:
            fail("one of each change", "got %r, missing %r" % (describe(doc) - expected,
                                                               expected - describe(doc)))
        errors = [(e["side"], exact(e, "path")) for e in doc["errors"]]
        if errors != [("new", os.path.join(top, b"failing"))]:
            fail("one of each change", "errors %r" % errors)
        for name, broken in broken_reports(doc):
            if validator.is_valid(broken):
                fail("schema", "accepts " + name)
    finally:
        shutil.rmtree(work)

    for f in FAILURES:
        print("FAIL:", f)
    print("%d failures" % len(FAILURES))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
