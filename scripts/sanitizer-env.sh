# Sourced by the sanitizer suite and the fuzzers: stop at the first finding,
# with a readable stack, and take the leak suppressions of the repository.
# The caller sets root to the repository folder.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ] && [ -x /usr/bin/llvm-symbolizer-14 ]; then
    export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi
