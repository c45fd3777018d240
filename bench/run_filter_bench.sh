#!/usr/bin/env bash
# Name-only listings and filters, warm cache: kwl-list's default listing (no status read for
# files) against fd -u and find listing the same names into a file, against the same listing
# with a format that shows sizes, and with 25 exclude patterns that match nothing against none.
# Median wall time and peak resident size over several rounds (/usr/bin/time), as a markdown
# table.
#
#   bench/run_filter_bench.sh [--entries N] [--runs R] [--dir DIR] [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."

ENTRIES=1000000
RUNS=7
WORK=/var/tmp/kwl-filter-bench
KEEP=0
while (($#)); do
    case "$1" in
    --entries) ENTRIES=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --dir) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done

source bench/lib.sh
bench_install fd-find time python3
FD=$(command -v fdfind || command -v fd)
bench_build
TREE=$(bench_tree nested "$ENTRIES")
cleanup() { if ((KEEP == 0)); then rm -rf "$WORK"; fi; }
trap cleanup EXIT

# 20 names and 5 wildcard patterns as a source tree's ignore list has them; none occurs in the
# tree, so every entry is checked against all of them and none is left out.
EXCLUDES=()
for p in .git .svn .hg node_modules __pycache__ .venv venv target dist .idea .vscode \
         .gradle .cache .tox .mypy_cache .pytest_cache bower_components vendor .terraform \
         .next '*.pyc' '*.o' '*~' '.#*' '*.swp'; do
    EXCLUDES+=(--exclude "$p")
done
OUT=$WORK/out.txt
NAMES=("find -printf '%p\\n' > FILE" "fd -u > FILE" "kwl-list -r -o FILE, default format"
       "kwl-list -r -o FILE, format with sizes" "kwl-list -r -o FILE, default format, 25 excludes")
CMDS=("find '$TREE' -printf '%p\n' > '$OUT'"
      "'$FD' -u . '$TREE' > '$OUT'"
      "'$KWL' -r -o '$OUT' '$TREE'"
      "'$KWL' -r -f 'name|F-size|D-size' -o '$OUT' '$TREE'"
      "'$KWL' -r ${EXCLUDES[*]@Q} -o '$OUT' '$TREE'")

SAMPLES=$(mktemp)
for c in "${CMDS[@]}"; do bash -c "$c"; done # warm every cache once
for ((round = 0; round < RUNS; round++)); do
    for i in "${!CMDS[@]}"; do
        echo "$i $( { /usr/bin/time -f '%e %M' bash -c "${CMDS[$i]}"; } 2>&1 >/dev/null | tail -1)" \
            >>"$SAMPLES"
    done
done

echo "Tree: $TREE ($ENTRIES entries); $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "| command | median (s) | min-max (s) | vs fd | peak RSS (MiB) | peak bytes/entry |"
echo "|---|---:|---:|---:|---:|---:|"
python3 -c '
import statistics, sys
path, entries, names = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
times = [[] for _ in names]
peaks = [[] for _ in names]
for line in open(path):
    i, seconds, kib = line.split()
    times[int(i)].append(float(seconds))
    peaks[int(i)].append(int(kib))
fd = statistics.median(times[1])
for i, name in enumerate(names):
    t, kib = statistics.median(times[i]), statistics.median(peaks[i])
    print("| %s | %.2f | %.2f-%.2f | %.2fx | %.0f | %.0f |" % (
        name.replace("|", "\\|"), t, min(times[i]), max(times[i]), t / fd, kib / 1024,
        kib * 1024 / entries))
' "$SAMPLES" "$ENTRIES" "${NAMES[@]}"
rm -f "$SAMPLES"
