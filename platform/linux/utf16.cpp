// platform/linux/utf16.cpp: UTF-16 to UTF-8 for handing Windows-style text to Linux calls.
#include "platform/linux/utf16.h"

namespace pixelfold::platform {
namespace {

bool IsHighSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t c) {
    const auto byte = [](char32_t bits) {
        return static_cast<char>(static_cast<unsigned char>(bits));
    };
    if (c < 0x80) {
        out += byte(c);
    } else if (c < 0x800) {
        out += byte(0xC0 | (c >> 6));
        out += byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += byte(0xE0 | (c >> 12));
        out += byte(0x80 | ((c >> 6) & 0x3F));
        out += byte(0x80 | (c & 0x3F));
    } else {
        out += byte(0xF0 | (c >> 18));
        out += byte(0x80 | ((c >> 12) & 0x3F));
        out += byte(0x80 | ((c >> 6) & 0x3F));
        out += byte(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::optional<std::string> Utf16ToUtf8(const WCHAR* text) {
    std::string out;
    for (const WCHAR* p = text; *p != 0; ++p) {
        char32_t c = *p;
        if (IsLowSurrogate(c)) return std::nullopt;
        if (IsHighSurrogate(c)) {
            const char32_t low = p[1];
            if (!IsLowSurrogate(low)) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++p;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace pixelfold::platform
