// fuzz/registrar.cpp: runs arbitrary registration scripts, register pass then unregister pass,
// with the module's replacements filled in, against the in-process registry. Scripts may name
// only the root HKEY_CURRENT_CONFIG ("HKCC"), which is emptied after each input; any change
// under another root is a finding, and so is a key under HKCC that the script does not name
// and that is gone after the two passes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "module/registrar/reg_object.h"
#include "platform/platform.h"
#include "platform/registry_keys.h"
#include "platform/utf8.h"

namespace {

using namespace pixelfold;

// True when `word` (lower case) stands in `text` at `at`, letters A to Z folded.
bool FoldedAt(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = text[at + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != word[i]) return false;
    }
    return true;
}

bool Mentions(std::string_view text, std::string_view word) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (FoldedAt(text, at, word)) return true;
    }
    return false;
}

// True when every "HK" in the text begins a name of the private root.
bool NamesOnlyThePrivateRoot(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (FoldedAt(text, at, "hk") && !FoldedAt(text, at, "hkcc") &&
            !FoldedAt(text, at, "hkey_current_config")) {
            return false;
        }
    }
    return true;
}

// A key under the private root that only a script naming it may delete.
constexpr const WCHAR* kSentinel = WTEXT("Sentinel\\Child");

bool SentinelIsThere() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_CONFIG, kSentinel, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Subkeys and values directly under each other root: a write anywhere below one shows here.
std::array<DWORD, 12> OtherRoots() {
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,     HKEY_LOCAL_MACHINE,
                          HKEY_USERS,        HKEY_PERFORMANCE_DATA, HKEY_DYN_DATA};
    std::array<DWORD, 12> counts{};
    for (std::size_t i = 0; i < std::size(roots); ++i) {
        RegQueryInfoKeyW(roots[i], nullptr, nullptr, nullptr, &counts[2 * i], nullptr, nullptr,
                         &counts[2 * i + 1], nullptr, nullptr, nullptr, nullptr);
    }
    return counts;
}

void EmptyThePrivateRoot() {
    WCHAR name[256];
    for (;;) {
        DWORD length = 256;
        if (RegEnumKeyExW(HKEY_CURRENT_CONFIG, 0, name, &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS ||
            DeleteKeyTree(HKEY_CURRENT_CONFIG, name) != ERROR_SUCCESS) {
            break;
        }
    }
    for (;;) {
        DWORD length = 256;
        if (RegEnumValueW(HKEY_CURRENT_CONFIG, 0, name, &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS ||
            RegDeleteValueW(HKEY_CURRENT_CONFIG, name) != ERROR_SUCCESS) {
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!NamesOnlyThePrivateRoot(text)) return 0;
    static const std::array<DWORD, 12> before = OtherRoots();

    HKEY sentinel = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_CONFIG, kSentinel, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &sentinel, nullptr) != ERROR_SUCCESS) {
        std::abort();
    }
    RegCloseKey(sentinel);

    CRegObject registrar;
    (void)registrar.AddReplacement(WTEXT("Module"), WTEXT("/opt/pixel'fold/libpixelfold.so"));
    (void)registrar.AddReplacement(WTEXT("Module_Raw"), WTEXT("/opt/pixel'fold/libpixelfold.so"));
    (void)registrar.AddReplacement(WTEXT("APPID"), WTEXT("{A191D39B-7240-4DD8-809C-0164872003CC}"));
    const WideString script = Utf16FromUtf8(text);
    (void)registrar.RunScript(script.c_str(), true);
    (void)registrar.RunScript(script.c_str(), false);

    if (OtherRoots() != before) std::abort();
    if (!Mentions(text, "sentinel") && !Mentions(text, "child") && !SentinelIsThere()) {
        std::abort();
    }
    EmptyThePrivateRoot();
    return 0;
}
