// module/registrar/reg_object.cpp: the replacement map, and scripts read from resources.
#include "module/registrar/reg_object.h"

#include <string_view>

#include "common/hr_error.h"
#include "module/registrar/reg_script_parser.h"
#include "platform/ansi_text.h"
#include "platform/ascii_text.h"

namespace pixelfold {
namespace {

// A module file loaded for its resources only, unloaded when this is destroyed.
class ResourceModule {
  public:
    explicit ResourceModule(const WCHAR* path) noexcept {
        constexpr DWORD exclusiveImage =
            LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE;
        module_ = LoadLibraryExW(path, nullptr, exclusiveImage);
        if (module_ == nullptr) module_ = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ResourceModule() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    HMODULE get() const noexcept { return module_; }

  private:
    HMODULE module_ = nullptr;
};

}  // namespace

HRESULT CRegObject::AddReplacement(const WCHAR* name, const WCHAR* text) noexcept {
    if (name == nullptr || text == nullptr) return E_INVALIDARG;
    return HrBoundary([&] {
        replacements_.emplace_back(name, text);
        return S_OK;
    });
}

HRESULT CRegObject::ClearReplacements() noexcept {
    replacements_.clear();
    return S_OK;
}

const WideString* CRegObject::FindReplacement(WideStringView name) const noexcept {
    for (const auto& [key, text] : replacements_) {
        if (EqualsIgnoringAsciiCase(key, name)) return &text;
    }
    return nullptr;
}

HRESULT CRegObject::RunScript(const WCHAR* script, bool doRegister) const noexcept {
    return HrBoundary([&] { return RegScriptParser(*this).RunScript(script, doRegister); });
}

HRESULT CRegObject::RegisterWithResource(const WCHAR* modulePath, const WCHAR* resource,
                                         const WCHAR* type, bool doRegister) const noexcept {
    const ResourceModule module(modulePath);
    if (module.get() == nullptr) return HResultFromLastError();
    const HRSRC found = FindResourceW(module.get(), resource, type);
    if (found == nullptr) return HResultFromLastError();
    const HGLOBAL loaded = LoadResource(module.get(), found);
    if (loaded == nullptr) return HResultFromLastError();
    SetLastError(ERROR_SUCCESS);  // an empty resource is no failure
    const DWORD size = SizeofResource(module.get(), found);
    if (size == 0) {
        const DWORD error = GetLastError();
        if (error != ERROR_SUCCESS) return HResultFromWin32(error);
    }
    const auto* bytes = static_cast<const char*>(LockResource(loaded));
    if (bytes == nullptr && size != 0) return HResultFromLastError();
    WideString script;
    const HRESULT decoded = DecodeAnsiText(std::string_view(bytes, size), script);
    if (FAILED(decoded)) return decoded;
    return RunScript(script.c_str(), doRegister);
}

}  // namespace pixelfold
