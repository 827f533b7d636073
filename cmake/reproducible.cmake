# Reproducible binaries: the same sources give the same bytes whatever folder they are built in
# and whenever. Source and build paths are written relative to the source folder (in debug
# information, __FILE__ and assertions), and Windows binaries carry no link time. Included
# before any target is made, so that every target has these options.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
endif()

# widl writes the time it ran into the type library: it runs at the time of the source instead
# (SOURCE_DATE_EPOCH, or the last commit), under faketime.
include(${CMAKE_CURRENT_LIST_DIR}/source-date-epoch.cmake)
set(PIXELFOLD_AT_SOURCE_TIME "")
if(WIN32)
    find_program(PIXELFOLD_FAKETIME faketime REQUIRED)
    pixelfold_source_date_epoch(epoch ${PROJECT_SOURCE_DIR})
    if(NOT epoch STREQUAL "")
        set(saved "$ENV{SOURCE_DATE_EPOCH}")
        set(ENV{SOURCE_DATE_EPOCH} ${epoch})
        string(TIMESTAMP source_time "%Y-%m-%d %H:%M:%S" UTC)
        set(ENV{SOURCE_DATE_EPOCH} "${saved}")
        set(PIXELFOLD_AT_SOURCE_TIME ${CMAKE_COMMAND} -E env TZ=UTC ${PIXELFOLD_FAKETIME} -f
            "${source_time}")
    endif()
endif()
