#!/usr/bin/env bash
# Builds the fuzz targets and runs each one in turn, single process, for SECONDS each.
#   fuzz/run.sh [SECONDS] [TARGET...]      (default 180 seconds, every target)
# The growing corpus lives in build-fuzz/corpus/<target>; the seeds in fuzz/seeds stay as
# they are. Inputs that break a check are written to build-fuzz/artifacts/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET=${1:-180}
shift || true
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
    TARGETS=(fuzz_format fuzz_names fuzz_snapshot)
fi

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKWL_WERROR=ON >/dev/null
cmake --build build-fuzz -j2

status=0
for target in "${TARGETS[@]}"; do
    corpus=build-fuzz/corpus/$target
    artifacts=build-fuzz/artifacts/$target
    log=build-fuzz/$target.log
    mkdir -p "$corpus" "$artifacts"
    args=(-max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1
          -artifact_prefix="$artifacts/")
    if [ -f "fuzz/dict_${target#fuzz_}.txt" ]; then
        args+=(-dict="fuzz/dict_${target#fuzz_}.txt")
    fi
    echo "== $target for $SECONDS_PER_TARGET s"
    if "build-fuzz/$target" "${args[@]}" "$corpus" "fuzz/seeds/$target" >"$log" 2>&1; then
        result=clean
    else
        result="FAILED (see $log and $artifacts)"
        status=1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
    done_line=$(grep -E '^Done [0-9]+ runs' "$log" || true)
    echo "$target: ${runs:-?} executions, $result"
    [ -n "$done_line" ] && echo "  $done_line"
done
exit $status
