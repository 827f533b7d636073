// tests/library/loaded_library.h: the built plug-in library, loaded at run time as a host
// loads it, and the few functions a host takes from it (and, on Windows, from the system).
#pragma once

#include <string>

#include "module/exports.h"
#include "platform/platform.h"

namespace pixelfold::test {

class LoadedLibrary {
  public:
    // Loads the library at `path` (UTF-8); check `loaded()` and `error()`.
    explicit LoadedLibrary(const std::string& path);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    const std::string& error() const { return error_; }
    // An exported function, or null.
    void* Find(const char* name) const;

  private:
    void* handle_ = nullptr;
    std::string error_;
};

// What a host calls: the library's exports, and the string and variant functions (exported by
// the library on Linux, the system's on Windows).
struct HostApi {
    DllGetClassObjectFunction getClassObject = nullptr;
    DllCanUnloadNowFunction canUnloadNow = nullptr;
    BSTR (*sysAllocString)(const OLECHAR*) = nullptr;
    void (*sysFreeString)(BSTR) = nullptr;
    HRESULT (*variantClear)(VARIANT*) = nullptr;

    // All of them, from `library`; false when any is missing.
    bool Bind(const LoadedLibrary& library);
};

}  // namespace pixelfold::test
