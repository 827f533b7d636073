// module/registrar/reg_script_parser.cpp: running registration scripts against the registry.
#include "module/registrar/reg_script_parser.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "common/hr_error.h"
#include "platform/allocation.h"
#include "platform/ascii_text.h"
#include "platform/registry_keys.h"

namespace pixelfold {
namespace {

constexpr std::size_t kMaxReplacementName = 31;
constexpr REGSAM kReadWrite = 0x2001F;
constexpr REGSAM kReadOnly = 0x20019;
constexpr REGSAM kWriteOnly = 0x20006;

struct RootKey {
    WideStringView name;
    std::uintptr_t key;  // HKEY_* is no constant expression; converted when looked up
};
constexpr RootKey kRootKeys[] = {
    {WTEXT("HKCR"), 0x80000000}, {WTEXT("HKEY_CLASSES_ROOT"), 0x80000000},
    {WTEXT("HKCU"), 0x80000001}, {WTEXT("HKEY_CURRENT_USER"), 0x80000001},
    {WTEXT("HKLM"), 0x80000002}, {WTEXT("HKEY_LOCAL_MACHINE"), 0x80000002},
    {WTEXT("HKU"), 0x80000003},  {WTEXT("HKEY_USERS"), 0x80000003},
    {WTEXT("HKPD"), 0x80000004}, {WTEXT("HKEY_PERFORMANCE_DATA"), 0x80000004},
    {WTEXT("HKDD"), 0x80000006}, {WTEXT("HKEY_DYN_DATA"), 0x80000006},
    {WTEXT("HKCC"), 0x80000005}, {WTEXT("HKEY_CURRENT_CONFIG"), 0x80000005},
};

// Keys that "ForceRemove" and "Delete" never delete.
constexpr WideStringView kProtectedKeys[] = {
    WTEXT("AppID"),    WTEXT("CLSID"),     WTEXT("Component Categories"),
    WTEXT("FileType"), WTEXT("Interface"), WTEXT("Hardware"),
    WTEXT("Mime"),     WTEXT("SAM"),       WTEXT("SECURITY"),
    WTEXT("SYSTEM"),   WTEXT("Software"),  WTEXT("TypeLib"),
};

bool IsWhiteSpace(WCHAR c) {
    return c == WCHAR{' '} || c == WCHAR{'\t'} || c == WCHAR{'\r'} || c == WCHAR{'\n'};
}

WideStringView Text(const std::array<WCHAR, 4096>& token) {
    return WideStringView(token.data());
}

bool Is(const std::array<WCHAR, 4096>& token, WideStringView word) {
    return EqualsIgnoringAsciiCase(Text(token), word);
}

// A key name names one subkey: not a path, and not empty, which the registry takes for the
// parent key itself (so that deleting it would delete the parent).
bool IsKeyName(const std::array<WCHAR, 4096>& token) {
    return token[0] != 0 && Text(token).find(WCHAR{'\\'}) == WideStringView::npos;
}

bool IsProtected(WideStringView name) {
    for (const WideStringView key : kProtectedKeys) {
        if (EqualsIgnoringAsciiCase(key, name)) return true;
    }
    return false;
}

HRESULT FromRegistry(LONG status) {
    return HResultFromWin32(static_cast<DWORD>(status));
}

// Runs `allocate`; a failed allocation in it, whether the heap's or the test switch's, becomes
// `outOfMemory`, so that a pass fails there as it fails anywhere else and is undone.
template <class Allocate>
HRESULT TryAllocating(Allocate&& allocate, HRESULT outOfMemory = E_OUTOFMEMORY) noexcept {
    if (AllocationFaultDue()) return outOfMemory;
    try {
        allocate();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    }
}

// "B" data of up to this many bytes is put together on the stack.
constexpr std::size_t kStackBinaryBytes = 256;

unsigned HexDigit(WCHAR c) {
    if (c >= WCHAR{'0'} && c <= WCHAR{'9'}) return static_cast<unsigned>(c - WCHAR{'0'});
    if (c >= WCHAR{'a'} && c <= WCHAR{'f'}) return static_cast<unsigned>(c - WCHAR{'a'} + 10);
    if (c >= WCHAR{'A'} && c <= WCHAR{'F'}) return static_cast<unsigned>(c - WCHAR{'A'} + 10);
    return 0;
}

}  // namespace

HRESULT RegScriptParser::ExpandReplacements(const WCHAR* script, WideString& out) const {
    if (script == nullptr) return E_POINTER;
    WideString expanded;
    const WideStringView text(script);
    RETURN_IF_FAILED(
        TryAllocating([&] { expanded.reserve(text.size() * 2 < 100 ? 1000 : text.size() * 2); }));
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != WCHAR{'%'}) {
            expanded.push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == WCHAR{'%'}) {
            expanded.push_back(WCHAR{'%'});
            ++i;
            continue;
        }
        const std::size_t close = text.find(WCHAR{'%'}, i + 1);
        if (close == WideStringView::npos) return DISP_E_EXCEPTION;
        const WideStringView name = text.substr(i + 1, close - i - 1);
        if (name.size() > kMaxReplacementName) return E_FAIL;
        const WideString* replacement = registrar_.FindReplacement(name);
        if (replacement == nullptr) return DISP_E_EXCEPTION;
        expanded += *replacement;
        i = close;
    }
    out = std::move(expanded);
    return S_OK;
}

void RegScriptParser::SkipWhiteSpace() noexcept {
    while (*position_ != 0 && IsWhiteSpace(*position_))
        position_ = CharNextW(position_);
}

HRESULT RegScriptParser::ReadToken(Token& token) {
    SkipWhiteSpace();
    if (*position_ == 0) return DISP_E_EXCEPTION;
    std::size_t length = 0;
    // One step of CharNextW may span several code units (a letter with the combining marks
    // after it, a surrogate pair): every one of them belongs to the token.
    const auto takeCharacter = [&] {
        for (const WCHAR* next = CharNextW(position_); position_ != next; ++position_) {
            if (length + 1 >= token.size()) return false;
            token[length++] = *position_;
        }
        return true;
    };
    if (*position_ != WCHAR{'\''}) {
        while (*position_ != 0 && !IsWhiteSpace(*position_)) {
            if (!takeCharacter()) return DISP_E_EXCEPTION;
        }
    } else {
        position_ = CharNextW(position_);
        for (;;) {
            if (*position_ == 0) return DISP_E_EXCEPTION;
            if (*position_ == WCHAR{'\''}) {
                position_ = CharNextW(position_);
                if (*position_ != WCHAR{'\''}) break;  // two quotes stand for one
            }
            if (!takeCharacter()) return DISP_E_EXCEPTION;
        }
    }
    token[length] = 0;
    return S_OK;
}

HRESULT RegScriptParser::RunScript(const WCHAR* script, bool doRegister) {
    WideString expanded;
    RETURN_IF_FAILED(ExpandReplacements(script, expanded));
    if (expanded.empty()) return S_OK;
    position_ = expanded.c_str();
    Token token{};
    HRESULT hr = S_OK;
    for (;;) {
        RETURN_IF_FAILED(ReadToken(token));
        HKEY root = nullptr;
        for (const RootKey& row : kRootKeys) {
            if (Is(token, row.name)) root = reinterpret_cast<HKEY>(row.key);
        }
        if (root == nullptr) return DISP_E_EXCEPTION;
        RETURN_IF_FAILED(ReadToken(token));
        if (token[0] != WCHAR{'{'}) return DISP_E_EXCEPTION;
        // Both passes read the block (a failed register pass is undone by the other).
        if (DeepestKeyLevel(1, true) > kMaxKeyLevel || DeepestKeyLevel(1, false) > kMaxKeyLevel) {
            return DISP_E_EXCEPTION;
        }
        if (doRegister) {
            const WCHAR* blockStart = position_;
            hr = ProcessKeyBlock(token, root, true, false, 1);
            if (FAILED(hr)) {
                // Undo what the failed block did, then report its failure.
                position_ = blockStart;
                (void)ProcessKeyBlock(token, root, false, false, 1);
                return hr;
            }
        } else {
            hr = ProcessKeyBlock(token, root, false, false, 1);
            if (FAILED(hr)) return hr;
        }
        SkipWhiteSpace();
        if (*position_ == 0) return hr;
    }
}

unsigned RegScriptParser::DeepestKeyLevel(unsigned level, bool doRegister) {
    const WCHAR* const start = position_;
    unsigned deepest = level;
    Token token{};
    // Each step mirrors what ProcessKeyEntry reads; any failure ends the count.
    const auto read = [&] { return SUCCEEDED(ReadToken(token)); };
    const auto skipValueClause = [&] {
        return token[0] != WCHAR{'='} || (read() && read() && read());
    };
    bool ok = read();
    while (ok && deepest <= kMaxKeyLevel) {
        if (Is(token, WTEXT("}"))) {
            if (--level == 0) break;
            ok = read();
            continue;
        }
        if (Is(token, WTEXT("ForceRemove")) || Is(token, WTEXT("Delete"))) {
            const bool deleteOnly = doRegister && Is(token, WTEXT("Delete"));
            ok = read();
            if (ok && deleteOnly) {  // the name, its value, and no block
                ok = read() && skipValueClause() && !Is(token, WTEXT("{"));
                continue;
            }
        }
        if (ok && Is(token, WTEXT("NoRemove"))) ok = read();
        if (ok && Is(token, WTEXT("Val"))) {
            ok = read() && read() && token[0] == WCHAR{'='} && skipValueClause() &&
                 !Is(token, WTEXT("{"));
            continue;
        }
        ok = ok && read() && skipValueClause();  // the key name, then its value
        if (ok && Is(token, WTEXT("{"))) {
            deepest = std::max(deepest, ++level);
            ok = read();
        }
    }
    position_ = start;
    return deepest;
}

HRESULT RegScriptParser::ProcessKeyBlock(Token& token, HKEY parent, bool doRegister,
                                         bool keyMissing, unsigned level) {
    // Checked again here, whatever the script holds: no recursion goes deeper.
    if (level > kMaxKeyLevel) return DISP_E_EXCEPTION;
    RETURN_IF_FAILED(ReadToken(token));
    UniqueHkey current;  // the key of the entry last opened in this block
    HRESULT hr = S_OK;
    while (!Is(token, WTEXT("}"))) {
        hr = ProcessKeyEntry(token, parent, doRegister, keyMissing, level, current);
        if (FAILED(hr)) return hr;
    }
    return hr;
}

HRESULT RegScriptParser::ProcessKeyEntry(Token& token, HKEY parent, bool doRegister,
                                         bool keyMissing, unsigned level, UniqueHkey& current) {
    if (Is(token, WTEXT("ForceRemove")) || Is(token, WTEXT("Delete"))) {
        const bool deleteOnly = Is(token, WTEXT("Delete"));
        RETURN_IF_FAILED(ReadToken(token));
        if (doRegister) {
            if (!IsKeyName(token)) return DISP_E_EXCEPTION;
            if (!IsProtected(Text(token))) (void)DeleteKeyTree(parent, token.data());
            if (deleteOnly) {
                RETURN_IF_FAILED(ReadToken(token));
                RETURN_IF_FAILED(SkipValueClause(token));
                // A block here would act on whatever key was opened last: refused.
                return Is(token, WTEXT("{")) ? DISP_E_EXCEPTION : S_OK;
            }
        }
    }
    bool noRemove = false;
    if (Is(token, WTEXT("NoRemove"))) {
        noRemove = true;
        RETURN_IF_FAILED(ReadToken(token));
    }
    if (Is(token, WTEXT("Val"))) {
        RETURN_IF_FAILED(ReadToken(token));
        WideString valueName;
        RETURN_IF_FAILED(TryAllocating([&] { valueName.assign(Text(token)); }));
        RETURN_IF_FAILED(ReadToken(token));
        if (token[0] != WCHAR{'='}) return DISP_E_EXCEPTION;
        if (doRegister) {
            RETURN_IF_FAILED(WriteValue(parent, valueName.c_str(), token));
        } else {
            if (!keyMissing && !noRemove) {
                UniqueHkey key;
                const LONG opened = RegOpenKeyExW(parent, nullptr, 0, kWriteOnly, key.put());
                if (opened != ERROR_SUCCESS) return FromRegistry(opened);
                const LONG deleted = RegDeleteValueW(key.get(), valueName.c_str());
                if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) {
                    return FromRegistry(deleted);
                }
            }
            RETURN_IF_FAILED(SkipValueClause(token));
        }
        return Is(token, WTEXT("{")) ? DISP_E_EXCEPTION : S_OK;
    }

    if (!IsKeyName(token)) return DISP_E_EXCEPTION;
    WideString name;
    RETURN_IF_FAILED(TryAllocating([&] { name.assign(Text(token)); }));
    if (doRegister) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, name.c_str(), 0, kReadWrite, &key) != ERROR_SUCCESS &&
            RegOpenKeyExW(parent, name.c_str(), 0, kReadOnly, &key) != ERROR_SUCCESS) {
            const LONG created =
                RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                kReadWrite, nullptr, &key, nullptr);
            if (created != ERROR_SUCCESS) return FromRegistry(created);
        }
        current.reset(key);
        RETURN_IF_FAILED(ReadToken(token));
        if (token[0] == WCHAR{'='}) RETURN_IF_FAILED(WriteValue(current.get(), nullptr, token));
        if (Is(token, WTEXT("{"))) {
            RETURN_IF_FAILED(ProcessKeyBlock(token, current.get(), true, false, level + 1));
            RETURN_IF_FAILED(ReadToken(token));
        }
        return S_OK;
    }

    LONG opened = ERROR_SUCCESS;
    if (!keyMissing) {
        HKEY key = nullptr;
        opened = RegOpenKeyExW(parent, name.c_str(), 0, kReadOnly, &key);
        current.reset(opened == ERROR_SUCCESS ? key : nullptr);
    }
    const bool entryMissing = keyMissing || opened != ERROR_SUCCESS;
    RETURN_IF_FAILED(ReadToken(token));
    RETURN_IF_FAILED(SkipValueClause(token));
    if (Is(token, WTEXT("{"))) {
        const HRESULT inner = ProcessKeyBlock(token, current.get(), false, entryMissing, level + 1);
        if (FAILED(inner) && !entryMissing) return inner;
        RETURN_IF_FAILED(ReadToken(token));
    }
    if (keyMissing || opened == ERROR_FILE_NOT_FOUND) return S_OK;
    if (opened != ERROR_SUCCESS) return FromRegistry(opened);
    DWORD subkeys = 0;
    if (RegQueryInfoKeyW(current.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        subkeys = 0;
    }
    const LONG closed = RegCloseKey(current.release());
    if (closed != ERROR_SUCCESS) return FromRegistry(closed);
    if (!noRemove && subkeys == 0) {
        const LONG deleted = DeleteRegistryKey(parent, name.c_str());
        if (deleted != ERROR_SUCCESS) return FromRegistry(deleted);
    }
    return S_OK;
}

HRESULT RegScriptParser::WriteValue(HKEY key, const WCHAR* valueName, Token& token) {
    RETURN_IF_FAILED(ReadToken(token));
    const WCHAR type = Text(token).size() == 1 ? FoldAsciiUpper(token[0]) : WCHAR{0};
    if (type != WCHAR{'s'} && type != WCHAR{'m'} && type != WCHAR{'d'} && type != WCHAR{'b'}) {
        return DISP_E_EXCEPTION;
    }
    RETURN_IF_FAILED(ReadToken(token));
    const WideStringView text = Text(token);
    LONG written = ERROR_SUCCESS;
    if (type == WCHAR{'s'}) {
        written =
            RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
    } else if (type == WCHAR{'d'}) {
        ULONG number = 0;
        RETURN_IF_FAILED(VarUI4FromStr(token.data(), 0, 0, &number));
        const DWORD value = number;
        written = RegSetValueExW(key, valueName, 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&value), sizeof value);
    } else if (type == WCHAR{'b'}) {
        if (text.size() % 2 != 0) return E_FAIL;
        const std::size_t size = text.size() / 2;
        std::array<BYTE, kStackBinaryBytes> small{};
        std::vector<BYTE> large;
        if (size > small.size())
            RETURN_IF_FAILED(TryAllocating([&] { large.resize(size); }, E_FAIL));
        const std::span<BYTE> bytes =
            size > small.size() ? std::span<BYTE>(large) : std::span<BYTE>(small).first(size);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const unsigned digit = HexDigit(text[i]);
            bytes[i / 2] = static_cast<BYTE>(bytes[i / 2] | (i % 2 == 0 ? digit << 4 : digit));
        }
        written =
            RegSetValueExW(key, valueName, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(size));
    } else {
        // "\0" separates the strings; the value ends with an empty string.
        WideString strings;
        RETURN_IF_FAILED(TryAllocating([&] { strings.reserve(text.size() + 2); }));
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == WCHAR{'\\'} && i + 1 < text.size() && text[i + 1] == WCHAR{'0'}) {
                strings.push_back(0);
                ++i;
            } else {
                strings.push_back(text[i]);
            }
        }
        strings.push_back(0);
        strings.push_back(0);
        written = RegSetValueExW(key, valueName, 0, REG_MULTI_SZ,
                                 reinterpret_cast<const BYTE*>(strings.data()),
                                 static_cast<DWORD>(strings.size() * sizeof(WCHAR)));
    }
    if (written != ERROR_SUCCESS) return FromRegistry(written);
    return ReadToken(token);
}

HRESULT RegScriptParser::SkipValueClause(Token& token) {
    if (token[0] != WCHAR{'='}) return S_OK;
    // The type and the value are read into the caller's buffer too, since neither is kept: no
    // scratch buffer, so none is on the stack of each nesting level that skips a value.
    RETURN_IF_FAILED(ReadToken(token));  // the type
    RETURN_IF_FAILED(ReadToken(token));  // the value
    return ReadToken(token);
}

}  // namespace pixelfold
