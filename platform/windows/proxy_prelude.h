/* platform/windows/proxy_prelude.h: declarations that generated C proxies expect and that the
   mingw-w64 headers give only to C++: the RPC run time's proxies of IUnknown's methods. */
#pragma once

#include <objbase.h>

HRESULT STDMETHODCALLTYPE IUnknown_QueryInterface_Proxy(IUnknown* self, REFIID iid, void** out);
ULONG STDMETHODCALLTYPE IUnknown_AddRef_Proxy(IUnknown* self);
ULONG STDMETHODCALLTYPE IUnknown_Release_Proxy(IUnknown* self);
