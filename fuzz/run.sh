#!/usr/bin/env bash
# Runs each fuzz target for a set time on its committed seeds plus the corpus it grew before.
#   fuzz/run.sh BUILD_DIR SECONDS TARGET...
# New inputs go to BUILD_DIR/corpus/TARGET, a failing input to BUILD_DIR/artifacts/. Prints one
# line of figures per target; fails when any target found a fault.
set -uo pipefail
build=$1 seconds=$2
shift 2
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"
status=0
for target in "$@"; do
    if [ ! -x "$build/bin/$target" ]; then
        echo "$target: not built with this compiler (see the cmake warning), skipped"
        continue
    fi
    corpus="$build/corpus/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$build/artifacts" "$build/logs"
    "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=30 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/$target-" "$corpus" "$seeds/$target" >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    if [ $rc -eq 0 ]; then
        echo "$target: ${runs:-?} executions in ${time:-$seconds} s, corpus $(ls "$corpus" | wc -l) inputs: ok"
    else
        echo "$target: FAILED after ${runs:-?} executions (log $log):"
        grep -E -A30 'ERROR|property broken|runtime error' "$log" | head -60
        status=1
    fi
done
exit $status
