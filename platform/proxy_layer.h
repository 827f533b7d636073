// platform/proxy_layer.h: the proxies and stubs of the module's own interfaces, driven by the
// platform's RPC run time. The proxy/stub class ID is that of IImageFormat.
#pragma once

#include "platform/platform.h"

extern "C" {

// Records the library's module handle for the proxies' registration.
void PixelfoldProxySetModule(HINSTANCE module);
// The proxy/stub class object (IPSFactoryBuffer) for its class ID; CLASS_E_CLASSNOTAVAILABLE
// for any other.
HRESULT PixelfoldProxyGetClassObject(REFCLSID clsid, REFIID iid, void** out);
// Registers the proxies and stubs of the module's interfaces for the recorded module (the
// interfaces and the proxy/stub class), and removes that registration again.
HRESULT PixelfoldProxyRegister(void);
HRESULT PixelfoldProxyUnregister(void);
// S_OK when no proxy or stub of the library is alive.
HRESULT PixelfoldProxyCanUnloadNow(void);
}
