#!/usr/bin/env bash
# Content hashes and snapshot comparison, warm cache. Hashing: kwl-list -r --hash against
# sha256sum and xxhsum over the same tree of regular files (about M MiB in N files of varied
# sizes). Comparing: kwl-list --compare against writing the snapshot it reads, on the nested
# tree of make_tree. Median wall time, CPU time and peak resident size over several rounds
# (/usr/bin/time), as markdown tables.
#
#   bench/run_snapshot_bench.sh [--runs R] [--dir DIR] [--keep] [--entries N] [--files N]
#                               [--megabytes M]
#
#   --entries N     entries of the nested tree for --compare (1000000)
#   --files N       regular files of the tree to hash (20000)
#   --megabytes M   their size together, in MiB (2048)
# Every command must exit with 0 (--compare: no difference); the script stops at the first
# that does not and shows its error output.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=5
WORK=/var/tmp/kwl-snapshot-bench
KEEP=0
ENTRIES=1000000
FILES=20000
MEGABYTES=2048
while (($#)); do
    case "$1" in
    --runs) RUNS=$2; shift 2 ;;
    --dir) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    --entries) ENTRIES=$2; shift 2 ;;
    --files) FILES=$2; shift 2 ;;
    --megabytes) MEGABYTES=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done

# The tools to compare with, from Debian (sha256sum is in coreutils).
source bench/lib.sh
bench_install xxhash time python3
bench_build
mkdir -p "$WORK"

# make_files FILES MEGABYTES -> path: regular files of random bytes, 64 to a directory and 16
# such directories to one above them. The sizes (fixed seed) are log-normal, sigma 1.5, kept
# within 4 KiB-8 MiB, their median chosen so that they add up to MEGABYTES (2048 MiB in 20,000
# files: median 34 KiB, 228 files above 1 MiB).
make_files() {
    local dir=$WORK/tree-files-$1-$2M
    if [[ ! -e $dir.done ]]; then
        rm -rf "$dir"
        echo "making $1 files of $2 MiB together in $dir" >&2
        python3 -c '
import math, os, random, sys
files, total, root = int(sys.argv[1]), int(sys.argv[2]) << 20, sys.argv[3]
rng = random.Random(1)
spread = [math.exp(rng.gauss(0, 1.5)) for _ in range(files)]
def sizes(median):
    return [min(max(int(median * f), 4 << 10), 8 << 20) for f in spread]
lo, hi = 1.0, float(total)
for _ in range(100):
    median = (lo + hi) / 2
    lo, hi = (lo, median) if sum(sizes(median)) > total else (median, hi)
with open("/dev/urandom", "rb") as random_bytes:
    for i, size in enumerate(sizes(median)):
        folder = os.path.join(root, "%02d" % (i // 1024), "%02d" % (i // 64 % 16))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "%05d.bin" % i), "wb") as out:
            while size:
                block = random_bytes.read(min(size, 4 << 20))
                out.write(block)
                size -= len(block)
' "$1" "$2" "$dir"
        touch "$dir.done"
    fi
    echo "$dir"
}

DATA=$(make_files "$FILES" "$MEGABYTES")
NESTED=$(bench_tree nested "$ENTRIES")
SCRATCH=$(mktemp -d) # samples, and each run's times and error output
cleanup() {
    rm -rf "$SCRATCH"
    if ((KEEP == 0)); then rm -rf "$WORK"; fi
}
trap cleanup EXIT
sync

# Fills NAMES and CMDS; the first command is the one the others are measured against.
hash_commands() {
    NAMES=("find -type f -print0 | xargs -0 sha256sum" "kwl-list -r --hash sha256 -e json -o FILE"
           "kwl-list -r --hash xxh128 -e json -o FILE" "find -type f -print0 | xargs -0 xxhsum -H2"
           "kwl-list -r -e json -o FILE (no hash)")
    CMDS=("find '$DATA' -type f -print0 | xargs -0 sha256sum > /dev/null"
          "'$KWL' -r --hash sha256 -e json -o '$WORK/out.json' '$DATA'"
          "'$KWL' -r --hash xxh128 -e json -o '$WORK/out.json' '$DATA'"
          "find '$DATA' -type f -print0 | xargs -0 xxhsum -H2 > /dev/null"
          "'$KWL' -r -e json -o '$WORK/out.json' '$DATA'")
}

SNAP=$WORK/snap.json
compare_commands() {
    NAMES=("kwl-list -r -e json -o FILE" "kwl-list --compare snap.json DIR"
           "kwl-list --compare snap.json snap.json (no scan)")
    CMDS=("'$KWL' -r -e json -o '$WORK/out.json' '$NESTED'"
          "'$KWL' --compare '$SNAP' '$NESTED' > /dev/null"
          "'$KWL' --compare '$SNAP' '$SNAP' > /dev/null")
}

# run_once I: runs command I under /usr/bin/time and prints "I wall-s KiB user-s system-s";
# stops the script with the command's error output when it does not exit with 0.
run_once() {
    local status=0
    /usr/bin/time -o "$SCRATCH/time" -f '%e %M %U %S' bash -c "${CMDS[$1]}" \
        >/dev/null 2>"$SCRATCH/errors" || status=$?
    if ((status != 0)); then
        echo "exit status $status: ${CMDS[$1]}" >&2
        cat "$SCRATCH/errors" >&2
        exit 1
    fi
    echo "$1 $(tail -1 "$SCRATCH/time")"
}

# measure ROUNDS FILE: every command once per round, in turn, so that load from other jobs
# falls on all of them alike; FILE gets run_once's lines. One untimed round first warms the
# caches (and shows that every command succeeds).
measure() {
    local i round
    for i in "${!CMDS[@]}"; do run_once "$i" >/dev/null; done
    : >"$2"
    for ((round = 0; round < $1; round++)); do
        for i in "${!CMDS[@]}"; do run_once "$i" >>"$2"; done
    done
}

# table TITLE REFERENCE ENTRIES FILE: the median over the rounds, the fastest and slowest run,
# the median against the first command's (named REFERENCE), the median CPU time (user and
# system, all threads: unlike the wall time, it hardly grows with other jobs' load), the median
# peak memory and, with ENTRIES above 0, that memory per entry.
table() {
    local head="| command | median (s) | min-max (s) | vs $2 | CPU (s) | peak RSS (MiB) |"
    local rule="|---|---:|---:|---:|---:|---:|"
    if (($3)); then
        head+=" peak bytes/entry |"
        rule+="---:|"
    fi
    printf '\n### %s\n\n%s\n%s\n' "$1" "$head" "$rule"
    python3 -c '
import statistics, sys
path, entries, names = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
times = [[] for _ in names]
peaks = [[] for _ in names]
cpu = [[] for _ in names]
for line in open(path):
    i, seconds, kib, user, system = line.split()
    times[int(i)].append(float(seconds))
    peaks[int(i)].append(int(kib))
    cpu[int(i)].append(float(user) + float(system))
reference = statistics.median(times[0])
for i, name in enumerate(names):
    t, kib = statistics.median(times[i]), statistics.median(peaks[i])
    row = "| %s | %.2f | %.2f-%.2f | %.2fx | %.2f | %.0f |" % (
        name.replace("|", "\\|"), t, min(times[i]), max(times[i]), t / reference,
        statistics.median(cpu[i]), kib / 1024)
    print(row + (" %.0f |" % (kib * 1024 / entries) if entries else ""))
' "$4" "$3" "${NAMES[@]}"
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

# Sizes of the files to hash as "count, total MiB, smallest-median-largest KiB".
file_sizes() {
    find "$DATA" -type f -printf '%s\n' | sort -n | awk '
        { size[NR] = $1; total += $1 }
        END { printf "%d files in %d MiB, sizes %.0f-%.0f-%.0f KiB (smallest-median-largest)",
              NR, total / 1048576, size[1] / 1024, size[int((NR + 1) / 2)] / 1024,
              size[NR] / 1024 }'
}

echo "Trees: $DATA ($(file_sizes), $(find "$DATA" -mindepth 1 -type d | wc -l) directories)," \
     "$NESTED ($ENTRIES entries); $(df -T "$WORK" | awk 'NR==2{print $2}'); $(nproc) cores;" \
     "$(uname -r)."
echo "Load average (1, 5, 15 min) at the start: $(load)."

SAMPLES=$SCRATCH/samples
hash_commands
measure "$RUNS" "$SAMPLES"
table "Content hashes: $FILES files, $MEGABYTES MiB, warm cache ($RUNS rounds)" sha256sum 0 \
    "$SAMPLES"
echo
echo "Load average after: $(load)."

"$KWL" -r -e json -o "$SNAP" "$NESTED"
compare_commands
measure "$RUNS" "$SAMPLES"
table "Compare with a snapshot: nested tree, $ENTRIES entries, warm cache ($RUNS rounds)" \
    "-e json" "$ENTRIES" "$SAMPLES"
echo
echo "Load average at the end: $(load)."
