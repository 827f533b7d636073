// tests/library/loaded_library.cpp: loading the plug-in library as a host does.
#include "library/loaded_library.h"

#if defined(_WIN32)
#include <filesystem>
#else
#include <dlfcn.h>
#endif

namespace pixelfold::test {

#if defined(_WIN32)
LoadedLibrary::LoadedLibrary(const std::string& path) {
    const std::wstring wide = std::filesystem::path(path).wstring();
    handle_ = LoadLibraryW(wide.c_str());
    if (handle_ == nullptr) error_ = "LoadLibraryW failed, error " + std::to_string(GetLastError());
}

LoadedLibrary::~LoadedLibrary() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* LoadedLibrary::Find(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

bool HostApi::Bind(const LoadedLibrary& library) {
    getClassObject = reinterpret_cast<DllGetClassObjectFunction>(library.Find("DllGetClassObject"));
    canUnloadNow = reinterpret_cast<DllCanUnloadNowFunction>(library.Find("DllCanUnloadNow"));
    sysAllocString = &SysAllocString;
    sysFreeString = &SysFreeString;
    variantClear = &VariantClear;
    return getClassObject != nullptr && canUnloadNow != nullptr;
}
#else
LoadedLibrary::LoadedLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) error_ = dlerror();
}

LoadedLibrary::~LoadedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* LoadedLibrary::Find(const char* name) const {
    return dlsym(handle_, name);
}

bool HostApi::Bind(const LoadedLibrary& library) {
    getClassObject = reinterpret_cast<DllGetClassObjectFunction>(library.Find("DllGetClassObject"));
    canUnloadNow = reinterpret_cast<DllCanUnloadNowFunction>(library.Find("DllCanUnloadNow"));
    sysAllocString = reinterpret_cast<BSTR (*)(const OLECHAR*)>(library.Find("SysAllocString"));
    sysFreeString = reinterpret_cast<void (*)(BSTR)>(library.Find("SysFreeString"));
    variantClear = reinterpret_cast<HRESULT (*)(VARIANT*)>(library.Find("VariantClear"));
    return getClassObject != nullptr && canUnloadNow != nullptr && sysAllocString != nullptr &&
           sysFreeString != nullptr && variantClear != nullptr;
}
#endif

}  // namespace pixelfold::test
