# Run by CPack on the Debian package it made: the package is made again by dpkg-deb from its
# own contents, so that it is reproducible (files owned by root, in sorted order, at the time of
# source-date-epoch.cmake) and carries no maintainer scripts. CPack adds scripts that run
# ldconfig for any library under /usr/lib; this one is private to the command, in
# /usr/lib/pixelfold, which the loader's cache never lists.
include(${CPACK_PIXELFOLD_SOURCE_DIR}/cmake/source-date-epoch.cmake)
pixelfold_source_date_epoch(epoch "${CPACK_PIXELFOLD_SOURCE_DIR}")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    set(tree "${package}.contents")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${package}" "${tree}"
        COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
    if(NOT epoch STREQUAL "")
        pixelfold_normalise_tree("${tree}" "${epoch}")
        set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    endif()
    execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${tree}" "${package}"
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${tree}")
endforeach()
