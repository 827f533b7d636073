// tests/support/wine.h: whether the Windows build runs under Wine, for the few places where
// Wine is known to answer differently from Windows.
#pragma once

#if defined(_WIN32)
#include "platform/platform.h"
#endif

namespace pixelfold::test {

inline bool RunningUnderWine() {
#if defined(_WIN32)
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

}  // namespace pixelfold::test
