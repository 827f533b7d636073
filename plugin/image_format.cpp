// plugin/image_format.cpp: the format object's tables, identity, lifetime and methods.
#include "plugin/image_format.h"
#include "platform/com_calls.h"

#include <memory>
#include <type_traits>

#include "com/aggregated_object.h"
#include "platform/allocation.h"
#include "platform/unique.h"
#include "plugin/image_file.h"
#include "plugin/unsupported_method.h"

namespace pixelfold {
namespace {

constexpr WideStringView kCompany = WTEXT("Tallholm Data");
constexpr WideStringView kDescription = WTEXT("Bitmap image plugin");
constexpr WideStringView kExtensions = WTEXT("bmp,pcx,jpg,gif,png");
// Bits 3 and 8: what the host is told for every extension.
constexpr ULONG kExtensionFlags = 0x108;
constexpr std::uint32_t kFormatCode = 4;
struct TaskMemoryDeleter {
    void operator()(void* block) const noexcept { CoTaskMemFree(block); }
};

constexpr GUID kFormatGuid = {
    0x5B5BFBF1, 0xF026, 0x11D3, {0x90, 0xFB, 0x00, 0xC0, 0x4F, 0x56, 0xB3, 0xAF}};

}  // namespace

struct ImageFormatThunks {
    // IImageFormat
    static HRESULT STDMETHODCALLTYPE QueryInterface(IImageFormat* self, REFIID iid, void** out) {
        CImageFormat* object = CImageFormat::FromImageFormat(self);
        if (object->outer_ != nullptr) return QueryInterfaceOf(object->outer_, iid, out);
        return object->InternalQueryInterface(iid, out);
    }
    static ULONG STDMETHODCALLTYPE AddRef(IImageFormat* self) {
        return CImageFormat::FromImageFormat(self)->AddRef();
    }
    static ULONG STDMETHODCALLTYPE Release(IImageFormat* self) {
        return CImageFormat::FromImageFormat(self)->Release();
    }
    static IUnknown* STDMETHODCALLTYPE GetIdentity(IImageFormat* self) {
        return CImageFormat::FromImageFormat(self)->ControllingUnknown();
    }
    static void STDMETHODCALLTYPE Destroy(IImageFormat* self) {
        delete CImageFormat::FromImageFormat(self);
    }

    // IVltFileFormat: IUnknown acts on the whole object.
    static HRESULT STDMETHODCALLTYPE QueryInterface1(IVltFileFormat* self, REFIID iid, void** out) {
        return QueryInterface(&CImageFormat::FromFileFormat(self)->imageFormat_, iid, out);
    }
    static ULONG STDMETHODCALLTYPE AddRef1(IVltFileFormat* self) {
        return CImageFormat::FromFileFormat(self)->AddRef();
    }
    static ULONG STDMETHODCALLTYPE Release1(IVltFileFormat* self) {
        return CImageFormat::FromFileFormat(self)->Release();
    }
    static HRESULT STDMETHODCALLTYPE GetInfo(IVltFileFormat* self, BSTR* company, BSTR* description,
                                             BSTR* extensions) {
        return CImageFormat::FromFileFormat(self)->GetInfo(company, description, extensions);
    }
    static HRESULT STDMETHODCALLTYPE GetExtensionFlags(IVltFileFormat* self, const OLECHAR*,
                                                       ULONG* flags) {
        return CImageFormat::FromFileFormat(self)->GetExtensionFlags(flags);
    }
    static HRESULT STDMETHODCALLTYPE OpenNavigator(IVltFileFormat* self, const OLECHAR* path,
                                                   INT_PTR, IVltFileNavigator** navigator) {
        return CImageFormat::FromFileFormat(self)->OpenNavigator(path, navigator);
    }
    static HRESULT STDMETHODCALLTYPE FormatReserved1(IVltFileFormat*, INT_PTR, INT_PTR, INT_PTR,
                                                     INT_PTR, void* a5) {
        return NotImplementedUnlessNull({a5});
    }
    static HRESULT STDMETHODCALLTYPE FormatReserved2(IVltFileFormat*, INT_PTR, void* a2) {
        return NotImplementedUnlessNull({a2});
    }

    // IVltFileFormat2: IUnknown acts on the whole object.
    static HRESULT STDMETHODCALLTYPE QueryInterface2(IVltFileFormat2* self, REFIID iid,
                                                     void** out) {
        return QueryInterface(&CImageFormat::FromFileFormat2(self)->imageFormat_, iid, out);
    }
    static ULONG STDMETHODCALLTYPE AddRef2(IVltFileFormat2* self) {
        return CImageFormat::FromFileFormat2(self)->AddRef();
    }
    static ULONG STDMETHODCALLTYPE Release2(IVltFileFormat2* self) {
        return CImageFormat::FromFileFormat2(self)->Release();
    }
    static HRESULT STDMETHODCALLTYPE GetFormatRecords(IVltFileFormat2* self, ULONG* count,
                                                      FormatRecord** records) {
        return CImageFormat::FromFileFormat2(self)->GetFormatRecords(count, records);
    }
};

using T = ImageFormatThunks;

constexpr IImageFormatVtbl CImageFormat::kImageFormatVtbl = {
    .QueryInterface = &T::QueryInterface,
    .AddRef = &T::AddRef,
    .Release = &T::Release,
    .GetIdentity = &T::GetIdentity,
    .Destroy = &T::Destroy,
};

constexpr IVltFileFormatVtbl CImageFormat::kFileFormatVtbl = {
    .QueryInterface = &T::QueryInterface1,
    .AddRef = &T::AddRef1,
    .Release = &T::Release1,
    .GetInfo = &T::GetInfo,
    .GetExtensionFlags = &T::GetExtensionFlags,
    .OpenNavigator = &T::OpenNavigator,
    .FormatReserved1 = &T::FormatReserved1,
    .FormatReserved2 = &T::FormatReserved2,
};

constexpr IVltFileFormat2Vtbl CImageFormat::kFileFormat2Vtbl = {
    .QueryInterface = &T::QueryInterface2,
    .AddRef = &T::AddRef2,
    .Release = &T::Release2,
    .GetFormatRecords = &T::GetFormatRecords,
};

constexpr InterfaceMapEntry CImageFormat::kInterfaces[] = {
    OffsetEntry(IID_IImageFormat, offsetof(CImageFormatInterfaces, imageFormat_)),
    OffsetEntry(IID_IVltFileFormat, offsetof(CImageFormatInterfaces, fileFormat_)),
    OffsetEntry(IID_IVltFileFormat2, offsetof(CImageFormatInterfaces, fileFormat2_)),
    FunctionEntry(IID_IMarshal, &CImageFormat::QueryMarshaler),
    EndEntry(),
};
static_assert(IsWellFormedInterfaceMap(CImageFormat::kInterfaces));
static_assert(std::is_standard_layout_v<CImageFormatInterfaces>,
              "offsetof and the From functions need it");

CImageFormat::CImageFormat(IUnknown* outer) noexcept
    : CImageFormatInterfaces{
          {&kImageFormatVtbl}, {&kFileFormatVtbl}, {&kFileFormat2Vtbl}, {0}, outer} {}

CImageFormat::~CImageFormat() {
    refCount_ = kDestroyedRefCount;
}

CImageFormat* CImageFormat::FromImageFormat(IImageFormat* iface) noexcept {
    return static_cast<CImageFormat*>(reinterpret_cast<CImageFormatInterfaces*>(
        reinterpret_cast<char*>(iface) - offsetof(CImageFormatInterfaces, imageFormat_)));
}

CImageFormat* CImageFormat::FromFileFormat(IVltFileFormat* iface) noexcept {
    return static_cast<CImageFormat*>(reinterpret_cast<CImageFormatInterfaces*>(
        reinterpret_cast<char*>(iface) - offsetof(CImageFormatInterfaces, fileFormat_)));
}

CImageFormat* CImageFormat::FromFileFormat2(IVltFileFormat2* iface) noexcept {
    return static_cast<CImageFormat*>(reinterpret_cast<CImageFormatInterfaces*>(
        reinterpret_cast<char*>(iface) - offsetof(CImageFormatInterfaces, fileFormat2_)));
}

HRESULT CImageFormat::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
    return pixelfold::CreateInstance<CImageFormat>(outer, iid, out);
}

HRESULT CImageFormat::FinalConstruct() noexcept {
    // Standalone, the object holds a reference on itself meanwhile, so that the marshaler's
    // references cannot destroy it; the count goes back without a Release.
    if (outer_ == nullptr) ++refCount_;
    const HRESULT hr = NewFreeThreadedMarshaler(ControllingUnknown(), marshaler_.put());
    if (outer_ == nullptr) --refCount_;
    return hr;
}

HRESULT CImageFormat::InternalQueryInterface(REFIID iid, void** out) noexcept {
    return QueryInterfaceTable(static_cast<CImageFormatInterfaces*>(this), kInterfaces, iid, out);
}

HRESULT CImageFormat::QueryMarshaler(void* object, REFIID iid, void** out,
                                     std::uintptr_t) noexcept {
    auto* self = static_cast<CImageFormat*>(static_cast<CImageFormatInterfaces*>(object));
    IUnknown* marshaler = self->marshaler_.get();
    if (marshaler == nullptr) return E_NOINTERFACE;
    return QueryInterfaceOf(marshaler, iid, out);
}

ULONG CImageFormat::AddRef() noexcept {
    if (outer_ != nullptr) return AddRefOf(outer_);
    return ++refCount_;
}

ULONG CImageFormat::Release() noexcept {
    if (outer_ != nullptr) return ReleaseOf(outer_);
    const ULONG count = --refCount_;
    if (count == 0) {
        // The library must not look unloadable while the object is torn down.
        AcquireModuleLock();
        imageFormat_.lpVtbl->Destroy(&imageFormat_);
        ReleaseModuleLock();
    }
    return count;
}

IUnknown* CImageFormat::ControllingUnknown() noexcept {
    return outer_ != nullptr ? outer_ : reinterpret_cast<IUnknown*>(&imageFormat_);
}

HRESULT CImageFormat::GetInfo(BSTR* company, BSTR* description, BSTR* extensions) noexcept {
    if (company == nullptr || description == nullptr || extensions == nullptr) return E_POINTER;
    // All three or none: a string that cannot be made fails the call.
    UniqueBstr companyText(NewBstr(kCompany));
    UniqueBstr descriptionText(NewBstr(kDescription));
    UniqueBstr extensionText(NewBstr(kExtensions));
    if (!companyText || !descriptionText || !extensionText) return E_OUTOFMEMORY;
    *company = companyText.release();
    *description = descriptionText.release();
    *extensions = extensionText.release();
    return S_OK;
}

HRESULT CImageFormat::GetExtensionFlags(ULONG* flags) noexcept {
    if (flags == nullptr) return E_POINTER;
    *flags = kExtensionFlags;
    return S_OK;
}

HRESULT CImageFormat::OpenNavigator(const OLECHAR* path, IVltFileNavigator** navigator) noexcept {
    if (navigator == nullptr) return E_POINTER;
    CImageFile* file = NewObject<CImageFile>(nullptr);
    if (file == nullptr) return E_OUTOFMEMORY;
    file->AddRef();
    const HRESULT hr = file->Open(path);
    if (FAILED(hr)) {
        file->Release();
        return hr;
    }
    *navigator = file->navigator();
    return S_OK;
}

HRESULT CImageFormat::GetFormatRecords(ULONG* count, FormatRecord** records) noexcept {
    if (count == nullptr || records == nullptr) return E_POINTER;
    // The record and its string together, or neither.
    std::unique_ptr<FormatRecord, TaskMemoryDeleter> record(
        static_cast<FormatRecord*>(NewTaskMemory(sizeof(FormatRecord))));
    UniqueBstr extensionText(NewBstr(kExtensions));
    if (!record || !extensionText) return E_OUTOFMEMORY;
    record->extensionList = extensionText.release();
    record->formatCode = kFormatCode;
    record->formatGuid = kFormatGuid;
    *records = record.release();
    *count = 1;
    return S_OK;
}

}  // namespace pixelfold
