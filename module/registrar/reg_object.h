// module/registrar/reg_object.h: the registrar: the replacement map that a registration script
// reads ("%MODULE%" and the like), and the runs of scripts against the registry.
#pragma once

#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/wide_string.h"

namespace pixelfold {

// What the module hands a registrar to fill its replacement map. The registrar lives on its
// caller's stack for one script run: it is not reference counted. (The SDK's IUnknown has a
// public non-virtual destructor; no interface pointer is ever deleted through it.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IRegistrarBase : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddReplacement(const WCHAR* name, const WCHAR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearReplacements() = 0;
    virtual ~IRegistrarBase() = default;
};
#pragma GCC diagnostic pop

class CRegObject final : public IRegistrarBase {
  public:
    CRegObject() = default;
    ~CRegObject() override = default;
    CRegObject(const CRegObject&) = delete;
    CRegObject& operator=(const CRegObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) noexcept override { return E_NOTIMPL; }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 1; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 0; }
    // Copies both; E_INVALIDARG for a null argument, E_OUTOFMEMORY. A name may be added twice;
    // lookup finds the earlier pair.
    HRESULT STDMETHODCALLTYPE AddReplacement(const WCHAR* name,
                                             const WCHAR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE ClearReplacements() noexcept override;

    // The text of `name`, found without regard to the case of A to Z; null when absent.
    const WideString* FindReplacement(WideStringView name) const noexcept;

    // Runs `script` in the register pass (`doRegister`) or the unregister pass.
    HRESULT RunScript(const WCHAR* script, bool doRegister) const noexcept;
    // Runs the script held as resource `resource` of type `type` in the module file
    // `modulePath`, read as ANSI text.
    HRESULT RegisterWithResource(const WCHAR* modulePath, const WCHAR* resource, const WCHAR* type,
                                 bool doRegister) const noexcept;

  private:
    std::vector<std::pair<WideString, WideString>> replacements_;
};

}  // namespace pixelfold
