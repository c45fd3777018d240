#!/usr/bin/env bash
# The browsable page (kwl-list -e html-app) of the nested tree of 1,000,000 entries that the
# other benchmarks use: page bytes per entry, time to write it against the default listing of
# the same tree (both into a file, warm cache), and in headless Chromium (the browser tests'
# driver) the time from navigation start to data-state="ready", the JS heap, and a search
# over all names until its first results are drawn. Prints markdown. The default listing
# stats no file (its format shows no size or time); the page needs every entry's status, so
# a listing that reads sizes and times is measured beside it.
#
#   bench/run_html_app_bench.sh [--entries N] [--runs R] [--dir DIR] [--keep] [--query Q]
set -euo pipefail
cd "$(dirname "$0")/.."

ENTRIES=1000000
RUNS=5
WORK=/var/tmp/kwl-html-app-bench
KEEP=0
QUERY="report*2"
while (($#)); do
    case "$1" in
    --entries) ENTRIES=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --dir) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    --query) QUERY=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done

source bench/lib.sh
bench_install time python3
bench_build
TREE=$(bench_tree nested "$ENTRIES")
cleanup() { if ((KEEP == 0)); then rm -rf "$WORK"; fi; }
trap cleanup EXIT

# median of the seconds that /usr/bin/time reports for RUNS runs of a command
median_time() {
    local samples=()
    for ((i = 0; i < RUNS; i++)); do
        samples+=("$({ /usr/bin/time -f '%e %M' bash -c "$1"; } 2>&1 >/dev/null | tail -1)")
    done
    printf '%s\n' "${samples[@]}" | python3 -c '
import statistics, sys
rows = [l.split() for l in sys.stdin if l.strip()]
print("%.2f %.0f" % (statistics.median(float(r[0]) for r in rows), statistics.median(int(r[1]) for r in rows) / 1024))'
}

bash -c "'$KWL' -r -o '$WORK/listing.txt' '$TREE'" # warm the caches
read -r LIST_S LIST_MB <<<"$(median_time "'$KWL' -r -o '$WORK/listing.txt' '$TREE'")"
read -r STAT_S STAT_MB <<<"$(median_time "'$KWL' -r -f 'name|size|modTime' -o '$WORK/sized.txt' '$TREE'")"
read -r PAGE_S PAGE_MB <<<"$(median_time "'$KWL' -r -e html-app -o '$WORK/page.html' '$TREE'")"
BYTES=$(stat -c %s "$WORK/page.html")
COUNT=$(python3 -c "import re,sys; print(re.search(r'\"entries\":(\d+)', open(sys.argv[1], encoding='utf-8', errors='replace').read()).group(1))" "$WORK/page.html")

BROWSER=$(node bench/html_app_bench.js "$WORK/page.html" "$QUERY" 3)
stat_of() { # key -> median over the browser runs
    grep "^$1 " <<<"$BROWSER" | cut -d' ' -f2 | python3 -c 'import statistics,sys; print(statistics.median(float(l) for l in sys.stdin))'
}

echo "Tree: $TREE ($COUNT entries with the root); $(nproc) cores; $(uname -r); $(chromium --version 2>/dev/null | head -1)."
echo "Load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "| measure | figure | target |"
echo "|---|---:|---:|"
printf '| page size | %.1f MB, %.1f bytes/entry | <= 20 bytes/entry |\n' \
    "$(python3 -c "print($BYTES/1e6)")" "$(python3 -c "print($BYTES/$COUNT)")"
printf '| write the page (kwl-list -r -e html-app -o FILE, median of %d) | %s s, peak RSS %s MiB | <= 1.5x the listing |\n' "$RUNS" "$PAGE_S" "$PAGE_MB"
printf '| write the default listing (kwl-list -r -o FILE, median of %d) | %s s, peak RSS %s MiB | |\n' "$RUNS" "$LIST_S" "$LIST_MB"
printf '| page / listing | %.2fx | <= 1.5x |\n' "$(python3 -c "print($PAGE_S/$LIST_S)")"
printf '| write a listing that reads sizes and times too (-f "name\\|size\\|modTime") | %s s, peak RSS %s MiB | |\n' "$STAT_S" "$STAT_MB"
printf '| page / that listing | %.2fx | |\n' "$(python3 -c "print($PAGE_S/$STAT_S)")"
printf '| navigation start to data-state="ready" (median of 3) | %.0f ms | < 2000 ms |\n' "$(stat_of ready_ms)"
printf '| search "%s" over all names, to the first results drawn (median of 3) | %.0f ms (%s) | < 200 ms |\n' \
    "$QUERY" "$(stat_of search_first_ms)" "$(grep '^search_result ' <<<"$BROWSER" | head -1 | cut -d' ' -f2-)"
printf '| JS heap once ready, typed arrays included, after a garbage collection (median of 3) | %.1f MB | < 150 MB |\n' "$(stat_of heap_mb)"
printf '| row elements in the page | %s | a pool, not one per entry |\n' "$(grep '^row_elements ' <<<"$BROWSER" | head -1 | cut -d' ' -f2)"
