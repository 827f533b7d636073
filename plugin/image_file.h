// plugin/image_file.h: the image navigator: one image file about which the host asks for
// values. Apartment-threaded: one thread calls it, its count is plain.
#pragma once

#include <cstddef>
#include <cstdint>

#include "com/interface_map.h"
#include "com/module_lock.h"
#include "pixelfold/pixelfold.h"
#include "platform/platform.h"
#include "plugin/image_interfaces.h"
#include "plugin/save_cache.h"
#include "probe/probed_image.h"

namespace pixelfold {

// The part of a navigator that its interfaces lead to: the table pointers, the count and the
// outer object. A standard-layout record, so that the interface table's offsets into it and
// the way back from an interface to the object are defined on every compiler.
struct CImageFileInterfaces {
    using RefCount = ULONG;  // apartment-threaded: plain arithmetic

    IImageFile imageFile_;  // identity: answers IUnknown
    IVltFileNavigator navigator_;
    RefCount refCount_ = 0;
    IUnknown* outer_;  // null when standalone
};

class CImageFile : private CImageFileInterfaces {
  public:
    using CImageFileInterfaces::RefCount;

    // `outer` is the aggregating object, or null for a standalone navigator.
    explicit CImageFile(IUnknown* outer) noexcept;
    ~CImageFile();
    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;

    // Plain or aggregated, as the class object creates it: never opened.
    static HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept;

    HRESULT FinalConstruct() noexcept { return S_OK; }
    HRESULT InternalQueryInterface(REFIID iid, void** out) noexcept;
    // The controlling IUnknown operations: the object's own, or the outer object's.
    ULONG AddRef() noexcept;
    ULONG Release() noexcept;

    // Binds the navigator to the file at `path` and reads its header (ProbedImage::Open).
    HRESULT Open(const WCHAR* path) noexcept { return image_.Open(path); }

    IVltFileNavigator* navigator() noexcept { return &navigator_; }
    IImageFile* imageFile() noexcept { return &imageFile_; }

    // Answers `count` requests in order; with `stop` set, stops after the first answered one.
    // E_POINTER for a null array; E_OUTOFMEMORY when a conversion runs out of memory, which
    // ends the call at that request.
    HRESULT GetValues(std::int32_t stop, std::int32_t count, ValueRequest* requests) noexcept;
    // Found 0 and attribute flags 1 in each request.
    HRESULT MarkRequestsUnanswered(std::int32_t count, ValueRequest* requests) noexcept;

    // The interface table: identity first.
    static const InterfaceMapEntry kInterfaces[];

  private:
    static CImageFile* FromImageFile(IImageFile* iface) noexcept;
    static CImageFile* FromNavigator(IVltFileNavigator* iface) noexcept;

    // One request; throws HrError(E_OUTOFMEMORY) from a converter, the request unchanged.
    void AnswerRequest(ValueRequest& request);
    bool AnswerFromHeader(ValueRequest& request) noexcept;
    void AnswerFromMetadata(ValueRequest& request);

    static const IImageFileVtbl kImageFileVtbl;
    static const IVltFileNavigatorVtbl kNavigatorVtbl;

    ProbedImage image_;
    SaveCache saveCache_;
    ModuleLockHolder moduleLock_;  // last: given back first when the object goes

    friend struct ImageFileThunks;
};

}  // namespace pixelfold
