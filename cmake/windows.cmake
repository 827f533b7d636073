# Windows target: a self-contained DLL and programs, and tests run under Wine.

# libstdc++, libgcc and winpthread linked statically: the DLL depends only on system DLLs.
add_link_options(-static)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
enable_language(RC)

if(CMAKE_CROSSCOMPILING)
    find_program(PIXELFOLD_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
    find_program(PIXELFOLD_WINE64 NAMES wine64 REQUIRED)
    find_program(PIXELFOLD_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
    find_program(PIXELFOLD_WINESERVER NAMES wineserver REQUIRED)
    set(PIXELFOLD_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
    set(CMAKE_CROSSCOMPILING_EMULATOR
        "${PROJECT_SOURCE_DIR}/cmake/wine-run;${PIXELFOLD_WINE64};${PIXELFOLD_WINEPREFIX}")
endif()
