// platform/linux/proxy_layer.cpp: without an RPC run time there is nothing to marshal between;
// the proxy/stub class ID is still answered, by a class object that lives as long as the
// library and answers IUnknown and IPSFactoryBuffer (whose methods answer E_NOTIMPL).
#include "platform/proxy_layer.h"

namespace {

constexpr CLSID kProxyStubClsid = {
    0xE451172D, 0xF168, 0x4767, {0xBA, 0x4E, 0x79, 0x30, 0x74, 0x44, 0x93, 0xE3}};
constexpr IID kIPSFactoryBuffer = {
    0xD5F569D0, 0x593B, 0x101A, {0xB5, 0x69, 0x08, 0x00, 0x2B, 0x2D, 0xBF, 0x7A}};

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

void PixelfoldProxySetModule(HINSTANCE) {}

HRESULT PixelfoldProxyGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    if (!(clsid == kProxyStubClsid)) return CLASS_E_CLASSNOTAVAILABLE;
    return proxyStubFactory.QueryInterface(iid, out);
}

HRESULT PixelfoldProxyCanUnloadNow() {
    return S_OK;
}
