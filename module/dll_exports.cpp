// module/dll_exports.cpp: the library entry point and the exports of the in-process server.
#include "module/com_module.h"
#include "module/exports.h"
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
