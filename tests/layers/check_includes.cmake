# The rules the libraries alone cannot hold, read from the sources
# (cmake -DSOURCE_DIR=... -P check_includes.cmake):
# - only the device layer and the board service include the board link, the
#   device session and the poller: every front goes through the service;
# - only the simulator itself, the programs' start (app/main.cpp) and the
#   command line's context know the simulator.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
set(failures "")
foreach(source ${sources})
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"")
    foreach(line ${includes})
        if(line MATCHES "\"device/(board_link|device_session|poller)\\.h\""
           AND NOT source MATCHES "^src/(device|board)/")
            string(APPEND failures "${source}: ${line} (fronts go through the board service)\n")
        endif()
        if(line MATCHES "\"sim/"
           AND NOT source MATCHES "^src/(sim/|app/main\\.cpp|cli/cli_context\\.)")
            string(APPEND failures "${source}: ${line} (the simulator is known at the start only)\n")
        endif()
    endforeach()
endforeach()
if(failures)
    message(FATAL_ERROR "${failures}")
endif()
