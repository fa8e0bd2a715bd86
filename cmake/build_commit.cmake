# Writes the header with the build's commit (run at every build, so the stamp
# follows new commits without a new configure). Rewrites the file only when
# the commit changed, so nothing is rebuilt for nothing.
#   -DSOURCE_DIR=... -DOUTPUT=...
execute_process(
    COMMAND git -C "${SOURCE_DIR}" rev-parse --short=12 HEAD
    OUTPUT_VARIABLE commit
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE failed)
if(failed OR commit STREQUAL "")
    set(commit "unknown")
else()
    execute_process(
        COMMAND git -C "${SOURCE_DIR}" status --porcelain --untracked-files=no
        OUTPUT_VARIABLE changes
        OUTPUT_STRIP_TRAILING_WHITESPACE
        ERROR_QUIET)
    if(NOT changes STREQUAL "")
        set(commit "${commit}-modified")
    endif()
endif()
set(content "#pragma once\n// Generated at build time.\n#define KV_BUILD_COMMIT \"${commit}\"\n")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
    file(WRITE "${OUTPUT}" "${content}")
endif()
