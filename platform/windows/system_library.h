// platform/windows/system_library.h: functions of the system's own DLLs, taken from System32
// at run time rather than imported. A DLL a program imports is looked for in the program's
// folder first unless it is a KnownDLL, and so is each DLL that one imports in turn; a DLL
// loaded from System32 with its dependencies cannot be replaced by one planted there.
#pragma once

#include "platform/platform.h"

namespace pixelfold {

// `name` from `library` in System32, or null. The library stays loaded for the rest of the
// process: what is found in it may be called at any time after.
template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) noexcept {
    const HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr) return nullptr;
    // GetProcAddress gives a generic function pointer; the real type is the declared one.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace pixelfold
