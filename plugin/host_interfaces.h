// plugin/host_interfaces.h: what the host and the plug-in fix between them: interface
// identities and slot orders, the request and format records, and the host's failure codes.
// The host calls by slot number: never reorder, insert or overload a slot.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "plugin/host_codes.h"

// One variable the host asks for; the host passes them in arrays and owns every field.
struct ValueRequest {
    BSTR name;                // 0
    BSTR group;               // 8: only "Image" is answered
    VARIANT value;            // 16: written by the plug-in
    std::int32_t found;       // 40: nonzero once answered
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
inline constexpr IID IID_IImageFormat      = {0xE451172D, 0xF168, 0x4767, {0xBA, 0x4E, 0x79, 0x30, 0x74, 0x44, 0x93, 0xE3}};
inline constexpr IID IID_IImageFile        = {0xB45338F9, 0x9FAE, 0x4F34, {0x92, 0x0B, 0x0C, 0x89, 0x17, 0x7E, 0xB8, 0x7B}};
// clang-format on

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
