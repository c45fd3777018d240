#!/usr/bin/env bash
# The listing that needs sizes and times against a bare walker (getdents64 + statx on two
# threads, bench/floor_walk.c) and against the kwl-list of a baseline commit, and the name-only
# listing, on the nested tree of 1,000,000 entries, warm cache. Rounds are interleaved (each
# command once per round, in turn) so that load from other jobs falls on all alike; the table
# gives medians of wall, user and system time from /usr/bin/time, output to /dev/null.
#
#   bench/run_size_listing_bench.sh [--runs R] [--baseline COMMIT] [--trees DIR]
#
# --runs R          rounds (default 7)
# --baseline COMMIT the kwl-list to compare with, built as released in a worktree of its own
#                   (default 8164a07); several commits apart by commas (8164a07,4eb6047) give
#                   a row each
# --trees DIR       where the tree is made once (default /var/tmp/kwl-trees, which
#                   bench/run_scan_bench.sh uses too: nested-1000000 there is reused)
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=7
BASELINE=8164a07
TREES=/var/tmp/kwl-trees
while (($#)); do
    case $1 in
    --runs) RUNS=$2; shift 2 ;;
    --baseline) BASELINE=$2; shift 2 ;;
    --trees) TREES=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done

WORK=$TREES
# shellcheck source=bench/lib.sh
source bench/lib.sh
bench_install time
bench_build
# The tree of bench/run_scan_bench.sh where it was made already, else one of our own.
if [[ -e $TREES/nested-1000000.done ]]; then
    TREE=$TREES/nested-1000000
else
    TREE=$(bench_tree nested 1000000)
fi

BIN=$PWD/build-bench/bench-bin
mkdir -p "$BIN"
gcc -O2 -o "$BIN/floor_walk" bench/floor_walk.c -lpthread
IFS=, read -ra BASELINES <<<"$BASELINE"
for base in "${BASELINES[@]}"; do
    [[ -x $BIN/kwl-list-$base ]] && continue
    base_src=$PWD/build-bench/baseline-src
    rm -rf "$base_src"
    git worktree add --detach -f "$base_src" "$base" >/dev/null 2>&1
    cmake -S "$base_src" -B "$base_src/build" -DCMAKE_BUILD_TYPE=Release -DKWL_BUILD_GUI=OFF \
        -DKWL_BUILD_TESTS=OFF >/dev/null
    cmake --build "$base_src/build" -j2 --target kwl-list >/dev/null
    cp "$base_src/build/cli/kwl-list" "$BIN/kwl-list-$base"
    git worktree remove --force "$base_src"
done

SIZES='name|F-size|modTime'
NAMES=(floor)
COMMANDS=("$BIN/floor_walk 2 $TREE")
for kind in sizes names; do
    args="-r -f $SIZES"
    [[ $kind == names ]] && args="-r"
    for base in "${BASELINES[@]}"; do
        NAMES+=("$kind $base")
        COMMANDS+=("$BIN/kwl-list-$base $args $TREE")
    done
    NAMES+=("$kind now")
    COMMANDS+=("$KWL $args $TREE")
done
RESULTS=$(mktemp)
trap 'rm -f "$RESULTS"' EXIT
for ((r = 0; r < RUNS; ++r)); do
    for i in "${!COMMANDS[@]}"; do
        # The size format shows a keyword that directories lack: kwl-list says so on stderr.
        read -ra cmd <<<"${COMMANDS[$i]}"
        /usr/bin/time -o "$RESULTS.one" -f "%e %U %S" "${cmd[@]}" >/dev/null 2>/dev/null || true
        echo "$i $(cat "$RESULTS.one")" >>"$RESULTS"
    done
    echo "round $((r + 1)) of $RUNS" >&2
done
rm -f "$RESULTS.one"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
floor_wall=$(awk '$1 == 0 { print $2 }' "$RESULTS" | median)
echo "Tree: $TREE; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg); $RUNS rounds."
echo
echo "| command | wall median (s) | min-max (s) | user (s) | system (s) | vs floor |"
echo "|---|---:|---:|---:|---:|---:|"
for i in "${!COMMANDS[@]}"; do
    wall=$(awk -v i="$i" '$1 == i { print $2 }' "$RESULTS" | median)
    lo=$(awk -v i="$i" '$1 == i { print $2 }' "$RESULTS" | sort -g | head -1)
    hi=$(awk -v i="$i" '$1 == i { print $2 }' "$RESULTS" | sort -g | tail -1)
    user=$(awk -v i="$i" '$1 == i { print $3 }' "$RESULTS" | median)
    sys=$(awk -v i="$i" '$1 == i { print $4 }' "$RESULTS" | median)
    printf '| %s | %.2f | %.2f-%.2f | %.2f | %.2f | %.2fx |\n' "${NAMES[$i]}" "$wall" "$lo" "$hi" \
        "$user" "$sys" "$(echo "$wall / $floor_wall" | bc -l)"
done
