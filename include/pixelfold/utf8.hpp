// pixelfold/utf8.hpp: UTF-16 text (BSTRs, OLECHAR strings) as UTF-8 and back, for hosts that
// print and take UTF-8, and file names carried without loss. C++17, with only include/ on the
// include path.
#pragma once

#include <string>
#include <string_view>

#include "pixelfold/pixelfold.h"

namespace pixelfold {

// An unpaired surrogate becomes U+FFFD.
inline std::string Utf8FromUtf16(std::basic_string_view<OLECHAR> text) {
    std::string out;
    out.reserve(text.size());
    const auto put = [&out](char32_t c) { out.push_back(static_cast<char>(c)); };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            put(code);
        } else if (code < 0x800) {
            put(0xC0 | code >> 6);
            put(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            put(0xE0 | code >> 12);
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        } else {
            put(0xF0 | code >> 18);
            put(0x80 | (code >> 12 & 0x3F));
            put(0x80 | (code >> 6 & 0x3F));
            put(0x80 | (code & 0x3F));
        }
    }
    return out;
}

namespace utf8_detail {

// UTF-8 to UTF-16; each byte that does not begin a valid sequence becomes `invalid(byte)`.
template <class Invalid>
std::basic_string<OLECHAR> DecodeUtf8(std::string_view text, Invalid invalid) {
    std::basic_string<OLECHAR> out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80         ? 0
                          : (lead >> 5) == 6  ? 1
                          : (lead >> 4) == 14 ? 2
                          : (lead >> 3) == 30 ? 3
                                              : -1;
        char32_t code = extra == 0   ? lead
                        : extra == 1 ? (lead & 0x1F)
                        : extra == 2 ? (lead & 0x0F)
                                     : (lead & 0x07);
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms are refused too, so that each text has one decoding and back.
        constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (!valid || code < kSmallest[extra] || code > 0x10FFFF ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            out.push_back(invalid(lead));
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<OLECHAR>(0xD800 + (code >> 10)));
            out.push_back(static_cast<OLECHAR>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<OLECHAR>(code));
        }
    }
    return out;
}

}  // namespace utf8_detail

// Invalid UTF-8 bytes become U+FFFD.
inline std::basic_string<OLECHAR> Utf16FromUtf8(std::string_view text) {
    return utf8_detail::DecodeUtf8(text,
                                   [](unsigned char) { return static_cast<OLECHAR>(0xFFFD); });
}

// A file name's bytes as UTF-16, losing nothing: each byte that is not part of valid UTF-8
// becomes the lone surrogate U+DC00 + byte (U+DC80 to U+DCFF), which the platform turns back
// into that byte when it opens the file. Valid UTF-8 maps as Utf16FromUtf8 maps it.
inline std::basic_string<OLECHAR> Utf16FromFileName(std::string_view name) {
    return utf8_detail::DecodeUtf8(
        name, [](unsigned char byte) { return static_cast<OLECHAR>(0xDC00 + byte); });
}

}  // namespace pixelfold
