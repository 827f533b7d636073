# Resources of a binary, from one resource script (.rc). On Windows the resource compiler
# builds the script. Elsewhere the lines that name a file ("101 REGISTRY "file"") are compiled
# into the binary's resource table (platform/linux/linked_resources.h); files are looked for
# beside the script and then in SEARCH.

# The files that `script` names: beside it, or else made by the build into the first of
# `search`.
function(pixelfold_resource_files script search out)
    get_filename_component(script_dir ${script} DIRECTORY)
    file(STRINGS ${script} lines REGEX "^[0-9]+[ \t]+[A-Za-z_]+[ \t]+\"[^\"]+\"")
    set(files "")
    foreach(line IN LISTS lines)
        string(REGEX MATCH "\"([^\"]+)\"" unused "${line}")
        if(EXISTS ${script_dir}/${CMAKE_MATCH_1} OR search STREQUAL "")
            list(APPEND files ${script_dir}/${CMAKE_MATCH_1})
        else()
            list(GET search 0 dir)
            list(APPEND files ${dir}/${CMAKE_MATCH_1})
        endif()
    endforeach()
    set(${out} ${files} PARENT_SCOPE)
endfunction()

function(pixelfold_add_resources target script)
    cmake_parse_arguments(R "" "" "SEARCH" ${ARGN})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
    pixelfold_resource_files(${script} "${R_SEARCH}" files)
    if(WIN32)
        target_sources(${target} PRIVATE ${script})
        target_include_directories(${target} PRIVATE ${R_SEARCH})
        # The resource compiler does not list the files that the script names.
        set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS "${files}")
        return()
    endif()
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
    list(JOIN R_SEARCH "|" search)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -DSCRIPT=${script} "-DSEARCH=${search}" -DOUTPUT=${output}
            -P ${PIXELFOLD_CMAKE_DIR}/embed-resources.cmake
        DEPENDS ${script} ${files} ${PIXELFOLD_CMAKE_DIR}/embed-resources.cmake
        COMMENT "Compiling the resources of ${target}")
    target_sources(${target} PRIVATE ${output})
endfunction()
