// platform/linux/windows_api.h: stand-ins for the Windows types, codes and C runtime calls
// that the plug-in uses, with the Windows names, sizes and documented behaviour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "pixelfold/com_types.h"

// A UTF-16 literal of the platform's WCHAR type.
#define WTEXT(text) u##text

// What the library exports: visible in its dynamic symbol table, under its C name.
#define PIXELFOLD_EXPORT extern "C" __attribute__((visibility("default")))

using HINSTANCE = void*;
using HMODULE = void*;
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// The free-threaded marshaler's interface. Without apartments there is nothing to marshal
// between: the stand-in answers IMarshal and its methods answer E_NOTIMPL.
struct IMarshal : IUnknown {
    virtual HRESULT GetUnmarshalClass(REFIID iid, void* object, DWORD context, void* reserved,
                                      DWORD flags, CLSID* clsid) = 0;
    virtual HRESULT GetMarshalSizeMax(REFIID iid, void* object, DWORD context, void* reserved,
                                      DWORD flags, DWORD* size) = 0;
    virtual HRESULT MarshalInterface(void* stream, REFIID iid, void* object, DWORD context,
                                     void* reserved, DWORD flags) = 0;
    virtual HRESULT UnmarshalInterface(void* stream, REFIID iid, void** out) = 0;
    virtual HRESULT ReleaseMarshalData(void* stream) = 0;
    virtual HRESULT DisconnectObject(DWORD reserved) = 0;

  protected:
    ~IMarshal() = default;
};

// clang-format off
inline constexpr IID IID_IMarshal      = {0x00000003, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// clang-format on

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

// clang-format off
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
constexpr HRESULT DISP_E_EXCEPTION    = static_cast<HRESULT>(0x80020009u);
constexpr HRESULT DISP_E_BADVARTYPE   = static_cast<HRESULT>(0x80020008u);
constexpr HRESULT DISP_E_OVERFLOW     = static_cast<HRESULT>(0x8002000Au);

constexpr DWORD ERROR_SUCCESS             = 0;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY   = 8;
constexpr DWORD ERROR_INVALID_PARAMETER   = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;

constexpr UINT CP_ACP        = 0;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8       = 65001;
// clang-format on

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
// 0 when the path exists (`mode` 0, the only mode supported: others set EINVAL), otherwise -1.
int _waccess(const WCHAR* path, int mode);
// The length in bytes of the file behind a descriptor, or -1.
std::int64_t _filelengthi64(int fd);
int _fileno(std::FILE* stream);
int _fseeki64(std::FILE* stream, std::int64_t offset, int origin);
std::int64_t _ftelli64(std::FILE* stream);

// The calling thread's last error code.
DWORD GetLastError();
void SetLastError(DWORD error);

// Code pages. Without the Windows notion of an ANSI code page, CP_ACP and CP_THREAD_ACP decode
// bytes as UTF-8 when they are valid UTF-8 and as Windows-1252 otherwise; CP_UTF8 is UTF-8
// with invalid sequences replaced by U+FFFD. Flags other than 0, and a length of -1 or 0, are
// refused.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR out,
                        int outLength);

// BSTR: UTF-16 text preceded by its 32-bit byte length and followed by a zero code unit. The
// library exports those a host needs to make and free what crosses the interfaces.
PIXELFOLD_EXPORT BSTR SysAllocString(const OLECHAR* text);
PIXELFOLD_EXPORT BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length);
PIXELFOLD_EXPORT void SysFreeString(BSTR text);
PIXELFOLD_EXPORT UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// COM task memory: the allocator for memory handed to a caller who frees it.
PIXELFOLD_EXPORT void* CoTaskMemAlloc(std::size_t bytes);
PIXELFOLD_EXPORT void CoTaskMemFree(void* block);

// A free-threaded marshaler aggregated on `outer` (required): `*marshaler` receives its
// controlling (non-delegating) unknown, which answers IUnknown and IMarshal.
HRESULT CoCreateFreeThreadedMarshaler(IUnknown* outer, IUnknown** marshaler);

// VARIANT. The stand-in owns BSTRs and interface pointers; arrays and records are not
// supported (VariantClear and VariantCopy answer DISP_E_BADVARTYPE for them).
PIXELFOLD_EXPORT void VariantInit(VARIANT* variant);
PIXELFOLD_EXPORT HRESULT VariantClear(VARIANT* variant);
HRESULT VariantCopy(VARIANT* destination, const VARIANT* source);
// Converts to VT_DATE only (other targets: DISP_E_TYPEMISMATCH): from numbers, Booleans,
// dates, VT_EMPTY and date text in the forms of the invariant locale.
HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, USHORT flags, VARTYPE type);

// Text to an unsigned 32-bit number: decimal digits or "&H" and hexadecimal digits, with
// blanks around them. DISP_E_OVERFLOW for a number beyond 32 bits or below 0,
// DISP_E_TYPEMISMATCH for anything else. The locale and flags are not used.
HRESULT VarUI4FromStr(const OLECHAR* text, LCID locale, ULONG flags, ULONG* out);

// OLE Automation dates: days since 30 December 1899, the fraction being the time of day.
// Both answer TRUE on success and FALSE for fields or dates outside 1 January 100 to
// 31 December 9999; fields beyond their range carry into the next larger field, and years
// below 50 are taken as 2000 onwards, 50 to 99 as 1950 to 1999.
INT SystemTimeToVariantTime(SYSTEMTIME* time, DOUBLE* date);
INT VariantTimeToSystemTime(DOUBLE date, SYSTEMTIME* time);

// The next character of UTF-16 text: past one code point (a surrogate pair is one) and the
// combining marks that follow it; stays on the terminator.
LPWSTR CharNextW(LPCWSTR text);

// Modules and their resources. A module handle is the address at which a binary is loaded
// (null: the program). Resources are those compiled into the binary that makes the call (see
// linked_resources.h): a module "loaded as a data file" is that binary's own file, and any
// other file is refused with ERROR_BAD_EXE_FORMAT. Named resource types and names compare
// without regard to the case of A to Z, as on Windows.
using HANDLE = void*;
using HRSRC = const void*;
using HGLOBAL = const void*;
// clang-format off
constexpr DWORD LOAD_LIBRARY_AS_DATAFILE           = 0x02;
constexpr DWORD LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE = 0x40;
constexpr DWORD LOAD_LIBRARY_AS_IMAGE_RESOURCE     = 0x20;
constexpr DWORD ERROR_BAD_EXE_FORMAT            = 193;
constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND   = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND   = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND   = 1814;
// clang-format on
#define MAKEINTRESOURCEW(id) \
    (reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id))))
#define IS_INTRESOURCE(name) ((reinterpret_cast<std::uintptr_t>(name) >> 16) == 0)

// The module's file name and its length; a name that does not fit is cut to `size` - 1
// characters and a terminator, and `size` is returned with ERROR_INSUFFICIENT_BUFFER. 0 on
// failure.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size);
// Only data-file loads (LOAD_LIBRARY_AS_DATAFILE and its exclusive and image-resource
// variants); others are refused with ERROR_INVALID_PARAMETER.
HMODULE LoadLibraryExW(LPCWSTR path, HANDLE file, DWORD flags);
BOOL FreeLibrary(HMODULE module);
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL data);

// Type libraries. The stand-in knows a library's attributes only: a type library file (or a
// binary's "TYPELIB" resource 1) is text lines "name=", "uuid={...}", "version=1.0", "lcid=",
// "flags=", "helpstring=". Registration writes TypeLib\{uuid}\major.minor with its description,
// "0\win64", "FLAGS" and "HELPDIR" under HKEY_CLASSES_ROOT, as Windows does for a library
// without automation interfaces.
using REFGUID = const GUID&;
enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32 = 1, SYS_MAC = 2, SYS_WIN64 = 3 };
struct TLIBATTR {
    GUID guid;
    LCID lcid;
    SYSKIND syskind;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
    WORD wLibFlags;
};
constexpr HRESULT TYPE_E_REGISTRYACCESS = static_cast<HRESULT>(0x8002801Cu);
constexpr HRESULT TYPE_E_CANTLOADLIBRARY = static_cast<HRESULT>(0x80029C4Au);

// The methods of the type library interface in their order; those about type descriptions
// answer E_NOTIMPL.
struct ITypeLib : IUnknown {
    virtual UINT GetTypeInfoCount() = 0;
    virtual HRESULT GetTypeInfo(UINT index, void** info) = 0;
    virtual HRESULT GetTypeInfoType(UINT index, void* kind) = 0;
    virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, void** info) = 0;
    virtual HRESULT GetLibAttr(TLIBATTR** attributes) = 0;
    virtual HRESULT GetTypeComp(void** comp) = 0;
    // index -1: the library's own name, description, help context and help file (none).
    virtual HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                                     BSTR* helpFile) = 0;
    virtual HRESULT IsName(LPWSTR name, ULONG hash, BOOL* found) = 0;
    virtual HRESULT FindName(LPWSTR name, ULONG hash, void** infos, LONG* ids, USHORT* count) = 0;
    virtual void ReleaseTLibAttr(TLIBATTR* attributes) = 0;

  protected:
    ~ITypeLib() = default;
};

HRESULT LoadTypeLib(const OLECHAR* file, ITypeLib** library);
// `library` must come from LoadTypeLib (the only maker of type libraries here).
HRESULT RegisterTypeLib(ITypeLib* library, OLECHAR* fullPath, OLECHAR* helpDirectory);
HRESULT UnRegisterTypeLib(REFGUID guid, WORD major, WORD minor, LCID lcid, SYSKIND kind);

// Thread attach and detach notifications: there are none to switch off.
inline BOOL DisableThreadLibraryCalls(HMODULE) {
    return TRUE;
}

// The registry: an in-process tree with the Windows rules the plug-in relies on. Key and value
// names compare without regard to the case of A to Z; a key with subkeys cannot be deleted by
// RegDeleteKeyW (ERROR_ACCESS_DENIED); a missing key or value is ERROR_FILE_NOT_FOUND; a handle
// to a deleted key answers ERROR_KEY_DELETED; values keep the type they were written with. Key
// paths may hold several names separated by backslashes. Access masks and options are accepted
// and not enforced.
struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
struct SECURITY_ATTRIBUTES;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(std::uintptr_t{0x80000000});
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(std::uintptr_t{0x80000003});
inline HKEY const HKEY_PERFORMANCE_DATA = reinterpret_cast<HKEY>(std::uintptr_t{0x80000004});
inline HKEY const HKEY_CURRENT_CONFIG = reinterpret_cast<HKEY>(std::uintptr_t{0x80000005});
inline HKEY const HKEY_DYN_DATA = reinterpret_cast<HKEY>(std::uintptr_t{0x80000006});

// clang-format off
constexpr DWORD REG_NONE      = 0;
constexpr DWORD REG_SZ        = 1;
constexpr DWORD REG_BINARY    = 3;
constexpr DWORD REG_DWORD     = 4;
constexpr DWORD REG_MULTI_SZ  = 7;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY     = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;
constexpr REGSAM KEY_READ       = 0x20019;
constexpr REGSAM KEY_WRITE      = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_ACCESS_DENIED  = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_MORE_DATA      = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS  = 259;
constexpr DWORD ERROR_KEY_DELETED    = 1018;
// clang-format on

// The library exports the registry calls so that a host in the same process sees what the
// library's registration wrote.
PIXELFOLD_EXPORT LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access,
                                       PHKEY result);
PIXELFOLD_EXPORT LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass,
                                         DWORD options, REGSAM access,
                                         const SECURITY_ATTRIBUTES* security, PHKEY result,
                                         DWORD* disposition);
PIXELFOLD_EXPORT LSTATUS RegCloseKey(HKEY key);
PIXELFOLD_EXPORT LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                                        const BYTE* data, DWORD size);
PIXELFOLD_EXPORT LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type,
                                          BYTE* data, DWORD* size);
PIXELFOLD_EXPORT LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name);
PIXELFOLD_EXPORT LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength,
                                       DWORD* reserved, LPWSTR keyClass, DWORD* classLength,
                                       FILETIME* lastWrite);
PIXELFOLD_EXPORT LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, DWORD* nameLength,
                                       DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
PIXELFOLD_EXPORT LSTATUS RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, DWORD* classLength,
                                          DWORD* reserved, DWORD* subKeys, DWORD* maxSubKeyLength,
                                          DWORD* maxClassLength, DWORD* values,
                                          DWORD* maxValueNameLength, DWORD* maxValueLength,
                                          DWORD* securityDescriptorLength, FILETIME* lastWrite);
PIXELFOLD_EXPORT LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey);
PIXELFOLD_EXPORT LSTATUS RegDeleteKeyExW(HKEY key, LPCWSTR subKey, REGSAM view, DWORD reserved);
