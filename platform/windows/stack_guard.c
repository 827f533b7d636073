/* platform/windows/stack_guard.c: the stack protector's guard value and failure handler for
 * the Windows binaries. The GCC support library's own version seeds the guard through
 * CryptAcquireContext from a static constructor, which loads further DLLs while the loader
 * lock is held (inside DllMain, for the plug-in) and through DLLs that are not KnownDLLs. Here
 * the seed comes from kernel32 alone, as the Windows compilers' own cookie does. */
#include <windows.h>

#include <stdint.h>

uintptr_t __stack_chk_guard = (uintptr_t)0x2B992DDFA23249D6ull;

static uint64_t Mixed(uint64_t value) {
    value ^= value >> 30;
    value *= 0xBF58476D1CE4E5B9ull;
    value ^= value >> 27;
    value *= 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

/* Runs before every other constructor; it must not check the guard it is about to change. */
__attribute__((constructor(101), no_stack_protector)) static void SeedStackGuard(void) {
    FILETIME now;
    LARGE_INTEGER counter;
    GetSystemTimeAsFileTime(&now);
    QueryPerformanceCounter(&counter);
    uint64_t seed = ((uint64_t)now.dwHighDateTime << 32 | now.dwLowDateTime) ^
                    (uint64_t)counter.QuadPart ^ GetTickCount64() ^
                    ((uint64_t)GetCurrentProcessId() << 32 | GetCurrentThreadId()) ^
                    (uint64_t)(uintptr_t)&now;
    __stack_chk_guard = (uintptr_t)Mixed(seed ^ __stack_chk_guard);
}

/* A frame's guard was overwritten: nothing of the process can be trusted to run on, not even
 * its exception handlers. */
__attribute__((noreturn)) void __stack_chk_fail(void) {
    TerminateProcess(GetCurrentProcess(), (UINT)STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}
