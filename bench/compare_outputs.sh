#!/usr/bin/env bash
# Compares everything two kwl-list builds write (standard output, standard error, exit status)
# on the same trees: every export kind, both languages, several formats, recursive or not,
# and 1, 2 and 8 scan threads. For changes that must not change a byte. A text export that
# differs only by the quoting of fields that hold the separator or a double quote (which older
# builds did not do) is counted apart rather than reported.
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
AS=()
# For a text export that differs: the new output with its RFC 4180 quoting undone (each line
# read as CSV and its fields joined by the separator again) against the old one, which never
# quoted. Equal means quoting is the only change. Empty TEXT_SEP: not a text export.
TEXT_SEP=""
unquoted_equal() {
    python3 - "$1" "$2" "$TEXT_SEP" <<'PY'
import csv, sys
old, new, sep = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read(), sys.argv[3]
lines = new.decode("utf-8", "surrogateescape").split("\r\n")
fields = csv.reader(lines, delimiter=sep, quoting=csv.QUOTE_MINIMAL, strict=True)
undone = "\r\n".join(sep.join(row) if row else "" for row in fields)
sys.exit(0 if undone.encode("utf-8", "surrogateescape") == old else 1)
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
        if [ -n "$TEXT_SEP" ] && unquoted_equal "$o/old.out" "$o/new.out"; then
            quoted=$((quoted + 1))
        else
            echo "DIFFERS: $id (exit $so / $sn)"
            differ=1
        fi
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
if [ $differ -eq 0 ]; then
    echo "identical ($summary)"
else
    echo "$summary; the ones above differ"
    exit 1
fi
