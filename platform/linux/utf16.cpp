// platform/linux/utf16.cpp: UTF-16 file names as the bytes that Linux calls take.
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

bool IsEscapedByte(char32_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

}  // namespace

std::optional<std::string> FileNameFromUtf16(const WCHAR* text) {
    std::string out;
    for (const WCHAR* p = text; *p != 0; ++p) {
        char32_t c = *p;
        if (IsEscapedByte(c)) {
            out += static_cast<char>(static_cast<unsigned char>(c - 0xDC00));
            continue;
        }
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
