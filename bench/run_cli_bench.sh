#!/usr/bin/env bash
# kwl-list against find and tree on one generated tree of 1,000,000 entries (warm cache):
# median wall time of several runs and median peak memory, for all three exports and for
# the default listing written with -o.
#
#   bench/run_cli_bench.sh [--entries N] [--runs R] [--layout nested|flat] [--dir DIR] [--keep]
set -euo pipefail
cd "$(dirname "$0")/.."

ENTRIES=1000000
RUNS=7
LAYOUT=nested
WORK=/var/tmp/kwl-cli-bench
KEEP=0
while (($#)); do
    case "$1" in
    --entries) ENTRIES=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --layout) LAYOUT=$2; shift 2 ;;
    --dir) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done

need=()
for pkg in hyperfine tree time; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || need+=("$pkg")
done
if ((${#need[@]})); then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi
scripts/install-deps.sh

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKWL_BUILD_GUI=OFF -DKWL_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target kwl-list make_tree >/dev/null
KWL=$PWD/build-bench/cli/kwl-list

TREE_DIR=$WORK/tree-$LAYOUT-$ENTRIES
if [[ ! -d $TREE_DIR ]]; then
    mkdir -p "$WORK"
    echo "making $LAYOUT tree of $ENTRIES entries in $TREE_DIR" >&2
    build-bench/bench/make_tree "$LAYOUT" "$ENTRIES" "$TREE_DIR" >&2
fi
cleanup() { if ((KEEP == 0)); then rm -rf "$WORK"; fi; }
trap cleanup EXIT

FORMAT='name|F-[(]-F-size-F-[ bytes)]|[\[]-crTime-[\]]'
declare -a NAMES=(
    "find -printf"
    "tree -a -s -D"
    "kwl-list (listing)"
    "kwl-list -e text"
    "kwl-list -e html"
    "kwl-list -o FILE (default format)"
)
declare -a CMDS=(
    "find '$TREE_DIR' -printf '%s %T@ %p\n' > /dev/null"
    "tree -a -s -D '$TREE_DIR' > /dev/null"
    "'$KWL' -r -f '$FORMAT' '$TREE_DIR' > /dev/null"
    "'$KWL' -r -e text -f '$FORMAT' '$TREE_DIR' > /dev/null"
    "'$KWL' -r -e html -f '$FORMAT' '$TREE_DIR' > /dev/null"
    "'$KWL' -r -o '$WORK/out.txt' '$TREE_DIR'"
)

# Warm the cache once with every command.
for c in "${CMDS[@]}"; do bash -c "$c"; done

JSON=$(mktemp)
hyperfine --style none --warmup 1 --runs "$RUNS" --export-json "$JSON" "${CMDS[@]}" >&2

median_peak_kib() {
    local samples=()
    for ((i = 0; i < 3; i++)); do
        samples+=("$( { /usr/bin/time -f '%M' bash -c "$1" ; } 2>&1 >/dev/null | tail -1)")
    done
    printf '%s\n' "${samples[@]}" | sort -n | sed -n 2p
}

echo
echo "Tree: $ENTRIES entries, layout $LAYOUT, $(df -T "$TREE_DIR" | awk 'NR==2{print $2}'); $(nproc) cores; $RUNS runs each, medians."
echo
echo "| command | median time (s) | vs find | peak memory (MiB) |"
echo "|---|---|---|---|"
FIND_MEDIAN=$(python3 -c "import json,sys; print(json.load(open('$JSON'))['results'][0]['median'])")
for i in "${!CMDS[@]}"; do
    MEDIAN=$(python3 -c "import json; print(json.load(open('$JSON'))['results'][$i]['median'])")
    PEAK=$(median_peak_kib "${CMDS[$i]}")
    python3 -c "print('| ${NAMES[$i]} | %.2f | %.2fx | %.0f |' % ($MEDIAN, $MEDIAN / $FIND_MEDIAN, $PEAK / 1024))"
done
rm -f "$JSON" "$WORK/out.txt"
