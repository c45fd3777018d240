#!/usr/bin/env bash
# kwl-list -r against find, bfs and tree (and fd, where it is installed) on the same trees:
# a nested tree of 1,000,000 entries with a warm and with a cold cache, and one directory of
# 200,000 files with a warm cache. Median wall time and peak resident size over several
# rounds (/usr/bin/time), as markdown tables.
#
#   bench/run_cli_bench.sh [--entries N] [--flat N] [--runs R] [--cold-runs C] [--dir DIR]
#                          [--keep] [--baseline REV] [--no-cold]
#
#   --baseline REV  also measures the kwl-list of git revision REV (built in DIR), so old and
#                   new figures come from the same run on the same trees.
#   --no-cold       leaves out the cold-cache table.
# Cold runs drop the page, dentry and inode caches before every run (needs root); the
# script says so when that is not permitted and leaves the table out.
set -euo pipefail
cd "$(dirname "$0")/.."

ENTRIES=1000000
FLAT=200000
RUNS=7
COLD_RUNS=3
WORK=/var/tmp/kwl-cli-bench
KEEP=0
BASELINE=""
COLD=1
while (($#)); do
    case "$1" in
    --entries) ENTRIES=$2; shift 2 ;;
    --flat) FLAT=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --cold-runs) COLD_RUNS=$2; shift 2 ;;
    --dir) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    --baseline) BASELINE=$2; shift 2 ;;
    --no-cold) COLD=0; shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done

# The tools to compare with, from Debian; fd is optional.
source bench/lib.sh
bench_install tree bfs time python3
if ! command -v fdfind >/dev/null && ! command -v fd >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -qq \
        --no-install-recommends fd-find >/dev/null 2>&1 || echo "fd-find not installed: left out" >&2
fi
FD=$(command -v fdfind || command -v fd || true)
bench_build

mkdir -p "$WORK"
OLD=""
if [[ -n $BASELINE ]]; then
    REV=$(git rev-parse --short "$BASELINE")
    OLD_SRC=$WORK/baseline-$REV
    if [[ ! -x $OLD_SRC/build/cli/kwl-list ]]; then
        rm -rf "$OLD_SRC" && mkdir -p "$OLD_SRC"
        git archive "$REV" | tar -x -C "$OLD_SRC"
        cmake -S "$OLD_SRC" -B "$OLD_SRC/build" -DCMAKE_BUILD_TYPE=Release -DKWL_BUILD_GUI=OFF \
            -DKWL_BUILD_TESTS=OFF -DKWL_BUILD_BENCH=OFF >/dev/null
        cmake --build "$OLD_SRC/build" -j2 --target kwl-list >/dev/null
    fi
    OLD=$OLD_SRC/build/cli/kwl-list
fi

NESTED=$(bench_tree nested "$ENTRIES")
WIDE=$(bench_tree single "$FLAT")
cleanup() { if ((KEEP == 0)); then rm -rf "$WORK"; fi; }
trap cleanup EXIT
sync

# The second of the default format lines: sizes and creation times.
FORMAT='name|F-[(]-F-size-F-[ bytes)]|[\[]-crTime-[\]]'

# Fills NAMES and CMDS for one tree; with a second argument also the default format line,
# the listing whose memory the targets name.
commands_for() {
    local dir=$1
    NAMES=("find -printf" "bfs -printf" "tree -a -s -D")
    CMDS=("find '$dir' -printf '%s %T@ %p\n' > /dev/null"
          "bfs '$dir' -printf '%s %T@ %p\n' > /dev/null"
          "tree -a -s -D '$dir' > /dev/null")
    if [[ -n $FD ]]; then
        NAMES+=("fd -HI (names only)")
        CMDS+=("'$FD' -HI -u . '$dir' > /dev/null")
    fi
    if [[ -n $OLD ]]; then
        NAMES+=("kwl-list -r, before ($REV)")
        CMDS+=("'$OLD' -r -f '$FORMAT' '$dir' > /dev/null")
    fi
    NAMES+=("kwl-list -r -j 1" "kwl-list -r")
    CMDS+=("'$KWL' -r -j 1 -f '$FORMAT' '$dir' > /dev/null"
           "'$KWL' -r -f '$FORMAT' '$dir' > /dev/null")
    if [[ -n ${2:-} ]]; then
        if [[ -n $OLD ]]; then
            NAMES+=("kwl-list -r, default format, before ($REV)")
            CMDS+=("'$OLD' -r '$dir' > /dev/null")
        fi
        NAMES+=("kwl-list -r, default format")
        CMDS+=("'$KWL' -r '$dir' > /dev/null")
        # The JSON export against the listing it must keep up with, both into a file.
        NAMES+=("kwl-list -r -o FILE, default format" "kwl-list -r -e json -o FILE")
        CMDS+=("'$KWL' -r -o '$WORK/out.txt' '$dir'"
               "'$KWL' -r -e json -o '$WORK/out.json' '$dir'")
    fi
}

# measure ROUNDS COLD FILE: every command once per round, in turn, so that load from other
# jobs falls on all of them alike; with COLD=1 the caches are dropped before each run. Each
# run gives its wall time and peak resident size (/usr/bin/time); FILE gets "index s KiB".
measure() {
    : >"$3"
    for ((round = 0; round < $1; round++)); do
        for i in "${!CMDS[@]}"; do
            if (($2)); then
                sync
                echo 3 >/proc/sys/vm/drop_caches
            fi
            echo "$i $( { /usr/bin/time -f '%e %M' bash -c "${CMDS[$i]}"; } 2>&1 >/dev/null |
                        tail -1)" >>"$3"
        done
    done
}

# table TITLE ENTRIES FILE: the median over the rounds, the fastest and slowest run, and the
# median peak memory.
table() {
    echo
    echo "### $1"
    echo
    echo "| command | median (s) | min-max (s) | vs find | peak RSS (MiB) | peak bytes/entry |"
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
find = statistics.median(times[0])
for i, name in enumerate(names):
    t, kib = statistics.median(times[i]), statistics.median(peaks[i])
    print("| %s | %.2f | %.2f-%.2f | %.2fx | %.0f | %.0f |" % (
        name, t, min(times[i]), max(times[i]), t / find, kib / 1024, kib * 1024 / entries))
' "$3" "$2" "${NAMES[@]}"
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "Trees: $NESTED ($ENTRIES entries), $WIDE ($FLAT files in one directory);" \
     "$(df -T "$NESTED" | awk 'NR==2{print $2}'); $(nproc) cores; $(uname -r)."
echo "Load average (1, 5, 15 min) at the start: $(load)."

SAMPLES=$(mktemp)
commands_for "$NESTED" default-format
for c in "${CMDS[@]}"; do bash -c "$c"; done # warm every cache once
measure "$RUNS" 0 "$SAMPLES"
table "Nested tree, $ENTRIES entries, warm cache ($RUNS rounds)" "$ENTRIES" "$SAMPLES"
echo
echo "Load average after: $(load)."

if ((COLD)); then
    commands_for "$NESTED"
    if sync && echo 3 2>/dev/null >/proc/sys/vm/drop_caches; then
        measure "$COLD_RUNS" 1 "$SAMPLES"
        table "Nested tree, $ENTRIES entries, cold cache (caches dropped before every run; $COLD_RUNS rounds)" \
            "$ENTRIES" "$SAMPLES"
        echo
        echo "Load average after: $(load)."
    else
        echo
        echo "Cold cache: not measured, dropping the caches is not permitted here (needs root)."
    fi
fi

commands_for "$WIDE"
for c in "${CMDS[@]}"; do bash -c "$c"; done
measure "$RUNS" 0 "$SAMPLES"
table "One directory of $FLAT files, warm cache ($RUNS rounds)" "$FLAT" "$SAMPLES"
echo
echo "Load average at the end: $(load)."
rm -f "$SAMPLES"
