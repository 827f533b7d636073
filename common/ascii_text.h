// common/ascii_text.h: comparisons of UTF-16 text that fold only the letters A to Z.
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

static_assert(EqualsIgnoringAsciiCase(WTEXT("JpG"), WTEXT("jpg")));
static_assert(!EqualsIgnoringAsciiCase(WTEXT("jpg "), WTEXT("jpg")));
static_assert(FoldAsciiUpper(WCHAR{0xC9}) == WCHAR{0xC9}, "only A to Z fold");

}  // namespace pixelfold
