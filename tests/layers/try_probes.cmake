# Builds each layer probe (cmake -DBUILD_DIR=... -DPROBES=target|header|allowed,...):
# a forbidden one must fail for want of its header (as GCC or clang says it),
# an allowed one must build.
string(REPLACE "," ";" probes "${PROBES}")
set(failures "")
foreach(probe ${probes})
    string(REPLACE "|" ";" fields "${probe}")
    list(GET fields 0 target)
    list(GET fields 1 header)
    list(GET fields 2 allowed)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    string(REGEX REPLACE "^<|>$" "" bare "${header}")
    if(allowed STREQUAL "yes")
        if(NOT result EQUAL 0)
            string(APPEND failures "${target}: ${header} should compile:\n${output}\n")
        endif()
    elseif(result EQUAL 0)
        string(APPEND failures "${target}: ${header} compiled, but its layer may not include it\n")
    elseif(NOT output MATCHES "${bare}: No such file or directory" AND
           NOT output MATCHES "'${bare}' file not found")
        string(APPEND failures "${target}: failed, but not for want of ${header}:\n${output}\n")
    else()
        message(STATUS "${target}: ${header} refused")
    endif()
endforeach()
if(failures)
    message(FATAL_ERROR "${failures}")
endif()
