// module/registration.cpp: registering and unregistering the module's classes through their
// registration scripts.
#include "module/registration.h"

#include "common/hr_error.h"
#include "module/com_module.h"
#include "module/registrar/reg_object.h"
#include "platform/wide_string.h"

namespace pixelfold {
namespace {

constexpr HRESULT kNameTooLong = static_cast<HRESULT>(0x8007007Au);

bool Selected(const ObjectMapEntry& row, const CLSID* clsid) noexcept {
    return clsid == nullptr || *row.clsid == *clsid;
}

}  // namespace

HRESULT GetModuleName(HINSTANCE module, WCHAR (&name)[kModuleNameCapacity]) noexcept {
    const DWORD length = GetModuleFileNameW(module, name, kModuleNameCapacity);
    if (length == 0) return HResultFromLastError();
    if (length == kModuleNameCapacity) return kNameTooLong;
    return S_OK;
}

HRESULT RegisterClassCategories(REFCLSID, const void* categoryMap, bool) noexcept {
    // Categories would be written here; no class of the module declares any.
    if (categoryMap == nullptr) return S_OK;
    return E_NOTIMPL;
}

HRESULT CComModule::UpdateRegistryFromResourceS(UINT resourceId, BOOL doRegister,
                                                RegistryReplacement* replacements) noexcept {
    return UpdateRegistryFromResourceS(MAKEINTRESOURCEW(resourceId), doRegister, replacements);
}

HRESULT CComModule::UpdateRegistryFromResourceS(const WCHAR* resource, BOOL doRegister,
                                                RegistryReplacement* replacements) noexcept {
    CRegObject registrar;
    for (const RegistryReplacement* pair = replacements; pair != nullptr && pair->name != nullptr;
         ++pair) {
        if (pair->text != nullptr)
            RETURN_IF_FAILED(registrar.AddReplacement(pair->name, pair->text));
    }
    RETURN_IF_FAILED(AddCommonReplacements(&registrar));

    WCHAR moduleName[kModuleNameCapacity];
    RETURN_IF_FAILED(GetModuleName(module_, moduleName));
    // A quote in the path would end the quoted script token that "%MODULE%" is expanded into.
    const HRESULT added = HrBoundary([&] {
        WideString escaped;
        for (const WCHAR* c = moduleName; *c != 0; ++c) {
            escaped += *c;
            if (*c == WCHAR{'\''}) escaped += *c;
        }
        RETURN_IF_FAILED(registrar.AddReplacement(WTEXT("Module"), escaped.c_str()));
        return registrar.AddReplacement(WTEXT("Module_Raw"), escaped.c_str());
    });
    if (FAILED(added)) return E_OUTOFMEMORY;
    return registrar.RegisterWithResource(moduleName, resource, WTEXT("REGISTRY"),
                                          doRegister != FALSE);
}

HRESULT CComModule::RegisterServer(BOOL typeLibrary, const CLSID* clsid) noexcept {
    HRESULT result = S_OK;
    for (const ObjectMapEntry& row : objectMap_) {
        if (!Selected(row, clsid)) continue;
        result = row.updateRegistry(TRUE);
        if (FAILED(result)) return result;
        result = RegisterClassCategories(*row.clsid, row.categoryMap(), true);
        if (FAILED(result)) return result;
    }
    if (typeLibrary) return RegisterTypeLibrary(module_);
    return result;
}

HRESULT CComModule::UnregisterServer(BOOL typeLibrary, const CLSID* clsid) noexcept {
    for (const ObjectMapEntry& row : objectMap_) {
        if (!Selected(row, clsid)) continue;
        RETURN_IF_FAILED(RegisterClassCategories(*row.clsid, row.categoryMap(), false));
        RETURN_IF_FAILED(row.updateRegistry(FALSE));
    }
    if (typeLibrary) return UnregisterTypeLibrary(module_);
    return S_OK;
}

}  // namespace pixelfold
