# Runs the reference host once and checks its exit status and output.
#   HOST       the built program; EMULATOR what runs it (Wine for the Windows build), or empty
#   ARGS       its arguments, separated by "|"
#   WORKDIR    where it runs
#   STATUS     the exit status expected
#   STDOUT     regular expressions that standard output must match, separated by "|"
#   NOT_STDOUT a regular expression it must not match (optional)
#   STDERR     a regular expression that standard error must match (optional)
string(REPLACE "|" ";" args "${ARGS}")
set(command ${HOST} ${args})
if(EMULATOR)
    string(REPLACE "|" ";" emulator "${EMULATOR}")
    set(command ${emulator} ${command})
endif()
execute_process(COMMAND ${command} WORKING_DIRECTORY ${WORKDIR} TIMEOUT 120
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(problems "")
if(NOT status EQUAL STATUS)
    string(APPEND problems "exit status ${status}, expected ${STATUS}\n")
endif()
string(REPLACE "|" ";" patterns "${STDOUT}")
foreach(pattern IN LISTS patterns)
    if(NOT out MATCHES "${pattern}")
        string(APPEND problems "standard output lacks: ${pattern}\n")
    endif()
endforeach()
if(NOT_STDOUT AND out MATCHES "${NOT_STDOUT}")
    string(APPEND problems "standard output has: ${NOT_STDOUT}\n")
endif()
if(STDERR AND NOT err MATCHES "${STDERR}")
    string(APPEND problems "standard error lacks: ${STDERR}\n")
endif()
if(problems)
    message(FATAL_ERROR "${problems}--- stdout:\n${out}--- stderr:\n${err}")
endif()
