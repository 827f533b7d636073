# Installs the built DLL with regsvr32 in the build's Wine prefix, uses it from a separate COM
# client, and removes it again with regsvr32 /u.
#   EMULATOR  what runs Windows programs ("|"-separated); DLL, CLIENT, IMAGE  Windows paths
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(problems "")

function(run name expected_status)
    execute_process(COMMAND ${emulator} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    string(REPLACE "\r" "" out "${out}")
    set(${name} "${out}" PARENT_SCOPE)
    if(NOT status EQUAL expected_status)
        set(problems "${problems}${ARGN}: exit status ${status}, expected ${expected_status}\n${out}${err}\n" PARENT_SCOPE)
    endif()
endfunction()

set(format_key "HKCR\\CLSID\\{A191D39B-7240-4DD8-809C-0164872003CC}")
set(type_library_key "HKCR\\TypeLib\\{B8295866-E400-4753-9903-97115863C4F4}")
set(proxy_key "HKCR\\Interface\\{B45338F9-9FAE-4F34-920B-0C89177EB87B}")

run(unused 0 regsvr32 /s ${DLL})
run(format 0 reg query ${format_key} /s)
string(REPLACE "/" "\\" dll_path "${DLL}")
string(TOLOWER "${format}" format_lower)
string(TOLOWER "${dll_path}" dll_lower)
string(FIND "${format_lower}" "${dll_lower}" at)
if(at EQUAL -1 OR NOT format MATCHES "ThreadingModel +REG_SZ +Both")
    string(APPEND problems "${format_key} after registration:\n${format}\n")
endif()
run(type_library 0 reg query ${type_library_key}\\1.0\\0\\win64)
run(proxy 0 reg query ${proxy_key}\\ProxyStubClsid32)
run(client 0 ${CLIENT} ${IMAGE})
if(NOT client MATCHES "Width=16,Height=[0-9]+\nWidth=16,Height=[0-9]+\nWidth=16,Height=[0-9]+\nImageFile created")
    string(APPEND problems "client output:\n${client}\n")
endif()

run(unused 0 regsvr32 /s /u ${DLL})
foreach(key IN ITEMS ${format_key} ${type_library_key} ${proxy_key} HKCR\\Pixelfold.ImageFormat
        HKCR\\Pixelfold.ImageFile.1)
    run(unused 1 reg query ${key})
endforeach()
run(unused 0 reg query HKCR\\CLSID /ve)

if(problems)
    message(FATAL_ERROR "${problems}")
endif()
