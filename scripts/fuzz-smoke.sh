#!/bin/sh
# Runs every fuzz target for a short while on its seed corpus (the test
# command's last part); stops at the first finding and shows its report.
#
#   scripts/fuzz-smoke.sh [SECONDS]
set -eu

seconds=${1:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_DIR:-$root/build-sanitize}
case $build in /*) ;; *) build=$root/$build ;; esac

for dir in "$root"/fuzz/corpus/*/; do
    name=$(basename "$dir")
    log=$build/fuzz-work/$name.log
    mkdir -p "$build/fuzz-work"
    if FUZZ_DIR=$build "$root/scripts/run-fuzzer.sh" "$name" "$seconds" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz $name: $runs runs in $seconds s, no finding"
    else
        echo "fuzz $name: FINDING (inputs in $build/fuzz-work/$name/findings/)"
        tail -n 80 "$log"
        exit 1
    fi
done
