#!/usr/bin/env bash
# Builds the benchmark (Release), makes the trees, scans each in fresh processes and prints a
# markdown table of time and peak memory per entry.
#
#   bench/run_scan_bench.sh [TREE_DIR]
#
# TREE_DIR   where the trees go (default: a fresh directory under /var/tmp, which is on disk;
#            /tmp may be a RAM-backed tmpfs on other machines). Trees already made there by an
#            earlier run with KEEP=1 are reused.
# KEEP=1     keep the trees afterwards (by default a directory this script created is removed).
# RUNS=3     timed scans per process (median); REPEAT=3 processes per tree (median of those).
# SIZES="10000 100000 1000000"   entries of the flat and nested trees.
# WIDE=1     also the directory of 200,000 files (WIDE=0 leaves it out).
# BIG=1      also one directory of 1,000,000 files (off by default: ext4 takes ~4 minutes to
#            make it; keep it with KEEP=1 and later runs reuse it).
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SRC="$(dirname "$HERE")"
BUILD="${BUILD:-$SRC/build-bench}"
RUNS="${RUNS:-3}"
REPEAT="${REPEAT:-3}"
SIZES="${SIZES:-10000 100000 1000000}"
WIDE="${WIDE:-1}"
BIG="${BIG:-0}"
KEEP="${KEEP:-0}"

cmake -S "$SRC" -B "$BUILD" -DKWL_BUILD_GUI=OFF -DKWL_BUILD_TESTS=OFF \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target make_tree scan_bench >/dev/null
MAKE_TREE="$BUILD/bench/make_tree"
SCAN_BENCH="$BUILD/bench/scan_bench"

CREATED=0
if [[ $# -ge 1 ]]; then
    ROOT="$1"
    if [[ ! -d "$ROOT" ]]; then
        mkdir -p "$ROOT"
        CREATED=1
    fi
else
    ROOT="$(mktemp -d /var/tmp/kwl-scan-bench.XXXXXX)"
    CREATED=1
fi
ROOT="$(cd "$ROOT" && pwd)"
cleanup() {
    if [[ "$CREATED" == 1 && "$KEEP" != 1 ]]; then
        echo "removing $ROOT" >&2
        rm -rf --one-file-system -- "$ROOT"
    fi
}
trap cleanup EXIT

# Trees to measure: name layout entries.
TREES=()
for layout in flat nested; do
    for n in $SIZES; do
        TREES+=("$layout-$n $layout $n")
    done
done
if [[ "$WIDE" == 1 ]]; then TREES+=("wide200k wide200k 200000"); fi
if [[ "$BIG" == 1 ]]; then TREES+=("single-1000000 single 1000000"); fi

# Room: an inode per entry plus some blocks; make_tree checks each tree again before it starts.
need_inodes=0
for t in "${TREES[@]}"; do
    read -r name _ n <<<"$t"
    [[ -e "$ROOT/$name.done" ]] || need_inodes=$((need_inodes + n))
done
read -r free_inodes free_kib < <(df --output=iavail,avail -k "$ROOT" | tail -1)
echo "trees in $ROOT ($(df --output=fstype "$ROOT" | tail -1 | tr -d ' ')):" \
     "need ~$need_inodes inodes and ~$((need_inodes / 4096)) MiB," \
     "have $free_inodes inodes and $((free_kib / 1024)) MiB" >&2
if [[ "$free_inodes" != "-" && "$free_inodes" -lt $((need_inodes + need_inodes / 10)) ]]; then
    echo "not enough free inodes in $ROOT" >&2
    exit 1
fi

for t in "${TREES[@]}"; do
    read -r name layout n <<<"$t"
    if [[ ! -e "$ROOT/$name.done" ]]; then
        rm -rf --one-file-system -- "${ROOT:?}/$name"
        "$MAKE_TREE" "$layout" "$n" "$ROOT/$name" >&2
        touch "$ROOT/$name.done"
    fi
done
sync # let writeback of the new trees finish before anything is timed

# Median of column $1 over the lines on stdin.
median() {
    sort -g -k"$1","$1" | awk -v c="$1" '{ v[NR] = $c } END {
        if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

RESULTS="$ROOT/results.tsv"
: >"$RESULTS"
for t in "${TREES[@]}"; do
    read -r name layout n <<<"$t"
    lines=""
    for ((r = 0; r < REPEAT; ++r)); do
        lines+="$("$SCAN_BENCH" --runs "$RUNS" --tsv "$ROOT/$name")"$'\n'
    done
    lines="${lines%$'\n'}"
    # scan_bench --tsv columns: 1 entries 2 files 3 dirs 4 largest_dir 5 first_s 6 scan_s
    # 7 scan_min 8 scan_max 9 rescan_s 10 rescan_min 11 rescan_max 12 scan_ns 13 rescan_ns
    # 14 peak_B 15 tree_B 16 scan_cpu_ns 17 rescan_cpu_ns
    row="$name"
    for c in 1 2 3 4 6 9 12 13 14 15 16 17; do
        row+=$'\t'"$(median "$c" <<<"$lines")"
    done
    # Spread over all processes: fastest and slowest single scan.
    row+=$'\t'"$(cut -f7 <<<"$lines" | sort -g | head -1)"
    row+=$'\t'"$(cut -f8 <<<"$lines" | sort -g | tail -1)"
    echo "$row" >>"$RESULTS"
    echo "scanned $name" >&2
done

# Markdown table; the last lines compare the slowest and fastest time per entry.
# $ROW columns: 1 name 2 entries 3 files 4 dirs 5 largest 6 scan_s 7 rescan_s 8 scan_ns
# 9 rescan_ns 10 peak_B 11 tree_B 12 scan_cpu_ns 13 rescan_cpu_ns 14 fastest_s 15 slowest_s
awk -F'\t' '
function layout(name) {
    if (name ~ /^wide/ || name ~ /^single/) return "one directory"
    if (name ~ /^flat/) return "flat"
    return "nested"
}
function track(i) {
    if (lo[i] == "" || $i < lo[i]) { lo[i] = $i; lon[i] = $1 }
    if (hi[i] == "" || $i > hi[i]) { hi[i] = $i; hin[i] = $1 }
}
function reading(i, what) {
    printf "%s: slowest %s %.0f, fastest %s %.0f ns/entry, ratio %.2f\n", what, hin[i], hi[i], lon[i], lo[i], hi[i] / lo[i]
}
BEGIN {
    print "| Tree | Layout | Entries | Dirs | Largest dir | Scan wall ms, median (fastest-slowest) | Scan wall ns/entry | Scan CPU ns/entry | Rescan wall ns/entry | Rescan CPU ns/entry | Peak RSS growth B/entry | Tree heap B/entry |"
    print "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
}
{
    printf "| %s | %s | %d | %d | %d | %.0f (%.0f-%.0f) | %.0f | %.0f | %.0f | %.0f | %.0f | %.0f |\n",
        $1, layout($1), $2, $4, $5, $6 * 1000, $14 * 1000, $15 * 1000, $8, $12, $9, $13, $10, $11
    track(8); track(9); track(12); track(13)
}
END {
    print ""
    reading(12, "Scan CPU"); reading(13, "Rescan CPU"); reading(8, "Scan wall"); reading(9, "Rescan wall")
}' "$RESULTS"
