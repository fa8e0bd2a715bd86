# One library per layer, each with an include root that holds only its own
# folder: src/ itself is never on the include path, so a file can include
# only the layers its library links. A forbidden include (a view including
# the window, the core including the simulator, the records including the
# device layer) fails to compile.
#
# kv_layer(TARGET FOLDER [FOLDER...]) gives TARGET the include root
# build/include/TARGET, in which each FOLDER (relative to src/, such as
# "device/records") is a link to the source folder.
function(kv_layer target)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    foreach(folder ${ARGN})
        get_filename_component(parent ${root}/${folder} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        if(NOT EXISTS ${root}/${folder})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
