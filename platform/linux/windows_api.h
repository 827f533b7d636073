// platform/linux/windows_api.h: stand-ins for the Windows types, codes and C runtime calls
// that the plug-in uses, with the Windows names, sizes and documented behaviour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// A UTF-16 literal of the platform's WCHAR type.
#define WTEXT(text) u##text

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONG = std::int32_t;  // 'long' is 64 bits on LP64 Linux; the Windows LONG is not.
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using FLOAT = float;
using DOUBLE = double;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using HRESULT = std::int32_t;
using WCHAR = char16_t;  // wchar_t is 32 bits on Linux; COM text is UTF-16.
using OLECHAR = WCHAR;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using BSTR = OLECHAR*;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using DATE = double;

#define STDMETHODCALLTYPE

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b) noexcept {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) return false;
    }
    return true;
}

// The 64-bit Windows layout: the type tag and three reserved words, then 16 bytes of value.
struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        DATE date;
        BSTR bstrVal;
        void* byref;
        struct {
            void* pvRecord;
            void* pRecInfo;
        } brecVal;
    };
};

// clang-format off
constexpr HRESULT S_OK          = 0;
constexpr HRESULT S_FALSE       = 1;
constexpr HRESULT E_NOTIMPL     = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER     = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL        = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED  = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG  = static_cast<HRESULT>(0x80070057u);
// clang-format on

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

// C run time streams on wide-character paths.

// Share flags of _wfsopen. Without the Windows notion of share modes, "deny write" takes a
// shared advisory lock (refused while another holder has an exclusive one) and "deny read
// and write" takes an exclusive advisory lock.
constexpr int _SH_DENYRW = 0x10;
constexpr int _SH_DENYWR = 0x20;
constexpr int _SH_DENYRD = 0x30;
constexpr int _SH_DENYNO = 0x40;

// Opens `filename` with a C mode ("rb", "r+b", "wb", ...) and a share flag. Fails (null,
// errno set) for a folder, for a path that is not valid UTF-16, and when the lock is refused.
std::FILE* _wfsopen(const WCHAR* filename, const WCHAR* mode, int shareFlag);
// 0 when the path allows `mode` (0: exists, 2: write, 4: read, 6: both), otherwise -1.
int _waccess(const WCHAR* path, int mode);
// The length in bytes of the file behind a descriptor, or -1.
std::int64_t _filelengthi64(int fd);
int _fileno(std::FILE* stream);
int _fseeki64(std::FILE* stream, std::int64_t offset, int origin);
std::int64_t _ftelli64(std::FILE* stream);
