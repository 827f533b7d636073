# Release binaries ship stripped; their debug information goes into "<file>.debug" beside them,
# which a stripped file names (GNU debug link), so that a crash report can still be read.
option(PIXELFOLD_SPLIT_DEBUG "Strip the library and the command, keeping <file>.debug beside them"
       OFF)

function(pixelfold_split_debug target)
    if(NOT PIXELFOLD_SPLIT_DEBUG)
        return()
    endif()
    set(file $<TARGET_FILE:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${file}.debug ${file}
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        COMMENT "Moving the debug information of ${target} into its .debug file")
endfunction()
