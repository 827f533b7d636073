// module/type_library.cpp: the module's type library, loaded from its own file (or the ".tlb"
// file beside it) and registered with the platform.
#include <cstring>

#include "common/hr_error.h"
#include "module/registration.h"
#include "platform/allocation.h"
#include "platform/unique.h"

namespace pixelfold {
namespace {

// Where the file name's extension begins: its last "." after the last path separator, or the
// end of the name.
std::size_t ExtensionPosition(const WCHAR* name) noexcept {
    std::size_t extension = 0;
    std::size_t length = 0;
    bool found = false;
    for (; name[length] != 0; ++length) {
        if (name[length] == WCHAR{'\\'} || name[length] == WCHAR{'/'}) found = false;
        if (name[length] == WCHAR{'.'}) {
            extension = length;
            found = true;
        }
    }
    return found ? extension : length;
}

// The directory part of a help file name: up to and including its last "\", "/" or ":".
WideString HelpDirectory(const WCHAR* helpFile) {
    const WideStringView file(helpFile);
    const std::size_t end = file.find_last_of(WTEXT("\\/:"));
    return end == WideStringView::npos ? WideString() : WideString(file.substr(0, end + 1));
}

struct LoadedTypeLibrary {
    UniqueBstr path;
    ITypeLib* library = nullptr;
    ~LoadedTypeLibrary() {
        if (library != nullptr) library->Release();
    }
};

}  // namespace

HRESULT LoadModuleTypeLibrary(HINSTANCE module, BSTR* path, ITypeLib** library) noexcept {
    if (path == nullptr || library == nullptr) return E_POINTER;
    *path = nullptr;
    *library = nullptr;
    WCHAR name[kModuleNameCapacity];
    RETURN_IF_FAILED(GetModuleName(module, name));
    const std::size_t extension = ExtensionPosition(name);

    ITypeLib* loaded = nullptr;
    const HRESULT fromModule = LoadTypeLib(name, &loaded);
    // Out of memory is not a missing type library: the file beside would fail the same way.
    if (fromModule == E_OUTOFMEMORY) return fromModule;
    if (FAILED(fromModule)) {
        constexpr WCHAR kTlb[] = WTEXT(".tlb");
        if (extension > kModuleNameCapacity - std::size(kTlb)) return E_FAIL;
        std::memcpy(name + extension, kTlb, sizeof kTlb);
        RETURN_IF_FAILED(LoadTypeLib(name, &loaded));
    }
    const BSTR loadedPath = NewBstr(name);
    if (loadedPath == nullptr) {
        loaded->Release();
        return E_OUTOFMEMORY;
    }
    *path = loadedPath;
    *library = loaded;
    return S_OK;
}

HRESULT RegisterTypeLibrary(HINSTANCE module) noexcept {
    LoadedTypeLibrary loaded;
    RETURN_IF_FAILED(LoadModuleTypeLibrary(module, loaded.path.put(), &loaded.library));
    UniqueBstr helpFile;
    WideString helpDirectory;
    if (SUCCEEDED(
            loaded.library->GetDocumentation(-1, nullptr, nullptr, nullptr, helpFile.put())) &&
        helpFile.get() != nullptr) {
        const HRESULT made = HrBoundary([&] {
            helpDirectory = HelpDirectory(helpFile.get());
            return S_OK;
        });
        RETURN_IF_FAILED(made);
    }
    return RegisterTypeLib(loaded.library, loaded.path.get(),
                           helpDirectory.empty() ? nullptr : helpDirectory.data());
}

HRESULT UnregisterTypeLibrary(HINSTANCE module) noexcept {
    LoadedTypeLibrary loaded;
    RETURN_IF_FAILED(LoadModuleTypeLibrary(module, loaded.path.put(), &loaded.library));
    TLIBATTR* attributes = nullptr;
    RETURN_IF_FAILED(loaded.library->GetLibAttr(&attributes));
    const HRESULT result =
        UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                          attributes->lcid, attributes->syskind);
    loaded.library->ReleaseTLibAttr(attributes);
    return result;
}

}  // namespace pixelfold
