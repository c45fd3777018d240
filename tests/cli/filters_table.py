#!/usr/bin/env python3
"""kwl-list's filters on a real tree, each option alone and in combination, on one and on
eight threads: every listed line and every total is checked against a model of the tree built
here, independently, from os.walk and fnmatch. An excluded directory whose reading would fail
(the fault shim) is never opened.

    filters_table.py KWL_LIST FAULT_SHIM
"""
import fnmatch
import os
import shutil
import subprocess
import sys
import tempfile

FAILURES = []
FORMAT = "name|size|D-files"


def write(path, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(b"x" * size)


def make_tree(top):
    for rel, size in [(".hidden", 3), (".git/objects/o1", 10), ("node_modules/pkg/index.js", 20),
                      ("build/out.o", 30), ("Build", 4), ("src/main.c", 40), ("src/main.o", 50),
                      ("src/gen/g.c", 60), ("deep/a/b/c/d/leaf", 70), ("new\nline", 5),
                      ("locked/x", 1), ("deep/a/keep.o", 8)]:
        write(os.path.join(top, rel), size)
    os.symlink("src", os.path.join(top, "link_to_dir"))


def component_match(glob, name, fold):
    return fnmatch.fnmatchcase(name.lower() if fold else name, glob.lower() if fold else glob)


def path_match(parts, names, fold):
    """Anchored pattern components against the path's names; "**" takes any number."""
    if not parts:
        return not names
    if parts[0] == "**":
        return any(path_match(parts[1:], names[i:], fold) for i in range(len(names) + 1))
    return bool(names) and component_match(parts[0], names[0], fold) and \
        path_match(parts[1:], names[1:], fold)


def excluded(rel_names, is_dir, patterns, fold, no_hidden):
    name = rel_names[-1]
    if no_hidden and name.startswith("."):
        return True
    for pattern in patterns:
        dir_only = pattern.endswith("/")
        body = pattern.rstrip("/")
        if dir_only and not is_dir:
            continue
        if "/" in body:
            if path_match(body.lstrip("/").split("/"), rel_names, fold):
                return True
        elif component_match(body, name, fold):
            return True
    return False


def model(top, patterns, fold, no_hidden):
    """{relative path tuple: (is_dir, size or total, own file count)} of what is kept."""
    kept = {(): [True, 0, 0]}

    def visit(path, rel):
        total, files = 0, 0
        for entry in sorted(os.scandir(path), key=lambda e: e.name):
            names = rel + (entry.name,)
            is_dir = entry.is_dir(follow_symlinks=False)
            if excluded(names, is_dir, patterns, fold, no_hidden):
                continue
            if is_dir:
                size = visit(entry.path, names)
            else:
                size = entry.stat(follow_symlinks=False).st_size
                files += 1
                kept[names] = [False, size, 0]
            total += size
        kept[rel] = [True, total, files]
        return total
    visit(top, ())
    return kept


def expected_lines(kept, max_depth):
    """The listing's lines: subdirectories first, then files, each in folded name order."""
    lines = []

    def shown(name):
        return "".join("?" if ord(c) < 0x20 or ord(c) == 0x7F else c for c in name)

    def key(names):
        return names[-1].lower()

    def emit(rel, depth):
        children = [k for k in kept if len(k) == len(rel) + 1 and k[:len(rel)] == rel]
        dirs = sorted((k for k in children if kept[k][0]), key=key)
        files = sorted((k for k in children if not kept[k][0]), key=key)
        for d in dirs:
            lines.append("  " * depth + "%s\t%d\t%d" % (shown(d[-1]), kept[d][1], kept[d][2]))
            if max_depth < 0 or depth + 1 < max_depth:
                emit(d, depth + 1)
        for f in files:
            lines.append("  " * depth + "%s\t%d" % (shown(f[-1]), kept[f][1]))
    emit((), 0)
    return lines


def main():
    kwl, shim = sys.argv[1:3]
    work = tempfile.mkdtemp()
    try:
        top = os.path.join(work, "t")
        make_tree(top)
        pattern_file = os.path.join(work, "patterns.txt")
        with open(pattern_file, "wb") as f:
            f.write(b"# generated and fetched things\r\nnode_modules\r\n\r\n*.o\r\n")
        asan = os.environ.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
        failing = dict(os.environ, LD_PRELOAD=shim, KWL_TEST_READ_ERROR="locked",
                       ASAN_OPTIONS=asan)
        cases = [
            # (options, patterns, ignore case, no hidden, max depth)
            ([], [], False, False, -1),
            ([".git"], [".git"], False, False, -1),
            (["node_modules", "*.o"], ["node_modules", "*.o"], False, False, -1),
            (["build/"], ["build/"], False, False, -1),
            (["/src/gen"], ["/src/gen"], False, False, -1),
            (["deep/**/d"], ["deep/**/d"], False, False, -1),
            (["new\nline"], ["new\nline"], False, False, -1),
            (["BUILD/", "--ignore-case"], ["BUILD/"], True, False, -1),
            (["--no-hidden"], [], False, True, -1),
            (["--max-depth", "1"], [], False, False, 1),
            (["--max-depth", "2"], [], False, False, 2),
            (["--exclude-from", pattern_file], ["node_modules", "*.o"], False, False, -1),
            (["--no-hidden", "node_modules", "*.o", "--max-depth", "3"],
             ["node_modules", "*.o"], False, True, 3),
        ]
        for options, patterns, fold, no_hidden, max_depth in cases:
            args = []
            for o in options:
                args += [o] if o.startswith("--") or o.isdigit() or o == pattern_file \
                    else ["--exclude", o]
            # Every case leaves out the directory whose reading fails: it is never opened.
            args += ["--exclude", "locked"]
            kept = model(top, patterns + ["locked"], fold, no_hidden)
            lines = expected_lines(kept, max_depth)
            for threads in ("1", "8"):
                where = "%r -j %s" % (options, threads)
                result = subprocess.run([kwl, "-r", "-j", threads, "-f", FORMAT] + args + [top],
                                        capture_output=True, env=failing)
                if result.returncode != 0:
                    fail(where, "exit status %d: %r" % (result.returncode, result.stderr))
                got = result.stdout.decode("utf-8").split("\r\n")[2:]
                if got != lines:
                    fail(where, "lines\n  %r\nexpected\n  %r" % (got, lines))
    finally:
        shutil.rmtree(work)
    for f in FAILURES:
        print("FAIL:", f)
    print("%d failures" % len(FAILURES))
    return 1 if FAILURES else 0


def fail(where, what):
    FAILURES.append("%s: %s" % (where, what))


if __name__ == "__main__":
    sys.exit(main())
