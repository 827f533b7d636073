# The library's type library, made from resources/pixelfold.idl into ${dir}/pixelfold.tlb:
# by widl on Windows (at the source's time, see reproducible.cmake); elsewhere the library's attributes as text lines ("uuid=...",
# "version=1.0", ...), which the platform's LoadTypeLib stand-in reads. Flags 8: the library
# has a disk image, as widl marks it.
function(pixelfold_type_library dir)
    set(idl ${PROJECT_SOURCE_DIR}/resources/pixelfold.idl)
    set(tlb ${dir}/pixelfold.tlb)
    if(WIN32)
        find_path(PIXELFOLD_STDOLE_DIR stdole2.tlb
            PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
        add_custom_command(OUTPUT ${tlb}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND ${PIXELFOLD_AT_SOURCE_TIME} ${PIXELFOLD_WIDL} --win64 -I${PIXELFOLD_IDL_INCLUDE_DIR}
                -L${PIXELFOLD_STDOLE_DIR} -t -o ${tlb} ${idl}
            DEPENDS ${idl}
            COMMENT "Generating the type library")
        add_custom_target(pixelfold_type_library DEPENDS ${tlb})
        return()
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${idl})
    file(READ ${idl} text)
    string(REGEX MATCH "\\[([^]]*)\\][ \t\r\n]*library[ \t]+([A-Za-z_0-9]+)" unused "${text}")
    set(attributes "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    string(REGEX MATCH "uuid\\(([-0-9A-Fa-f]+)\\)" unused "${attributes}")
    set(uuid "${CMAKE_MATCH_1}")
    string(REGEX MATCH "version\\(([0-9]+\\.[0-9]+)\\)" unused "${attributes}")
    set(version "${CMAKE_MATCH_1}")
    string(REGEX MATCH "helpstring\\(\"([^\"]*)\"\\)" unused "${attributes}")
    set(helpstring "${CMAKE_MATCH_1}")
    if(name STREQUAL "" OR uuid STREQUAL "" OR version STREQUAL "")
        message(FATAL_ERROR "${idl}: no library with uuid and version")
    endif()
    file(CONFIGURE OUTPUT ${tlb} CONTENT
        "name=${name}\nuuid={${uuid}}\nversion=${version}\nlcid=0\nflags=8\nhelpstring=${helpstring}\n")
    add_custom_target(pixelfold_type_library)
endfunction()
