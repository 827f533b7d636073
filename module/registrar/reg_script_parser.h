// module/registrar/reg_script_parser.h: the registration script language. A script is a list
// of root keys, each with a block of entries:
//
//   HKCR { NoRemove CLSID { ForceRemove {A191...} = s 'ImageFormat' {
//            InprocServer32 = s '%MODULE%' { val ThreadingModel = s 'Both' } } } }
//
// The register pass creates keys and sets values; the unregister pass deletes what the script
// names, keeping keys marked NoRemove and keys that still have subkeys.
#pragma once

#include <array>

#include "module/registrar/reg_object.h"
#include "platform/platform.h"
#include "platform/registry_keys.h"
#include "platform/unique.h"
#include "platform/wide_string.h"

namespace pixelfold {

class RegScriptParser {
  public:
    explicit RegScriptParser(const CRegObject& registrar) noexcept : registrar_(registrar) {}

    // Expands the replacements, then runs each root block. In the register pass a failed block
    // is undone by the unregister pass over it; earlier blocks keep their effect.
    HRESULT RunScript(const WCHAR* script, bool doRegister);

    // "%name%" replaced by the registrar's text and "%%" by "%".
    HRESULT ExpandReplacements(const WCHAR* script, WideString& out) const;

    // The registry keeps keys at most this many levels below a root; a script whose blocks
    // nest deeper is refused before it changes anything.
    static constexpr unsigned kMaxKeyLevel = 512;

  private:
    // Holds at most 4095 characters and a terminator.
    using Token = std::array<WCHAR, 4096>;

    HRESULT ReadToken(Token& token);
    // The deepest key level that the block starting at the current position (just after its
    // "{", whose keys are at `level`) reaches, read token by token as the given pass reads it
    // but without recursing; stops early past kMaxKeyLevel and at a syntax error, which the
    // pass then reports. The position is left where it was.
    unsigned DeepestKeyLevel(unsigned level, bool doRegister);
    // `level`: how many levels below the root the block's own keys are.
    HRESULT ProcessKeyBlock(Token& token, HKEY parent, bool doRegister, bool keyMissing,
                            unsigned level);
    HRESULT ProcessKeyEntry(Token& token, HKEY parent, bool doRegister, bool keyMissing,
                            unsigned level, UniqueHkey& current);
    HRESULT WriteValue(HKEY key, const WCHAR* valueName, Token& token);
    HRESULT SkipValueClause(Token& token);
    void SkipWhiteSpace() noexcept;

    const CRegObject& registrar_;
    const WCHAR* position_ = nullptr;
};

}  // namespace pixelfold
