#!/usr/bin/env python3
"""Every document kwl-list -e json writes for hostile trees validates against
docs/kwl-tree.schema.json (draft 2020-12, checked with a real validator), and says what a
schema cannot: the exit status, the failures in "errors", counts that agree with the nodes,
and names that decode to the exact bytes on disk. Hand-made documents that break the
contract are rejected.

    json_schema.py KWL_LIST FAULT_SHIM SCHEMA
"""
import base64
import copy
import hashlib
import json
import os
import pwd
import shutil
import stat
import subprocess
import sys
import tempfile

from jsonschema import Draft202012Validator

FAILURES = []


def fail(where, what):
    FAILURES.append("%s: %s" % (where, what))


def make_hostile_tree(root):
    """Every byte but "/" in names, names that are not UTF-8, quotes, backslashes, the
    longest names, a name that is only a control character, links with hostile texts, a
    FIFO, nested and empty directories."""
    top = os.path.join(root, b"hostile")
    os.makedirs(os.path.join(top, b"nested\n1", b"deeper\xff", b"deepest"))
    os.mkdir(os.path.join(top, b"empty"))
    every = bytes(b for b in range(1, 256) if b != ord("/"))
    names = [bytes([b]) for b in every if b != ord(".")] + [every]
    names += [b"\x80", b"\xff\xfe", b"cut\xc3", b"\xed\xa0\x80", b'"q"', b"back\\slash",
              b"x" * 255, b"\xc3\xa4" * 127 + b"z", b"a\tb", b"a\nb"]
    for i, name in enumerate(names):
        folder = top if i % 3 else os.path.join(top, b"nested\n1")
        with open(os.path.join(folder, name), "wb") as f:
            f.write(b"x" * (i % 7))
    with open(os.path.join(top, b"nested\n1", b"deeper\xff", b"deepest", b"leaf"), "wb") as f:
        f.write(b"leaf")
    os.symlink(b"tar\x01get\n", os.path.join(top, b"link\x1b"))
    os.symlink(b"\xff\xfe/not utf-8", os.path.join(top, b"badlink"))
    os.mkfifo(os.path.join(top, b"fifo"))
    return top


def make_failing_tree(root):
    """Directories that cannot be read: no permissions, listable but not searchable, and one
    whose reading fails midway (with the fault shim)."""
    top = os.path.join(root, b"parts")
    for sub in (b"locked", b"nosearch", b"sub/failing", b"ok"):
        os.makedirs(os.path.join(top, sub))
        for i in range(40):
            with open(os.path.join(top, sub, b"f%d" % i), "wb") as f:
                f.write(b"x")
    os.chmod(os.path.join(top, b"locked"), 0)
    os.chmod(os.path.join(top, b"nosearch"), 0o644)
    return top


def exact(node, key):
    if key + "_base64" in node:
        return base64.b64decode(node[key + "_base64"], validate=True)
    return node[key].encode("utf-8")


def check_nodes(where, node, path, counts, readable):
    """Names decode to the bytes on disk; "files" and the totals agree with the nodes."""
    if node["type"] != "directory":
        counts["files"] += 1
        counts["bytes"] += node["size"]
        if len(node.get("hash", "")) == 64:
            with open(path, "rb") as f:
                if hashlib.sha256(f.read()).hexdigest() != node["hash"]:
                    fail(where, "%r: sha256 differs from the content" % path)
        return
    if "children" not in node:
        return
    names = [exact(child, "name") for child in node["children"]]
    kinds = [child["type"] == "directory" for child in node["children"]]
    if kinds != sorted(kinds, reverse=True):
        fail(where, "%r: a directory after the files" % path)
    if node["files"] != kinds.count(False):
        fail(where, "%r: files %d, but %d in children" % (path, node["files"], kinds.count(False)))
    if readable(path) and sorted(names) != sorted(os.listdir(path)):
        fail(where, "%r: names differ from the disk" % path)
    for name, child in zip(names, node["children"]):
        if child["type"] == "directory":
            counts["directories"] += 1
        check_nodes(where, child, os.path.join(path, name), counts, readable)


def as_nobody():
    user = pwd.getpwnam("nobody")

    def drop():
        os.setgroups([])
        os.setgid(user.pw_gid)
        os.setuid(user.pw_uid)
    return drop


def run(where, validator, kwl, args, top, expected_status, expected_errors, env=None,
        preexec=None, readable=os.access):
    result = subprocess.run([kwl] + args + [top], capture_output=True, env=env,
                            preexec_fn=preexec)
    if result.returncode != expected_status:
        fail(where, "exit status %d, expected %d; %r" % (result.returncode, expected_status,
                                                        result.stderr[:300]))
    try:
        doc = json.loads(result.stdout, parse_constant=lambda c: fail(where, "constant " + c))
    except ValueError as e:
        fail(where, "not JSON: %s" % e)
        return
    for error in validator.iter_errors(doc):
        fail(where, "schema: %s at %s" % (error.message[:200], list(error.absolute_path)[:8]))
    failed = [exact(e, "path") for e in doc["errors"]]
    expected = [os.path.join(top, p) for p in expected_errors]
    if failed != expected:
        fail(where, "errors %r, expected %r" % (failed, expected))
    counts = {"directories": 0, "files": 0, "bytes": 0}
    check_nodes(where, doc["tree"], top, counts,
                lambda p: readable(p, os.R_OK | os.X_OK) and p not in expected)
    if counts != doc["totals"]:
        fail(where, "totals %r, nodes %r" % (doc["totals"], counts))


# Documents that break the contract, made from a valid one.
def broken_documents(doc):
    def file_node(d):
        return next(n for n in d["tree"]["children"] if n["type"] == "file")

    def first_dir(d):
        return next(n for n in d["tree"]["children"] if n["type"] == "directory")

    def link(d):
        return next(n for n in d["tree"]["children"] if n["type"] == "symlink")

    edits = {
        "a directory with attributes": lambda d: first_dir(d).update(attributes="-----"),
        "a file with children": lambda d: file_node(d).update(children=[]),
        "a time without nanoseconds": lambda d: file_node(d).update(mtime="2026-12-10T14:03:07Z"),
        "a local time": lambda d: file_node(d).update(mtime="2026-12-10T14:03:07.000000000+01:00"),
        "a negative size": lambda d: file_node(d).update(size=-1),
        "a size of 2^64": lambda d: file_node(d).update(size=2 ** 64),
        "a size as a float": lambda d: file_node(d).update(size=1.5),
        "an unknown field": lambda d: file_node(d).update(owner="root"),
        "an unknown type": lambda d: file_node(d).update(type="device"),
        "a hash on a link": lambda d: link(d).update(hash="0" * 64),
        "bad base64": lambda d: file_node(d).update(name_base64="a"),
        "another version": lambda d: d.update(kwl_tree=2),
        "no totals": lambda d: d.pop("totals"),
        "an error without errno": lambda d: d["errors"].append({"path": "/x", "reason": "r"}),
        "a root without children": lambda d: d["tree"].pop("children"),
        "a directory of a recursive document without children": lambda d: first_dir(d).pop("children"),
        "a depth limit of 0": lambda d: d["filters"].update(max_depth=0),
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

    # World-reachable copies, so that the runs as nobody can reach the tree and the program
    # even from a private checkout.
    work = tempfile.mkdtemp()
    os.chmod(work, 0o755)
    try:
        shutil.copy(kwl, os.path.join(work, "kwl-list"))
        kwl = os.path.join(work, "kwl-list")
        os.chmod(kwl, 0o755)
        root = os.fsencode(os.path.join(work, "trees"))
        os.mkdir(root)
        hostile = make_hostile_tree(root)
        for args in (["-r"], ["-r", "-j", "1"], [], ["-r", "--hash", "sha256"],
                     ["-r", "--hash", "xxh128"]):
            run("hostile %s" % args, validator, kwl, ["-e", "json"] + args, hostile, 0, [])
        out = os.path.join(work, "out.json")
        subprocess.run([kwl, "-r", "-e", "json", "-o", out, hostile], check=True)
        with open(out, "rb") as f:
            valid = json.loads(f.read())
        for error in validator.iter_errors(valid):
            fail("-o FILE", error.message[:200])
        # At the depth limit directories have no children; the totals still count everything.
        limited = json.loads(subprocess.run([kwl, "-e", "json", "--max-depth", "1", hostile],
                                            check=True, capture_output=True).stdout)
        for error in validator.iter_errors(limited):
            fail("--max-depth 1", error.message[:200])
        if limited["totals"] != valid["totals"] or limited["totals"]["bytes"] != limited["tree"]["size"]:
            fail("--max-depth 1", "totals %r, without the limit %r, root size %d"
                 % (limited["totals"], valid["totals"], limited["tree"]["size"]))

        failing = make_failing_tree(root)
        # A sanitizer build is told that its runtime does not come first.
        asan = os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
        env = dict(os.environ, LD_PRELOAD=shim, KWL_TEST_READ_ERROR="failing", ASAN_OPTIONS=asan)
        run("read fails midway", validator, kwl, ["-r", "-e", "json"], failing, 1,
            ([] if os.geteuid() == 0 else [b"locked", b"nosearch"]) + [b"sub/failing"], env=env,
            readable=lambda p, m: False)
        if os.geteuid() == 0:
            for entry in os.scandir(root):
                os.chmod(entry.path, 0o755)
            run("unreadable, as nobody", validator, kwl, ["-r", "-e", "json"], failing, 1,
                [b"locked", b"nosearch"], preexec=as_nobody(), readable=lambda p, m: False)
        else:
            run("unreadable", validator, kwl, ["-r", "-e", "json"], failing, 1,
                [b"locked", b"nosearch"], readable=lambda p, m: False)

        for name, broken in broken_documents(valid):
            if validator.is_valid(broken):
                fail("schema", "accepts " + name)
    finally:
        for dirpath, dirnames, _ in os.walk(work):
            for d in dirnames:
                os.chmod(os.path.join(dirpath, d), 0o755)
        shutil.rmtree(work)

    for f in FAILURES:
        print("FAIL:", f)
    print("%d failures" % len(FAILURES))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
