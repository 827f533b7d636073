// plugin/image_interfaces.h: the module's own interfaces, IImageFormat and IImageFile. Both
// are IUnknown to callers; the slots after Release are the class's own operations.
#pragma once

#include <cstddef>

#include "platform/platform.h"

// clang-format off
inline constexpr IID IID_IImageFormat = {0xE451172D, 0xF168, 0x4767, {0xBA, 0x4E, 0x79, 0x30, 0x74, 0x44, 0x93, 0xE3}};
inline constexpr IID IID_IImageFile   = {0xB45338F9, 0x9FAE, 0x4F34, {0x92, 0x0B, 0x0C, 0x89, 0x17, 0x7E, 0xB8, 0x7B}};
// clang-format on

struct IImageFormat;
struct IImageFormatVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IImageFormat* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(IImageFormat* self);
    ULONG(STDMETHODCALLTYPE* Release)(IImageFormat* self);
    // The controlling unknown: the object's own, or the outer object's when aggregated. No
    // reference is added.
    IUnknown*(STDMETHODCALLTYPE* GetIdentity)(IImageFormat* self);
    void(STDMETHODCALLTYPE* Destroy)(IImageFormat* self);
};
struct IImageFormat {
    const IImageFormatVtbl* lpVtbl;
};

struct IImageFile;
struct IImageFileVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IImageFile* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(IImageFile* self);
    ULONG(STDMETHODCALLTYPE* Release)(IImageFile* self);
    void(STDMETHODCALLTYPE* Destroy)(IImageFile* self);
};
struct IImageFile {
    const IImageFileVtbl* lpVtbl;
};

static_assert(offsetof(IImageFormatVtbl, GetIdentity) == 3 * sizeof(void*));
static_assert(offsetof(IImageFormatVtbl, Destroy) == 4 * sizeof(void*));
static_assert(offsetof(IImageFileVtbl, Destroy) == 3 * sizeof(void*));
