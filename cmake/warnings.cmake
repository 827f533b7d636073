# Warnings are errors for the project's own targets on both systems.
add_library(pixelfold_warnings INTERFACE)
target_compile_options(pixelfold_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Werror)
# clang's -Wconversion also warns of sign changes, which g++'s leaves to -Wsign-conversion:
# both compilers hold the code to the same set.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(pixelfold_warnings INTERFACE -Wno-sign-conversion)
endif()
