# Warnings are errors for the project's own targets on both systems.
add_library(pixelfold_warnings INTERFACE)
target_compile_options(pixelfold_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Werror)
