# Hardened binaries, with the compiler and linker flags Debian builds its packages with. Every
# target of the build gets them, the shipped library and command above all.
#
# Linux: stack protector, stack clash protection, control-flow protection, format checks and,
# where the code is optimised, fortified C library calls; relocations read-only and bound at
# load time. A sanitizer build leaves out fortification, whose checked copies of the C library
# functions would hide calls from the sanitizer's own interceptors.
# Windows (mingw-w64): the stack protector, with a guard of the project's own that needs no
# further DLL; the linker already marks the binaries for ASLR (high entropy) and NX. The GNU
# toolchain here has no control flow guard, and Windows probes the stack itself.
option(PIXELFOLD_HARDENING "Build with the hardening flags" ON)
if(NOT PIXELFOLD_HARDENING)
    return()
endif()

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
if(WIN32)
    # The guard and its failure handler come from the platform layer, linked into every
    # binary, rather than from libssp (see stack_guard.c).
    add_library(pixelfold_stack_guard OBJECT ${PROJECT_SOURCE_DIR}/platform/windows/stack_guard.c)
    link_libraries(pixelfold_stack_guard)
    return()
endif()

add_compile_options(-fstack-clash-protection -fcf-protection)
add_link_options(-Wl,-z,relro,-z,now)
# The linker marks a binary as fit for indirect branch tracking and shadow stacks only when
# every object it links says so. All of ours are compiled for it, but the C library's crti.o
# and crtn.o here carry no such note, so the mark is set explicitly. Their _init and _fini
# only call and return, which a shadow stack allows.
add_link_options(-Wl,-z,ibt,-z,shstk)
string(FIND "${CMAKE_CXX_FLAGS}" "-fsanitize=" sanitizer)
if(sanitizer EQUAL -1)
    add_compile_definitions($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
