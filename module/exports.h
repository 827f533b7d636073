// module/exports.h: what the library exports, for hosts that load it. On Linux the library
// also exports the allocation functions a host needs for what crosses the interfaces
// (SysAllocString, SysAllocStringLen, SysFreeString, SysStringLen, VariantInit, VariantClear,
// CoTaskMemAlloc, CoTaskMemFree) and the registry calls, so that a host in the same process
// sees what registration wrote (declared by platform/platform.h).
#pragma once

#include "pixelfold/pixelfold.h"
#include "platform/platform.h"

PIXELFOLD_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                             void** out);
PIXELFOLD_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow();
// Registers the classes (by class ID and ProgID), the type library and the proxies of the
// module's interfaces, and removes an earlier release's entry from the host's key.
PIXELFOLD_EXPORT HRESULT STDMETHODCALLTYPE DllRegisterServer();
// Removes what registration wrote, but the host's key.
PIXELFOLD_EXPORT HRESULT STDMETHODCALLTYPE DllUnregisterServer();
