# Makes the Windows installer from a built DLL and the project's documents.
#   VERSION  product version (X.Y.Z)     DLL     the pixelfold.dll to ship
#   SOURCE   the project's source folder OUTPUT  the .msi to write
#   WORK     a scratch folder, emptied first
#   WIXL, MSIBUILD  the msitools programs
# wixl cannot author a RemoveRegistry row, so the table that deletes an earlier release's entry
# under the host's FileFormats key on installing (name "-": the key with everything under it)
# is added to the package afterwards with msibuild.
foreach(name VERSION DLL SOURCE OUTPUT WORK WIXL MSIBUILD)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "make-msi.cmake: ${name} is not set")
    endif()
endforeach()

include(${SOURCE}/cmake/source-date-epoch.cmake)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# wixl takes the files named in the source from the folder it runs in.
file(COPY ${DLL} ${SOURCE}/README.md ${SOURCE}/LICENSE ${SOURCE}/THIRD-PARTY.md DESTINATION ${WORK})
set(PROJECT_VERSION ${VERSION})

# Codes that a rebuild of the same files gives again. The product code belongs to the version
# (a new version is a new product, which the major upgrade replaces); the package code to the
# exact files, so that two different packages never share one.
set(namespace 6E0F5C1A-3B7D-4F0E-9A51-2D8C7B4E9F63)
string(UUID PIXELFOLD_PRODUCT_CODE NAMESPACE ${namespace} NAME "product ${VERSION}" TYPE SHA1
    UPPER)
set(contents "package ${VERSION}")
foreach(file ${SOURCE}/installer/pixelfold.wxs.in ${SOURCE}/installer/RemoveRegistry.idt ${DLL}
        ${SOURCE}/README.md ${SOURCE}/LICENSE ${SOURCE}/THIRD-PARTY.md)
    file(SHA256 ${file} hash)
    string(APPEND contents " ${hash}")
endforeach()
string(UUID PIXELFOLD_PACKAGE_CODE NAMESPACE ${namespace} NAME "${contents}" TYPE SHA1 UPPER)
configure_file(${SOURCE}/installer/pixelfold.wxs.in ${WORK}/pixelfold.wxs @ONLY)

# The cabinet records each file's time and the summary information the time the package was
# made: both the release's (the source's time), not the checkout's or the build's. wixl and
# msibuild run under faketime for the latter.
pixelfold_source_date_epoch(epoch ${SOURCE})
set(at_source_time "")
if(NOT epoch STREQUAL "")
    pixelfold_normalise_tree(${WORK} ${epoch})
    find_program(FAKETIME faketime REQUIRED)
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
    string(TIMESTAMP source_time "%Y-%m-%d %H:%M:%S" UTC)
    set(at_source_time ${CMAKE_COMMAND} -E env TZ=UTC ${FAKETIME} -f "${source_time}")
endif()

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
set(package ${WORK}/pixelfold.msi)
execute_process(COMMAND ${at_source_time} ${WIXL} --arch x64 --output ${package} pixelfold.wxs
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "wixl failed (${status}):\n${errors}")
endif()
# wixl gives every package a new random package code; this one belongs to the files.
execute_process(COMMAND ${at_source_time} ${MSIBUILD} ${package}
        -i ${SOURCE}/installer/RemoveRegistry.idt
        -s "Pixelfold image-format plug-in ${VERSION}" Pixelfold "x64;1033"
        "{${PIXELFOLD_PACKAGE_CODE}}"
    RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "msibuild failed (${status}):\n${errors}")
endif()
file(RENAME ${package} ${OUTPUT})
