# The time every file of a release package carries: SOURCE_DATE_EPOCH when it is set, or else
# the time of the last commit of `source_dir`; empty when neither can be had.
function(pixelfold_source_date_epoch out source_dir)
    set(epoch "$ENV{SOURCE_DATE_EPOCH}")
    if(epoch STREQUAL "")
        execute_process(COMMAND git -C "${source_dir}" log -1 --format=%ct
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
    if(NOT epoch MATCHES "^[0-9]+$")
        set(epoch "")
    endif()
    set(${out} "${epoch}" PARENT_SCOPE)
endfunction()

# Gives every file and folder under `tree` the time `epoch` and modes that do not depend on
# the umask of the checkout (u+rw, go+r, x where anyone had it, no group or other write).
function(pixelfold_normalise_tree tree epoch)
    execute_process(COMMAND chmod -R u+rwX,go+rX,go-w "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find "${tree}" -exec touch -h -d "@${epoch}" {} +
        COMMAND_ERROR_IS_FATAL ANY)
endfunction()
