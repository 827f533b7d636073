// module/dll_exports.cpp: the library entry point and the exports of the in-process server.
#include "module/com_module.h"
#include "module/exports.h"
#include "module/registrar/registry.h"
#include "module/registration.h"
#include "platform/proxy_layer.h"

using pixelfold::g_module;

extern "C" BOOL STDMETHODCALLTYPE DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        PixelfoldProxySetModule(module);
        g_module.Attach(module, pixelfold::LibraryObjectMap());
        DisableThreadLibraryCalls(module);
    } else if (reason == DLL_PROCESS_DETACH) {
        g_module.Terminate();
    }
    return TRUE;
}

HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (PixelfoldProxyGetClassObject(clsid, iid, out) == S_OK) return S_OK;
    return g_module.GetClassObjectFromMap(clsid, iid, out);
}

HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    if (PixelfoldProxyCanUnloadNow() != S_OK) return S_FALSE;
    return g_module.ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

// The host's key of plug-in file formats, and an entry of an earlier release that registration
// removes from it.
constexpr const WCHAR* kFileFormatsKey =
    WTEXT("Software\\Velmora\\Applications\\Orbenfile\\FileFormats");
constexpr const WCHAR* kRemovedFormatEntry = WTEXT("{A6260D70-CA17-11D5-9179-00C04F56B3AF}");

HRESULT STDMETHODCALLTYPE DllRegisterServer() {
    // Every step records the library's path; one that does not fit is refused before any step
    // writes anything (the platform's proxy registration would write it cut short).
    WCHAR moduleName[pixelfold::kModuleNameCapacity];
    const HRESULT named = pixelfold::GetModuleName(g_module.moduleHandle(), moduleName);
    if (FAILED(named)) return named;
    const HRESULT proxies = PixelfoldProxyRegister();
    if (FAILED(proxies)) return proxies;
    {
        // Whether the key opens and the entry goes does not change the result.
        pixelfold::Registry fileFormats;
        if (fileFormats.Open(HKEY_LOCAL_MACHINE, kFileFormatsKey, KEY_ALL_ACCESS)) {
            fileFormats.DeleteTree(kRemovedFormatEntry);
        }
    }
    return g_module.RegisterServer(TRUE, nullptr);
}

HRESULT STDMETHODCALLTYPE DllUnregisterServer() {
    PixelfoldProxyUnregister();  // its result does not change the outcome
    return g_module.UnregisterServer(TRUE, nullptr);
}
