/* platform/windows/proxy_layer.c: the RPC run time's proxy/stub class object over the proxies
   that widl generated from resources/pixelfold.idl. */
#include <objbase.h>
#include <rpcproxy.h>

EXTERN_PROXY_FILE(pixelfold)

PROXYFILE_LIST_START
REFERENCE_PROXY_FILE(pixelfold), PROXYFILE_LIST_END

                                 static const CLSID kProxyStubClsid = {
                                     0xE451172D,
                                     0xF168,
                                     0x4767,
                                     {0xBA, 0x4E, 0x79, 0x30, 0x74, 0x44, 0x93, 0xE3}};
static CStdPSFactoryBuffer proxyFactory = {0, 0, 0, 0};
static HINSTANCE proxyModule = 0;

/* The stubs' Release, which the generated tables name. */
CSTDSTUBBUFFERRELEASE(&proxyFactory)
CSTDSTUBBUFFER2RELEASE(&proxyFactory)

void PixelfoldProxySetModule(HINSTANCE module) {
    proxyModule = module;
}

HRESULT PixelfoldProxyGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return NdrDllGetClassObject(clsid, iid, out, aProxyFileList, &kProxyStubClsid, &proxyFactory);
}

HRESULT PixelfoldProxyRegister(void) {
    return NdrDllRegisterProxy(proxyModule, aProxyFileList, &kProxyStubClsid);
}

HRESULT PixelfoldProxyUnregister(void) {
    return NdrDllUnregisterProxy(proxyModule, aProxyFileList, &kProxyStubClsid);
}

HRESULT PixelfoldProxyCanUnloadNow(void) {
    return NdrDllCanUnloadNow(&proxyFactory);
}
