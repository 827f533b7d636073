// probe/probed_image.h: the image a navigator stands for: its path, its header values and
// whether its property items have been loaded. Open fills it from the file's header.
#pragma once

#include "platform/platform.h"
#include "platform/wide_string.h"
#include "probe/bmp_info.h"

namespace pixelfold {

class ProbedImage {
  public:
    // Stores `path`, measures the file and lets the reader chosen by the path's extension
    // ("bmp", "pcx", "gif", "png", "jpg", case of A to Z ignored) fill the header values. The
    // file is open only during the call, for reading with writers denied.
    // Results: S_OK (also for an empty file and for an extension that names no reader),
    // E_INVALIDARG (null path, untouched; or no '.' in the path, file not touched),
    // FILE_E_NOT_FOUND, FILE_E_CANNOT_OPEN, E_OUTOFMEMORY, or the reader's failure.
    HRESULT Open(const WCHAR* path) noexcept;

    const BmpInfo& info() const noexcept { return info_; }
    BmpInfo& info() noexcept { return info_; }
    // The path given to the last Open; empty before.
    const WideString& path() const noexcept { return path_; }
    bool propertyItemsLoaded() const noexcept { return propertyItemsLoaded_; }
    void SetPropertyItemsLoaded() noexcept { propertyItemsLoaded_ = true; }

  private:
    HRESULT OpenStoredPath();

    BmpInfo info_;
    WideString path_;
    bool propertyItemsLoaded_ = false;
};

}  // namespace pixelfold
