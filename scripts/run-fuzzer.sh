#!/bin/sh
# Runs one fuzz target of the fuzz build (make fuzz-build) on its seed corpus.
#
#   scripts/run-fuzzer.sh NAME [SECONDS] [libFuzzer options...]
#
# NAME is a folder of fuzz/corpus (firmware_file, settings_file, board_reports,
# window_refresh, message_format, typed_text, cli_arguments, web_api, mqtt_command). New
# inputs the fuzzer finds go to a scratch corpus in the build folder, so the
# repository's seeds stay as they are; an input that breaks a rule is written
# to build-sanitize/fuzz-work/NAME/findings/ (copy it to fuzz/regressions/NAME/
# once the fault is mended).

set -eu

[ $# -ge 1 ] || { echo "usage: $0 NAME [SECONDS] [libFuzzer options...]" >&2; exit 2; }
name=$1
seconds=${2:-30}
shift
[ $# -gt 0 ] && shift

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_DIR:-$root/build-sanitize}
case $build in /*) ;; *) build=$root/$build ;; esac
program=$build/fuzz/fuzz_$name
[ -x "$program" ] || { echo "$program is missing: run make fuzz-build first" >&2; exit 2; }

work=$build/fuzz-work/$name
mkdir -p "$work/corpus" "$work/findings"

set -- -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/findings/" "$@"
[ -f "$root/fuzz/dict/$name.dict" ] && set -- -dict="$root/fuzz/dict/$name.dict" "$@"
# The command-line tool prints a line for nearly every input: keep the
# fuzzer's own output readable (its reports still come through).
if [ "$name" = cli_arguments ]; then
    set -- -close_fd_mask=3 "$@"
else
    set -- -close_fd_mask=1 "$@"
fi

# The targets write their files to the temporary folder: keep it in memory.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
. "$root/scripts/sanitizer-env.sh"
# A fuzzer runs for hours in one process. Qt is built without frame pointers,
# so the fast unwinder records allocation stacks with stray frames taken from
# recently used addresses; with the full quarantine and fake stacks those never
# repeat and the stack store grows by megabytes a minute until the run is
# killed for its memory. A smaller quarantine (still many inputs' worth of
# freed memory) keeps it bounded. For a full stack of a finding, reproduce it
# with ASAN_OPTIONS=fast_unwind_on_malloc=0.
export ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=16:detect_stack_use_after_return=0"
cd "$work"
exec "$program" "$@" "$work/corpus" "$root/fuzz/corpus/$name"
