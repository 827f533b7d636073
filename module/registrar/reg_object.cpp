// module/registrar/reg_object.cpp: the replacement map.
#include "module/registrar/reg_object.h"

#include "common/ascii_text.h"
#include "common/hr_error.h"
#include "module/registrar/reg_script_parser.h"

namespace pixelfold {

HRESULT CRegObject::AddReplacement(const WCHAR* name, const WCHAR* text) noexcept {
    if (name == nullptr || text == nullptr) return E_INVALIDARG;
    return HrBoundary([&] {
        replacements_.emplace_back(name, text);
        return S_OK;
    });
}

HRESULT CRegObject::ClearReplacements() noexcept {
    replacements_.clear();
    return S_OK;
}

const WideString* CRegObject::FindReplacement(WideStringView name) const noexcept {
    for (const auto& [key, text] : replacements_) {
        if (EqualsIgnoringAsciiCase(key, name)) return &text;
    }
    return nullptr;
}

HRESULT CRegObject::RunScript(const WCHAR* script, bool doRegister) const noexcept {
    return HrBoundary([&] { return RegScriptParser(*this).RunScript(script, doRegister); });
}

}  // namespace pixelfold
