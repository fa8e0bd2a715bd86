#!/bin/sh
# Start-up figure: the time from starting the window until it is shown and
# connected to the simulated board, against an empty Qt window started the
# same way, as the median of several runs of each. Prints both and the ratio
# (aim: at most 1.5).
#
#   bench/startup.sh [BUILD_DIR] [RUNS]
set -eu
build=${1:-build}
runs=${2:-15}
program="$build/src/app/kestvelqor"
empty="$build/bench/startup_empty_window"
for f in "$program" "$empty"; do
    [ -x "$f" ] || { echo "missing $f: build first" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export KESTVELQOR_SIM_STATE="$scratch/board.ini"
export XDG_RUNTIME_DIR="$scratch"
# The program ends by itself once the board is connected and the window shown.
export KESTVELQOR_EXIT_WHEN_CONNECTED=1

# Median wall time of a command in milliseconds.
median_ms() {
    i=0
    while [ "$i" -lt "$runs" ]; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        echo $(( (end - start) / 1000 ))
        i=$((i + 1))
    done | sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1f", m / 1000 }'
}

"$program" --simulate >/dev/null 2>&1 # warm the caches once
"$empty" >/dev/null 2>&1
window_ms=$(median_ms "$program" --simulate)
empty_ms=$(median_ms "$empty")
echo "start-up ($runs runs, median, $QT_QPA_PLATFORM):"
echo "  kestvelqor --simulate until shown and connected: $window_ms ms"
echo "  empty Qt window until shown:                      $empty_ms ms"
awk -v a="$window_ms" -v b="$empty_ms" 'BEGIN { printf "  ratio: %.2f (aim: at most 1.5)\n", a / b }'
