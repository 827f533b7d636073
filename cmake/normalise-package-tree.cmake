# Run by CPack on the staged files before it packs them, so that a package made twice from the
# same commit is the same file: one time for every file (see source-date-epoch.cmake).
include(${CPACK_PIXELFOLD_SOURCE_DIR}/cmake/source-date-epoch.cmake)
pixelfold_source_date_epoch(epoch "${CPACK_PIXELFOLD_SOURCE_DIR}")
if(epoch STREQUAL "")
    message(STATUS "No SOURCE_DATE_EPOCH and no commit: the package keeps the files' own times")
    return()
endif()
pixelfold_normalise_tree("${CPACK_TEMPORARY_INSTALL_DIRECTORY}" "${epoch}")
