#!/bin/sh
# Runs every benchmark program of a build to its end; the first that fails
# (or dies) ends the run with its status. Further arguments go to each
# program (a short --benchmark_min_time for a quick check).
#
#   bench/run_all.sh BUILD_DIR [BENCHMARK_OPTIONS...]
set -u
dir=$1/bench
shift
found=0
for b in "$dir"/*_bench; do
    [ -x "$b" ] || continue
    found=1
    "$b" "$@"
    status=$?
    if [ "$status" -ne 0 ]; then
        echo "$b ended with status $status" >&2
        exit "$status"
    fi
done
[ "$found" -eq 1 ] || { echo "no benchmark programs in $dir: build first" >&2; exit 1; }
