// plugin/image_file.cpp: the navigator's tables, identity and lifetime.
#include "plugin/image_file.h"
#include "platform/com_calls.h"

#include <type_traits>

#include "com/aggregated_object.h"
#include "plugin/unsupported_method.h"

namespace pixelfold {

// The table entries: each recovers the object from its interface pointer and calls it.
struct ImageFileThunks {
    using Nav = IVltFileNavigator;

    // IImageFile
    static HRESULT STDMETHODCALLTYPE QueryInterface(IImageFile* self, REFIID iid, void** out) {
        CImageFile* object = CImageFile::FromImageFile(self);
        if (object->outer_ != nullptr) return QueryInterfaceOf(object->outer_, iid, out);
        return object->InternalQueryInterface(iid, out);
    }
    static ULONG STDMETHODCALLTYPE AddRef(IImageFile* self) {
        return CImageFile::FromImageFile(self)->AddRef();
    }
    static ULONG STDMETHODCALLTYPE Release(IImageFile* self) {
        return CImageFile::FromImageFile(self)->Release();
    }
    static void STDMETHODCALLTYPE Destroy(IImageFile* self) {
        delete CImageFile::FromImageFile(self);
    }

    // IVltFileNavigator: IUnknown acts on the whole object.
    static HRESULT STDMETHODCALLTYPE NavQueryInterface(Nav* self, REFIID iid, void** out) {
        return QueryInterface(CImageFile::FromNavigator(self)->imageFile(), iid, out);
    }
    static ULONG STDMETHODCALLTYPE NavAddRef(Nav* self) {
        return CImageFile::FromNavigator(self)->AddRef();
    }
    static ULONG STDMETHODCALLTYPE NavRelease(Nav* self) {
        return CImageFile::FromNavigator(self)->Release();
    }
    static HRESULT STDMETHODCALLTYPE MarkRequestsUnanswered(Nav* self, INT_PTR, INT_PTR, INT_PTR,
                                                            std::int32_t count,
                                                            ValueRequest* requests) {
        return CImageFile::FromNavigator(self)->MarkRequestsUnanswered(count, requests);
    }
    static HRESULT STDMETHODCALLTYPE GetValues(Nav* self, INT_PTR, std::int32_t stop, INT_PTR,
                                               std::int32_t count, ValueRequest* requests) {
        return CImageFile::FromNavigator(self)->GetValues(stop, count, requests);
    }

    // The methods the plug-in does not support: only their null tests.
    static HRESULT STDMETHODCALLTYPE Unsupported3(Nav*, INT_PTR, void* a2, void* a3) {
        return NotImplementedUnlessNull({a2, a3});
    }
    static HRESULT STDMETHODCALLTYPE NotImplemented(Nav*) { return E_NOTIMPL; }
    static HRESULT STDMETHODCALLTYPE Unsupported5(Nav*, void* a1) {
        return NotImplementedUnlessNull({a1});
    }
    static HRESULT STDMETHODCALLTYPE Unsupported6(Nav*, void* a1, void* a2, void* a3, void* a4,
                                                  void* a5) {
        return NotImplementedUnlessNull({a1, a2, a3, a4, a5});
    }
    static HRESULT STDMETHODCALLTYPE Unsupported7(Nav*, INT_PTR, INT_PTR, void* a3, void* a4) {
        return NotImplementedUnlessNull({a3, a4});
    }
    static HRESULT STDMETHODCALLTYPE Unsupported11(Nav*, void* a1, void* a2) {
        return NotImplementedUnlessNull({a1, a2});
    }
    static HRESULT STDMETHODCALLTYPE Unsupported12(Nav*, INT_PTR, INT_PTR, void* a3) {
        return NotImplementedUnlessNull({a3});
    }
    static HRESULT STDMETHODCALLTYPE Unsupported13(Nav*, INT_PTR, void* a2, void* a3) {
        return NotImplementedUnlessNull({a2, a3});
    }
    static HRESULT STDMETHODCALLTYPE Unsupported17(Nav*, INT_PTR, INT_PTR, INT_PTR, void* a4,
                                                   void* a5) {
        return NotImplementedUnlessNull({a4, a5});
    }
    static HRESULT STDMETHODCALLTYPE NoOp(Nav*) { return S_OK; }
};

using T = ImageFileThunks;

constexpr IImageFileVtbl CImageFile::kImageFileVtbl = {
    .QueryInterface = &T::QueryInterface,
    .AddRef = &T::AddRef,
    .Release = &T::Release,
    .Destroy = &T::Destroy,
};

constexpr IVltFileNavigatorVtbl CImageFile::kNavigatorVtbl = {
    .QueryInterface = &T::NavQueryInterface,
    .AddRef = &T::NavAddRef,
    .Release = &T::NavRelease,
    .Unsupported3 = &T::Unsupported3,
    .Unsupported4 = &T::NotImplemented,
    .Unsupported5 = &T::Unsupported5,
    .Unsupported6 = &T::Unsupported6,
    .Unsupported7 = &T::Unsupported7,
    .Unsupported8 = &T::Unsupported7,  // the same arguments tested
    .MarkRequestsUnanswered = &T::MarkRequestsUnanswered,
    .GetValues = &T::GetValues,
    .Unsupported11 = &T::Unsupported11,
    .Unsupported12 = &T::Unsupported12,
    .Unsupported13 = &T::Unsupported13,
    .Unsupported14 = &T::NotImplemented,
    .NoOp15 = &T::NoOp,
    .Unsupported16 = &T::Unsupported5,  // the first argument tested
    .Unsupported17 = &T::Unsupported17,
    .Unsupported18 = &T::Unsupported5,  // the first argument tested
    .NoOp19 = &T::NoOp,
    .NoOp20 = &T::NoOp,
    .Unsupported21 = &T::NotImplemented,
    .Unsupported22 = &T::NotImplemented,
};

constexpr InterfaceMapEntry CImageFile::kInterfaces[] = {
    OffsetEntry(IID_IImageFile, offsetof(CImageFileInterfaces, imageFile_)),
    OffsetEntry(IID_IVltFileNavigator, offsetof(CImageFileInterfaces, navigator_)),
    EndEntry(),
};
static_assert(IsWellFormedInterfaceMap(CImageFile::kInterfaces));
static_assert(std::is_standard_layout_v<CImageFileInterfaces>,
              "offsetof and the From functions need it");

CImageFile::CImageFile(IUnknown* outer) noexcept
    : CImageFileInterfaces{{&kImageFileVtbl}, {&kNavigatorVtbl}, 0, outer} {}

CImageFile::~CImageFile() {
    refCount_ = kDestroyedRefCount;
}

CImageFile* CImageFile::FromImageFile(IImageFile* iface) noexcept {
    return static_cast<CImageFile*>(reinterpret_cast<CImageFileInterfaces*>(
        reinterpret_cast<char*>(iface) - offsetof(CImageFileInterfaces, imageFile_)));
}

CImageFile* CImageFile::FromNavigator(IVltFileNavigator* iface) noexcept {
    return static_cast<CImageFile*>(reinterpret_cast<CImageFileInterfaces*>(
        reinterpret_cast<char*>(iface) - offsetof(CImageFileInterfaces, navigator_)));
}

HRESULT CImageFile::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
    return pixelfold::CreateInstance<CImageFile>(outer, iid, out);
}

HRESULT CImageFile::InternalQueryInterface(REFIID iid, void** out) noexcept {
    return QueryInterfaceTable(static_cast<CImageFileInterfaces*>(this), kInterfaces, iid, out);
}

ULONG CImageFile::AddRef() noexcept {
    if (outer_ != nullptr) return AddRefOf(outer_);
    return ++refCount_;
}

ULONG CImageFile::Release() noexcept {
    if (outer_ != nullptr) return ReleaseOf(outer_);
    const ULONG count = --refCount_;
    if (count == 0) {
        // The library must not look unloadable while the object is torn down.
        AcquireModuleLock();
        imageFile_.lpVtbl->Destroy(&imageFile_);
        ReleaseModuleLock();
    }
    return count;
}

}  // namespace pixelfold
