# What a release installs, and its package: on Linux a Debian package (the plug-in, the
# `pixelfold` command and its manual page, the public headers, under /usr); on Windows a zip of
# everything a host author needs (the DLL, the command, the type library, the IDL and the public
# headers). Both carry the README, the documents, the example hosts' sources and the licence
# files. `cpack` in a build folder makes the package.

set(release_documents README.md LICENSE THIRD-PARTY.md)
list(TRANSFORM release_documents PREPEND ${PROJECT_SOURCE_DIR}/)
file(GLOB release_docs ${PROJECT_SOURCE_DIR}/docs/*.md)
set(release_examples ${PROJECT_SOURCE_DIR}/examples/read_image.cpp
    ${PROJECT_SOURCE_DIR}/examples/read_image_raw.cpp)

set(CPACK_PACKAGE_NAME pixelfold)
set(CPACK_PACKAGE_VENDOR Pixelfold)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "image-format plug-in: width, height, colour depth and metadata of images")

if(WIN32)
    install(TARGETS pixelfold pixelfold_host RUNTIME DESTINATION .)
    install(FILES ${generated_resources}/pixelfold.tlb ${PROJECT_SOURCE_DIR}/resources/pixelfold.idl
        ${PROJECT_SOURCE_DIR}/tools/pixelfold/sample.jpg ${release_documents} DESTINATION .)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/pixelfold DESTINATION include)
    install(FILES ${release_docs} DESTINATION docs)
    install(FILES ${release_examples} DESTINATION examples)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME pixelfold-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    find_program(PIXELFOLD_GZIP gzip REQUIRED)
    # The plug-in is private to the command, which finds it relative to its own folder.
    install(TARGETS pixelfold_host RUNTIME DESTINATION bin)
    install(TARGETS pixelfold LIBRARY DESTINATION lib/pixelfold)
    install(FILES ${PROJECT_SOURCE_DIR}/tools/pixelfold/sample.jpg DESTINATION share/pixelfold)
    # Debian's documents: the machine-readable copyright and the compressed changelog, both
    # kept in packaging/.
    set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
    add_custom_command(OUTPUT ${changelog}
        COMMAND ${PIXELFOLD_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog >${changelog}
        DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
        COMMENT "Compressing the changelog")
    add_custom_target(pixelfold_changelog ALL DEPENDS ${changelog})
    install(FILES ${release_documents} ${release_docs} ${PROJECT_SOURCE_DIR}/packaging/copyright
        ${changelog} DESTINATION share/doc/pixelfold)
    install(FILES ${release_examples} DESTINATION share/doc/pixelfold/examples)
    # For hosts built against the installed plug-in, which they load by its path.
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/pixelfold DESTINATION include)

    set(manual ${CMAKE_BINARY_DIR}/pixelfold.1)
    configure_file(${PROJECT_SOURCE_DIR}/tools/pixelfold/pixelfold.1.in ${manual} @ONLY)
    add_custom_command(OUTPUT ${manual}.gz
        COMMAND ${PIXELFOLD_GZIP} -9 -n -f -k ${manual}
        DEPENDS ${manual}
        COMMENT "Compressing the manual page")
    add_custom_target(pixelfold_manual ALL DEPENDS ${manual}.gz)
    install(FILES ${manual}.gz DESTINATION share/man/man1)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pixelfold developers <maintainers@pixelfold.invalid>")
    set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Binaries ship without symbols (release builds keep theirs in the .debug files beside).
    set(CPACK_STRIP_FILES ON)
    set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/rebuild-deb.cmake)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
The plug-in reads Width, Height and Color Depth from the headers of BMP,
PCX, GIF, PNG and JPEG files and 217 TIFF, EXIF and GPS metadata names.
The pixelfold command loads it and prints the values of image files and
folders, as text, JSON Lines or CSV. The public headers let a program of
one's own load the plug-in and read the same values.]=])
endif()
# Every file of a package with the same time, owner-independent modes and order, whatever the
# checkout and build: the time of the last commit, or SOURCE_DATE_EPOCH when it is set.
set(CPACK_PIXELFOLD_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/normalise-package-tree.cmake)
include(CPack)
