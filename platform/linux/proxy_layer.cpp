// platform/linux/proxy_layer.cpp: without an RPC run time there is nothing to marshal between;
// the proxy/stub class ID is still answered, by a class object that lives as long as the
// library and answers IUnknown and IPSFactoryBuffer (whose methods answer E_NOTIMPL).
// Registration writes what the platform's proxy registration writes on Windows.
#include "platform/proxy_layer.h"

#include <new>

#include "platform/linux/guid_text.h"
#include "platform/linux/registry_text.h"
#include "platform/registry_keys.h"

namespace {

constexpr CLSID kProxyStubClsid = {
    0xE451172D, 0xF168, 0x4767, {0xBA, 0x4E, 0x79, 0x30, 0x74, 0x44, 0x93, 0xE3}};
constexpr IID kIPSFactoryBuffer = {
    0xD5F569D0, 0x593B, 0x101A, {0xB5, 0x69, 0x08, 0x00, 0x2B, 0x2D, 0xBF, 0x7A}};

// The interfaces with proxies, with their method counts (IUnknown's three each).
struct ProxiedInterface {
    const char16_t* name;
    IID iid;
};
constexpr ProxiedInterface kProxiedInterfaces[] = {
    {u"IImageFormat", kProxyStubClsid},
    {u"IImageFile", {0xB45338F9, 0x9FAE, 0x4F34, {0x92, 0x0B, 0x0C, 0x89, 0x17, 0x7E, 0xB8, 0x7B}}},
};
constexpr char16_t kMethodCount[] = u"3";

HINSTANCE proxyModule = nullptr;

HRESULT FromStatus(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : pixelfold::HResultFromWin32(status);
}

class ProxyStubFactory final : public IUnknown {
  public:
    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == kIPSFactoryBuffer) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Static: counting keeps nothing alive, and nothing it hands out is a live object.
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    virtual HRESULT CreateProxy(IUnknown*, REFIID, void**, void**) { return E_NOTIMPL; }
    virtual HRESULT CreateStub(REFIID, IUnknown*, void**) { return E_NOTIMPL; }
};

ProxyStubFactory proxyStubFactory;

}  // namespace

void PixelfoldProxySetModule(HINSTANCE module) {
    proxyModule = module;
}

HRESULT PixelfoldProxyRegister() {
    using namespace pixelfold;
    WCHAR path[260];
    const DWORD length = GetModuleFileNameW(proxyModule, path, 260);
    if (length == 0 || length == 260) return HResultFromLastError();
    try {
        const WideString factory = GuidText(kProxyStubClsid);
        for (const ProxiedInterface& proxied : kProxiedInterfaces) {
            const WideString key = u"Interface\\" + GuidText(proxied.iid);
            for (const LSTATUS status :
                 {SetRegistryText(HKEY_CLASSES_ROOT, key, nullptr, proxied.name),
                  SetRegistryText(HKEY_CLASSES_ROOT, key + u"\\NumMethods", nullptr, kMethodCount),
                  SetRegistryText(HKEY_CLASSES_ROOT, key + u"\\ProxyStubClsid32", nullptr,
                                  factory)}) {
                if (status != ERROR_SUCCESS) return FromStatus(status);
            }
        }
        const WideString server = u"CLSID\\" + factory + u"\\InProcServer32";
        for (const LSTATUS status :
             {SetRegistryText(HKEY_CLASSES_ROOT, u"CLSID\\" + factory, nullptr, u"PSFactoryBuffer"),
              SetRegistryText(HKEY_CLASSES_ROOT, server, nullptr, path),
              SetRegistryText(HKEY_CLASSES_ROOT, server, u"ThreadingModel", u"Both")}) {
            if (status != ERROR_SUCCESS) return FromStatus(status);
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT PixelfoldProxyUnregister() {
    using namespace pixelfold;
    try {
        for (const ProxiedInterface& proxied : kProxiedInterfaces)
            DeleteKeyTree(HKEY_CLASSES_ROOT, (u"Interface\\" + GuidText(proxied.iid)).c_str());
        DeleteKeyTree(HKEY_CLASSES_ROOT, (u"CLSID\\" + GuidText(kProxyStubClsid)).c_str());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT PixelfoldProxyGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!(clsid == kProxyStubClsid)) return CLASS_E_CLASSNOTAVAILABLE;
    return proxyStubFactory.QueryInterface(iid, out);
}

HRESULT PixelfoldProxyCanUnloadNow() {
    return S_OK;
}
