#!/usr/bin/env bash
# Compares everything two kwl-list builds write (standard output, standard error, exit status)
# on the same trees: every export kind, both languages, several formats, recursive or not,
# and 1, 2 and 8 scan threads. For changes that must not change a byte. A text export that
# differs only by the quoting of fields that hold the separator or a double quote (which older
# builds did not do), or only by the formula guard (a field that begins with =, +, -, @, a tab
# or a CR written as "'..."; older builds wrote it as it is), is counted apart rather than
# reported.
#
#   bench/compare_outputs.sh OLD_KWL_LIST NEW_KWL_LIST [TREE...]
#
# Without TREE it makes (once, in $KWL_COMPARE_DIR, default /tmp/kwl-compare) a tree of hostile
# names and a 100,000-entry nested tree from bench/make_tree (give MAKE_TREE=path when it is
# not in build/bench). Prints "identical" and exits 0, or lists the runs that differ and exits 1.
set -euo pipefail

OLD=$(realpath "$1")
NEW=$(realpath "$2")
shift 2
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WORK=${KWL_COMPARE_DIR:-/tmp/kwl-compare}
mkdir -p "$WORK"

make_hostile() {
    local d=$1
    mkdir -p "$d"
    (
        cd "$d"
        mkdir -p "sub dir/inner" "B" "b" ".hidden" "empty" "deep" "locked/in"
        printf 'x' >"plain.txt"
        printf 'hello' >"sub dir/inner/file one"
        touch -- "$(printf 'tab\there')" "$(printf 'new\nline')" "$(printf 'bell\a')" \
              "$(printf 'c1\xc2\x85x')" "$(printf 'ls\xe2\x80\xa8x')" "$(printf 'bad\xffutf8')" \
              '<i>&amp;"q"' "Äpfel" "äpfel" "zebra" "Zebra" ".dotfile" "B/x" "b/y" \
              "$(printf 'sub dir/esc\033[31mred')" "-dash" "semi;colon" "pipe|bar"
        ln -sf "plain.txt" "link"
        ln -sf "/nonexistent" "dangling"
        mkfifo "fifo" 2>/dev/null || true
        truncate -s 5G "sparse big"
        local p=deep
        for i in $(seq 1 120); do p="$p/l$i"; done
        mkdir -p "$p" && touch "$p/leaf"
        touch -d '2001-02-03 04:05:06' plain.txt "Äpfel"
        touch -d '2040-01-01 00:00:00' zebra
        chmod 000 locked # unreadable for anyone but root: see the runs as nobody below
    )
}

TREES=("$@")
if [ ${#TREES[@]} -eq 0 ]; then
    if [ ! -d "$WORK/hostile" ]; then
        make_hostile "$WORK/hostile"
    fi
    if [ ! -d "$WORK/nested100k" ]; then
        "${MAKE_TREE:-$ROOT/build/bench/make_tree}" nested 100000 "$WORK/nested100k" >/dev/null
    fi
    TREES=("$WORK/hostile" "$WORK/nested100k")
fi

FORMATS=("D-[D ]-name" "name|size|crTime|accTime|modTime|arch|hid|sys|compr|ro|files"
         "F-name|D-files|D-[\\[]-size-[\\]]" "" "name|F-size" "name-[x" "files-name")

differ=0
runs=0
quoted=0
guarded=0
AS=()
# For a text export that differs: both outputs read as CSV (a line's fields, and whether each
# was quoted) and written again without quoting. Equal means the RFC 4180 quoting is the only
# change (exit 0). Equal once the formula guard's apostrophe is taken off the quoted fields too
# means the guard is the only change besides (exit 2). Anything else differs (exit 1). Empty
# TEXT_SEP: not a text export.
TEXT_SEP=""
compare_text_exports() {
    python3 - "$1" "$2" "$TEXT_SEP" <<'PY'
import sys
FORMULA_STARTS = "=+-@\t\r"

def fields(line, sep):
    """[(text, quoted)] of one line, or None when it is no valid CSV line."""
    out, i = [], 0
    while True:
        if line.startswith('"', i):
            parts, j = [], i + 1
            while True:
                k = line.find('"', j)
                if k < 0:
                    return None
                parts.append(line[j:k])
                if line.startswith('"', k + 1):
                    parts.append('"')
                    j = k + 2
                else:
                    break
            out.append(("".join(parts), True))
            i = k + 1
            if i == len(line):
                return out
            if not line.startswith(sep, i):
                return None
            i += len(sep)
        else:
            k = line.find(sep, i)
            if k < 0:
                out.append((line[i:], False))
                return out
            out.append((line[i:k], False))
            i = k + len(sep)

def unquoted(data, sep, guard):
    lines = []
    for line in data.decode("utf-8", "surrogateescape").split("\r\n"):
        row = fields(line, sep)
        if row is None:
            lines.append(line)
            continue
        if guard:
            row = [(t[1:] if q and len(t) > 2 and t[0] == "'" and t[1] in FORMULA_STARTS else t, q)
                   for t, q in row]
        lines.append(sep.join(t for t, _ in row))
    return lines

old, new, sep = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read(), sys.argv[3]
if unquoted(old, sep, False) == unquoted(new, sep, False):
    sys.exit(0)
sys.exit(2 if unquoted(old, sep, True) == unquoted(new, sep, True) else 1)
PY
}
run_both() {
    local id=$1
    shift
    local o=$WORK/out
    mkdir -p "$o"
    set +e
    "${AS[@]}" "$OLD" "$@" >"$o/old.out" 2>"$o/old.err"; local so=$?
    "${AS[@]}" "$NEW" "$@" >"$o/new.out" 2>"$o/new.err"; local sn=$?
    set -e
    runs=$((runs + 1))
    if [ $so -ne $sn ] || ! cmp -s "$o/old.err" "$o/new.err"; then
        echo "DIFFERS: $id (exit $so / $sn)"
        differ=1
    elif ! cmp -s "$o/old.out" "$o/new.out"; then
        local how=1
        if [ -n "$TEXT_SEP" ]; then
            compare_text_exports "$o/old.out" "$o/new.out" && how=0 || how=$?
        fi
        case $how in
            0) quoted=$((quoted + 1)) ;;
            2) guarded=$((guarded + 1)) ;;
            *) echo "DIFFERS: $id (exit $so / $sn)"
               differ=1 ;;
        esac
    fi
}

for tree in "${TREES[@]}"; do
    for j in 1 2 8; do
        for lang in en de; do
            for kind in listing text html; do
                for rec in "" "-r"; do
                    for f in "${FORMATS[@]}"; do
                        # The separator matters only for the text export.
                        seps=(";")
                        [ "$kind" = text ] && seps=(";" "	" "ä")
                        for s in "${seps[@]}"; do
                            TEXT_SEP=""
                            [ "$kind" = text ] && TEXT_SEP=$s
                            run_both "$tree j$j $lang $kind $rec f='$f' s='$s'" \
                                ${rec:+"$rec"} -j "$j" -l "$lang" -e "$kind" -s "$s" -f "$f" "$tree"
                        done
                    done
                done
            done
        done
    done
    TEXT_SEP=""
    # The heading shows the argument as given, trailing slash and control characters included.
    run_both "$tree/ given with slash" -r "$tree/"
done
# A directory that cannot be read: as an unprivileged user (the binaries and trees must be
# reachable for it).
if [ "$(id -u)" -eq 0 ] && [ -d "$WORK/hostile/locked" ]; then
    AS=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    for j in 1 8; do
        for lang in en de; do
            for kind in listing text html; do
                TEXT_SEP=""
                [ "$kind" = text ] && TEXT_SEP=";"
                run_both "as nobody j$j $lang $kind" -r -j "$j" -l "$lang" -e "$kind" \
                    "$WORK/hostile"
            done
            TEXT_SEP=""
        done
    done
    AS=()
fi
# Usage errors and missing directories.
run_both "no argument"
run_both "missing directory" /nonexistent/kwl
run_both "bad separator" -e text -s ab /tmp
run_both "bad language" -l fr /tmp
run_both "help" --help
run_both "version" --version

summary="$runs runs"
if [ $quoted -ne 0 ]; then
    summary="$summary; $quoted text exports differ only by RFC 4180 quoting"
fi
if [ $guarded -ne 0 ]; then
    summary="$summary; $guarded text exports differ only by quoting and the formula guard"
fi
if [ $differ -eq 0 ]; then
    echo "identical ($summary)"
else
    echo "$summary; the ones above differ"
    exit 1
fi
