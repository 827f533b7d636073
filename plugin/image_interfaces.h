// plugin/image_interfaces.h: the module's own interfaces, IImageFormat and IImageFile. Both
// are IUnknown to callers; the slots after Release are the class's own operations.
#pragma once

#include <cstddef>

#include "platform/platform.h"

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
