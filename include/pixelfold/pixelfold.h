// pixelfold/pixelfold.h: the Pixelfold plug-in as a host sees it: its class IDs, the entry
// points the library exports, the host interfaces its objects implement (slot for slot), the
// records that cross them and the failure codes it returns. Self-contained: C++17 or later,
// with only this folder's parent on the include path.
//
// A host gets the format object from the library's DllGetClassObject (directly, or through COM
// after `regsvr32 pixelfold.dll` on Windows), calls IVltFileFormat::OpenNavigator with a file's
// path and IVltFileNavigator::GetValues with an array of ValueRequest records, and releases
// both. Strings are BSTRs and values VARIANTs: on Windows those of OLE Automation; on Linux the
// library exports SysAllocString, SysAllocStringLen, SysFreeString, SysStringLen, VariantInit,
// VariantClear, CoTaskMemAlloc and CoTaskMemFree for the host to make and free them with.
// property_names.h beside this file lists the metadata names a host may ask for.
#pragma once

#if defined(_WIN32)
#include <windows.h>
// (after windows.h)
#include <objbase.h>
#include <oleauto.h>
#else
#include "pixelfold/com_types.h"
#endif

#include <cstddef>
#include <cstdint>

// The two classes: the format object, which a host creates, and the navigator, which the
// format object creates for each file.
// clang-format off
inline constexpr CLSID CLSID_ImageFormat = {0xA191D39B, 0x7240, 0x4DD8, {0x80, 0x9C, 0x01, 0x64, 0x87, 0x20, 0x03, 0xCC}};
inline constexpr CLSID CLSID_ImageFile   = {0xBBB4672A, 0x1304, 0x43E6, {0xBB, 0xE9, 0xE8, 0xC7, 0x0B, 0xD8, 0x96, 0x97}};
// clang-format on

// The library's exports, as GetProcAddress and dlsym give them.
using DllGetClassObjectFunction = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFunction = HRESULT(STDMETHODCALLTYPE*)();
using DllRegisterServerFunction = HRESULT(STDMETHODCALLTYPE*)();
using DllUnregisterServerFunction = HRESULT(STDMETHODCALLTYPE*)();

// The string, variant and task-memory functions for what crosses the interfaces (names and
// groups as BSTRs, answers as VARIANTs). On Windows they are the system's, from oleaut32.dll
// and ole32.dll. On Linux the plug-in library exports them under these names, and a host takes
// them from the library it loaded (dlsym), so that the strings it makes and frees and those the
// plug-in makes come from one allocator.
using SysAllocStringFunction = BSTR(STDMETHODCALLTYPE*)(const OLECHAR* text);
using SysAllocStringLenFunction = BSTR(STDMETHODCALLTYPE*)(const OLECHAR* text, UINT length);
using SysFreeStringFunction = void(STDMETHODCALLTYPE*)(BSTR text);
using SysStringLenFunction = UINT(STDMETHODCALLTYPE*)(BSTR text);
using VariantInitFunction = void(STDMETHODCALLTYPE*)(VARIANT* variant);
using VariantClearFunction = HRESULT(STDMETHODCALLTYPE*)(VARIANT* variant);
using CoTaskMemAllocFunction = void*(STDMETHODCALLTYPE*)(std::size_t bytes);
using CoTaskMemFreeFunction = void(STDMETHODCALLTYPE*)(void* block);

// The group every request names; no other group is answered.
#define PIXELFOLD_GROUP_IMAGE "Image"

// The host's own failure codes, which OpenNavigator returns.
// clang-format off
inline constexpr HRESULT FILE_E_CANNOT_OPEN = static_cast<HRESULT>(0x8004020Bu);  // exists, cannot be read
inline constexpr HRESULT FILE_E_NOT_FOUND   = static_cast<HRESULT>(0x80040213u);  // the path does not exist
inline constexpr HRESULT FILE_E_BAD_FORMAT  = static_cast<HRESULT>(0x80040229u);  // header does not fit
// clang-format on

// The host calls by slot number: never reorder, insert or overload a slot.
// One variable the host asks for; the host passes them in arrays and owns every field, the
// variant included once the call has returned (VariantClear it before the array goes).
struct ValueRequest {
    BSTR name;                // 0: "Width", "Height", "Color Depth" or a name of property_names.h
    BSTR group;               // 8: "Image"; a request in any other group is never answered
    VARIANT value;            // 16: written by the plug-in when it answers
    std::int32_t found;       // 40: nonzero once answered; set to 0 first
    std::int32_t attributes;  // 44: 0 or 1
};
static_assert(sizeof(void*) != 8 || sizeof(ValueRequest) == 48);
static_assert(sizeof(void*) != 8 || offsetof(ValueRequest, group) == 8);
static_assert(sizeof(void*) != 8 || offsetof(ValueRequest, value) == 16);
static_assert(sizeof(void*) != 8 || offsetof(ValueRequest, found) == 40);
static_assert(sizeof(void*) != 8 || offsetof(ValueRequest, attributes) == 44);

// The record the format object hands to the host: 28 bytes, no padding after the string.
#pragma pack(push, 4)
struct FormatRecord {
    BSTR extensionList;        // 0
    std::uint32_t formatCode;  // 8
    GUID formatGuid;           // 12
};
#pragma pack(pop)
static_assert(sizeof(void*) != 8 || sizeof(FormatRecord) == 28);
static_assert(offsetof(FormatRecord, formatCode) == sizeof(BSTR));
static_assert(offsetof(FormatRecord, formatGuid) == sizeof(BSTR) + 4);

// clang-format off
inline constexpr IID IID_IVltFileFormat    = {0xE582AD85, 0xDE1A, 0x11D3, {0x90, 0xFA, 0x00, 0xC0, 0x4F, 0x56, 0xB3, 0xAF}};
inline constexpr IID IID_IVltFileFormat2   = {0xBD69F871, 0x9BC6, 0x11D5, {0x91, 0x74, 0x00, 0xC0, 0x4F, 0x56, 0xB3, 0xAF}};
inline constexpr IID IID_IVltFileNavigator = {0xE582AD87, 0xDE1A, 0x11D3, {0x90, 0xFA, 0x00, 0xC0, 0x4F, 0x56, 0xB3, 0xAF}};
// clang-format on

// The class object DllGetClassObject gives for IID_IClassFactory, laid out as COM lays it and
// called through its table as the interfaces below are (from C++ on any system; the objects
// behind it are not C++ classes of the host's).
struct PixelfoldClassFactory;
struct PixelfoldClassFactoryVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(PixelfoldClassFactory* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(PixelfoldClassFactory* self);
    ULONG(STDMETHODCALLTYPE* Release)(PixelfoldClassFactory* self);
    HRESULT(STDMETHODCALLTYPE* CreateInstance)
    (PixelfoldClassFactory* self, void* outer, REFIID iid, void** out);
    HRESULT(STDMETHODCALLTYPE* LockServer)(PixelfoldClassFactory* self, BOOL lock);
};
struct PixelfoldClassFactory {
    const PixelfoldClassFactoryVtbl* lpVtbl;
};

// Arguments that no method reads are pointer-sized values (INT_PTR); arguments that a method
// only tests for null are void*.

struct IVltFileNavigator;
struct IVltFileNavigatorVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IVltFileNavigator* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(IVltFileNavigator* self);
    ULONG(STDMETHODCALLTYPE* Release)(IVltFileNavigator* self);
    HRESULT(STDMETHODCALLTYPE* Unsupported3)(IVltFileNavigator* self, INT_PTR, void* a2, void* a3);
    HRESULT(STDMETHODCALLTYPE* Unsupported4)(IVltFileNavigator* self);
    HRESULT(STDMETHODCALLTYPE* Unsupported5)(IVltFileNavigator* self, void* a1);
    HRESULT(STDMETHODCALLTYPE* Unsupported6)
    (IVltFileNavigator* self, void* a1, void* a2, void* a3, void* a4, void* a5);
    HRESULT(STDMETHODCALLTYPE* Unsupported7)
    (IVltFileNavigator* self, INT_PTR, INT_PTR, void* a3, void* a4);
    HRESULT(STDMETHODCALLTYPE* Unsupported8)
    (IVltFileNavigator* self, INT_PTR, INT_PTR, void* a3, void* a4);
    HRESULT(STDMETHODCALLTYPE* MarkRequestsUnanswered)
    (IVltFileNavigator* self, INT_PTR, INT_PTR, INT_PTR, std::int32_t count,
     ValueRequest* requests);
    // Answers count requests in order. The first and third arguments are not read (pass 0).
    // With `stop` nonzero it stops after the first request it answers. S_OK whether or not
    // any request was answered; E_POINTER for a null array; E_OUTOFMEMORY when memory ran out
    // at one request: those before it stand, it and those after it are not answered.
    HRESULT(STDMETHODCALLTYPE* GetValues)
    (IVltFileNavigator* self, INT_PTR, std::int32_t stop, INT_PTR, std::int32_t count,
     ValueRequest* requests);
    HRESULT(STDMETHODCALLTYPE* Unsupported11)(IVltFileNavigator* self, void* a1, void* a2);
    HRESULT(STDMETHODCALLTYPE* Unsupported12)(IVltFileNavigator* self, INT_PTR, INT_PTR, void* a3);
    HRESULT(STDMETHODCALLTYPE* Unsupported13)(IVltFileNavigator* self, INT_PTR, void* a2, void* a3);
    HRESULT(STDMETHODCALLTYPE* Unsupported14)(IVltFileNavigator* self);
    HRESULT(STDMETHODCALLTYPE* NoOp15)(IVltFileNavigator* self);
    HRESULT(STDMETHODCALLTYPE* Unsupported16)(IVltFileNavigator* self, void* a1);
    HRESULT(STDMETHODCALLTYPE* Unsupported17)
    (IVltFileNavigator* self, INT_PTR, INT_PTR, INT_PTR, void* a4, void* a5);
    HRESULT(STDMETHODCALLTYPE* Unsupported18)(IVltFileNavigator* self, void* a1);
    HRESULT(STDMETHODCALLTYPE* NoOp19)(IVltFileNavigator* self);
    HRESULT(STDMETHODCALLTYPE* NoOp20)(IVltFileNavigator* self);
    HRESULT(STDMETHODCALLTYPE* Unsupported21)(IVltFileNavigator* self);
    HRESULT(STDMETHODCALLTYPE* Unsupported22)(IVltFileNavigator* self);
};
struct IVltFileNavigator {
    const IVltFileNavigatorVtbl* lpVtbl;
};

struct IVltFileFormat;
struct IVltFileFormatVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IVltFileFormat* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(IVltFileFormat* self);
    ULONG(STDMETHODCALLTYPE* Release)(IVltFileFormat* self);
    HRESULT(STDMETHODCALLTYPE* GetInfo)
    (IVltFileFormat* self, BSTR* company, BSTR* description, BSTR* extensions);
    HRESULT(STDMETHODCALLTYPE* GetExtensionFlags)
    (IVltFileFormat* self, const OLECHAR* extension, ULONG* flags);
    // Opens the file at `path` (its extension chooses the format) and reads its header. The
    // third argument is not read. S_OK with a navigator that holds one reference, or a
    // FILE_E_ code, E_INVALIDARG (no extension), E_FAIL (the header is cut short),
    // E_OUTOFMEMORY or E_POINTER, with *navigator left as it was.
    HRESULT(STDMETHODCALLTYPE* OpenNavigator)
    (IVltFileFormat* self, const OLECHAR* path, INT_PTR, IVltFileNavigator** navigator);
    HRESULT(STDMETHODCALLTYPE* FormatReserved1)
    (IVltFileFormat* self, INT_PTR, INT_PTR, INT_PTR, INT_PTR, void* a5);
    HRESULT(STDMETHODCALLTYPE* FormatReserved2)(IVltFileFormat* self, INT_PTR, void* a2);
};
struct IVltFileFormat {
    const IVltFileFormatVtbl* lpVtbl;
};

struct IVltFileFormat2;
struct IVltFileFormat2Vtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IVltFileFormat2* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(IVltFileFormat2* self);
    ULONG(STDMETHODCALLTYPE* Release)(IVltFileFormat2* self);
    HRESULT(STDMETHODCALLTYPE* GetFormatRecords)
    (IVltFileFormat2* self, ULONG* count, FormatRecord** records);
};
struct IVltFileFormat2 {
    const IVltFileFormat2Vtbl* lpVtbl;
};

// clang-format off
#define PIXELFOLD_SLOT(vtbl, name) (offsetof(vtbl, name) / sizeof(void*))
static_assert(PIXELFOLD_SLOT(IVltFileNavigatorVtbl, QueryInterface) == 0);
static_assert(PIXELFOLD_SLOT(IVltFileNavigatorVtbl, Unsupported3) == 3);
static_assert(PIXELFOLD_SLOT(IVltFileNavigatorVtbl, MarkRequestsUnanswered) == 9);
static_assert(PIXELFOLD_SLOT(IVltFileNavigatorVtbl, GetValues) == 10);
static_assert(PIXELFOLD_SLOT(IVltFileNavigatorVtbl, NoOp15) == 15);
static_assert(PIXELFOLD_SLOT(IVltFileNavigatorVtbl, NoOp19) == 19);
static_assert(PIXELFOLD_SLOT(IVltFileNavigatorVtbl, Unsupported22) == 22);
static_assert(sizeof(IVltFileNavigatorVtbl) == 23 * sizeof(void*));
static_assert(PIXELFOLD_SLOT(IVltFileFormatVtbl, GetInfo) == 3);
static_assert(PIXELFOLD_SLOT(IVltFileFormatVtbl, OpenNavigator) == 5);
static_assert(sizeof(IVltFileFormatVtbl) == 8 * sizeof(void*));
static_assert(PIXELFOLD_SLOT(IVltFileFormat2Vtbl, GetFormatRecords) == 3);
static_assert(sizeof(IVltFileFormat2Vtbl) == 4 * sizeof(void*));
#undef PIXELFOLD_SLOT
// clang-format on
