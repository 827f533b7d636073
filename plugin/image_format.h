// plugin/image_format.h: the image format object: the plug-in's entry object for the host.
// Free-threaded: any thread may call it, its count is atomic and it holds no other state.
#pragma once

#include <atomic>

#include "com/interface_map.h"
#include "com/module_lock.h"
#include "pixelfold/pixelfold.h"
#include "platform/platform.h"
#include "platform/unique.h"
#include "plugin/image_interfaces.h"

namespace pixelfold {

// The part of a format object that its interfaces lead to: the table pointers, the count and
// the outer object. A standard-layout record, so that the interface table's offsets into it
// and the way back from an interface to the object are defined on every compiler.
struct CImageFormatInterfaces {
    using RefCount = std::atomic<ULONG>;  // free-threaded: atomic

    IImageFormat imageFormat_;  // identity: answers IUnknown
    IVltFileFormat fileFormat_;
    IVltFileFormat2 fileFormat2_;
    RefCount refCount_{0};
    IUnknown* outer_;  // null when standalone
};

class CImageFormat : private CImageFormatInterfaces {
  public:
    using CImageFormatInterfaces::RefCount;

    // `outer` is the aggregating object, or null for a standalone format object.
    explicit CImageFormat(IUnknown* outer) noexcept;
    ~CImageFormat();
    CImageFormat(const CImageFormat&) = delete;
    CImageFormat& operator=(const CImageFormat&) = delete;

    // Plain or aggregated, as the class object creates it.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept;

    // Aggregates the free-threaded marshaler on the controlling unknown.
    HRESULT FinalConstruct() noexcept;
    HRESULT InternalQueryInterface(REFIID iid, void** out) noexcept;
    ULONG AddRef() noexcept;
    ULONG Release() noexcept;
    // The controlling unknown: the object's own identity, or the outer object.
    IUnknown* ControllingUnknown() noexcept;

    HRESULT GetInfo(BSTR* company, BSTR* description, BSTR* extensions) noexcept;
    HRESULT GetExtensionFlags(ULONG* flags) noexcept;
    HRESULT OpenNavigator(const OLECHAR* path, IVltFileNavigator** navigator) noexcept;
    HRESULT GetFormatRecords(ULONG* count, FormatRecord** records) noexcept;

    // The interface table: identity first.
    static const InterfaceMapEntry kInterfaces[];

  private:
    static CImageFormat* FromImageFormat(IImageFormat* iface) noexcept;
    static CImageFormat* FromFileFormat(IVltFileFormat* iface) noexcept;
    static CImageFormat* FromFileFormat2(IVltFileFormat2* iface) noexcept;
    static HRESULT QueryMarshaler(void* object, REFIID iid, void** out, std::uintptr_t) noexcept;

    static const IImageFormatVtbl kImageFormatVtbl;
    static const IVltFileFormatVtbl kFileFormatVtbl;
    static const IVltFileFormat2Vtbl kFileFormat2Vtbl;

    UniqueUnknown marshaler_;      // the aggregated free-threaded marshaler, released last
    ModuleLockHolder moduleLock_;  // last: given back first when the object goes

    friend struct ImageFormatThunks;
};

}  // namespace pixelfold
