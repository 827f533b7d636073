// platform/platform.h: the Windows API subset that the plug-in uses. On Windows this is the
// real SDK; elsewhere platform/linux/ declares and implements the same names and behaviour.
#pragma once

#if defined(_WIN32)
#include "platform/windows/windows_api.h"
#else
#include "platform/linux/windows_api.h"
#endif

#include <cstdint>

static_assert(sizeof(HRESULT) == 4);
static_assert(sizeof(WCHAR) == 2);
static_assert(sizeof(ULONG) == 4);
static_assert(sizeof(GUID) == 16);
static_assert(sizeof(void*) != 8 || sizeof(VARIANT) == 24, "the 64-bit VARIANT is 24 bytes");
static_assert(sizeof(void*) != 8 || offsetof(VARIANT, lVal) == 8);

namespace pixelfold {

// A Windows error code as an HRESULT (HRESULT_FROM_WIN32): 0 stays S_OK.
constexpr HRESULT HResultFromWin32(DWORD error) noexcept {
    return error == 0 ? S_OK : static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}

// The calling thread's last error as an HRESULT, for a call that reported failure: never a
// success, E_FAIL when the call left no error code.
inline HRESULT HResultFromLastError() noexcept {
    const DWORD error = GetLastError();
    return error == 0 ? E_FAIL : HResultFromWin32(error);
}

}  // namespace pixelfold
