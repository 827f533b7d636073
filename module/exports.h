// module/exports.h: what the library exports, for hosts that load it. On Linux the library
// also exports the allocation functions a host needs for what crosses the interfaces
// (SysAllocString, SysAllocStringLen, SysFreeString, SysStringLen, VariantInit, VariantClear,
// CoTaskMemAlloc, CoTaskMemFree; declared by platform/platform.h).
#pragma once

#include "platform/platform.h"

PIXELFOLD_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                             void** out);
PIXELFOLD_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow();

// The functions' types, for GetProcAddress and dlsym.
using DllGetClassObjectFunction = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
using DllCanUnloadNowFunction = HRESULT(STDMETHODCALLTYPE*)();
