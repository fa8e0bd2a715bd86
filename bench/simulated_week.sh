#!/bin/sh
# The long run: the window on the simulated board in time lapse for a
# simulated week (about five minutes), printing the resident memory at start,
# after the first simulated day (warm-up), each day and at the end, and the
# lines the message log holds (it keeps the newest 5000).
#
#   bench/simulated_week.sh [BUILD_DIR] [DAYS]
set -eu
build=${1:-build}
days=${2:-7}
program="$build/bench/simulated_week"
[ -x "$program" ] || { echo "missing $program: build first" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export XDG_RUNTIME_DIR="$scratch"
export HOME="$scratch"
"$program" "$days"
