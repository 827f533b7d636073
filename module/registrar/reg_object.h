// module/registrar/reg_object.h: the registrar: the replacement map that a registration script
// reads ("%MODULE%" and the like), and the runs of scripts against the registry.
#pragma once

#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/wide_string.h"

namespace pixelfold {

class CRegObject {
  public:
    // Copies both; E_INVALIDARG for a null argument, E_OUTOFMEMORY. A name may be added twice;
    // lookup finds the earlier pair.
    HRESULT AddReplacement(const WCHAR* name, const WCHAR* text) noexcept;
    HRESULT ClearReplacements() noexcept;
    // The text of `name`, found without regard to the case of A to Z; null when absent.
    const WideString* FindReplacement(WideStringView name) const noexcept;

    // Runs `script` in the register pass (`doRegister`) or the unregister pass.
    HRESULT RunScript(const WCHAR* script, bool doRegister) const noexcept;

  private:
    std::vector<std::pair<WideString, WideString>> replacements_;
};

}  // namespace pixelfold
