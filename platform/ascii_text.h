// platform/ascii_text.h: comparisons of UTF-16 text that fold only the letters A to Z.
#pragma once

#include "platform/wide_string.h"

namespace pixelfold {

// Folds only 'A'..'Z' onto 'a'..'z'; every other code unit is compared as is.
constexpr WCHAR FoldAsciiUpper(WCHAR c) noexcept {
    return (c >= WCHAR{'A'} && c <= WCHAR{'Z'}) ? static_cast<WCHAR>(c + (WCHAR{'a'} - WCHAR{'A'}))
                                                : c;
}

// Whole-string equality under FoldAsciiUpper.
constexpr bool EqualsIgnoringAsciiCase(WideStringView a, WideStringView b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAsciiUpper(a[i]) != FoldAsciiUpper(b[i])) return false;
    }
    return true;
}

// NUL-terminated `text` (null reads as empty) equals `b` under FoldAsciiUpper. Reads at most
// one code unit past `b`'s length, so a long text costs no more than a short one.
constexpr bool TextEqualsIgnoringAsciiCase(const WCHAR* text, WideStringView b) noexcept {
    if (text == nullptr) return b.empty();
    for (const WCHAR c : b) {
        if (*text == 0 || FoldAsciiUpper(*text) != FoldAsciiUpper(c)) return false;
        ++text;
    }
    return *text == 0;
}

static_assert(EqualsIgnoringAsciiCase(WTEXT("JpG"), WTEXT("jpg")));
static_assert(TextEqualsIgnoringAsciiCase(WTEXT("wIDTH"), WTEXT("Width")));
static_assert(!TextEqualsIgnoringAsciiCase(WTEXT("Widths"), WTEXT("Width")));
static_assert(!TextEqualsIgnoringAsciiCase(WTEXT("Wid"), WTEXT("Width")));
static_assert(TextEqualsIgnoringAsciiCase(nullptr, WTEXT("")));
static_assert(!EqualsIgnoringAsciiCase(WTEXT("jpg "), WTEXT("jpg")));
static_assert(FoldAsciiUpper(WCHAR{0xC9}) == WCHAR{0xC9}, "only A to Z fold");

}  // namespace pixelfold
