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

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
# wixl takes the files named in the source from the folder it runs in.
file(COPY ${DLL} ${SOURCE}/README.md ${SOURCE}/LICENSE ${SOURCE}/THIRD-PARTY.md DESTINATION ${WORK})
set(PROJECT_VERSION ${VERSION})
configure_file(${SOURCE}/installer/pixelfold.wxs.in ${WORK}/pixelfold.wxs @ONLY)

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
set(package ${WORK}/pixelfold.msi)
execute_process(COMMAND ${WIXL} --arch x64 --output ${package} pixelfold.wxs
    WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "wixl failed (${status}):\n${errors}")
endif()
execute_process(COMMAND ${MSIBUILD} ${package} -i ${SOURCE}/installer/RemoveRegistry.idt
    RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "msibuild failed (${status}):\n${errors}")
endif()
file(RENAME ${package} ${OUTPUT})
