// module/registrar/registry.h: a registry key that closes itself, with the result of its last
// registry call.
#pragma once

#include "platform/platform.h"
#include "platform/wide_string.h"

namespace pixelfold {

class Registry {
  public:
    Registry() = default;
    virtual ~Registry() { Close(); }
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Opens `subKey` of `parent` (closing what was open); true when it opened.
    bool Open(HKEY parent, const WCHAR* subKey, REGSAM access) noexcept;
    void Close() noexcept;
    // Deletes `subKey` with everything under it that can be deleted; true when the key itself
    // is gone. A subkey that cannot be deleted is passed over and the others still go.
    bool DeleteTree(const WCHAR* subKey) noexcept;
    // The subkey at `index`: its name and class, and its last-write time when `lastWrite` is
    // given. False when there is none (or on failure).
    bool EnumSubkey(DWORD index, WideString& name, WideString& keyClass,
                    FILETIME* lastWrite) noexcept;

    HKEY key() const noexcept { return key_; }
    LONG lastResult() const noexcept { return lastResult_; }

  private:
    // EnumSubkey for a subkey whose name or class outgrows the usual buffers. Throws
    // std::bad_alloc.
    bool EnumLongSubkey(DWORD index, WideString& name, WideString& keyClass, FILETIME* lastWrite);

    HKEY key_ = nullptr;
    LONG lastResult_ = 0;
};

}  // namespace pixelfold
