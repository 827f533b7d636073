// platform/linux/code_page.cpp: single-byte and UTF-8 text to UTF-16, and the thread's last
// error code.
#include <array>
#include <optional>
#include <string>

#include "platform/linux/windows_api.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Windows-1252 at 0x80 to 0x9F; the five unassigned bytes map to the C1 controls, as
// Windows maps them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code point of the UTF-8 sequence at `pos`, advancing `pos`; nothing for an invalid
// sequence (overlong forms, surrogates and values above U+10FFFF are invalid).
std::optional<char32_t> NextUtf8(const unsigned char* text, std::size_t length, std::size_t& pos) {
    const unsigned char lead = text[pos];
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, code = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (length - pos <= static_cast<std::size_t>(extra)) return std::nullopt;
    for (int i = 1; i <= extra; ++i) {
        const unsigned char next = text[pos + static_cast<std::size_t>(i)];
        if ((next & 0xC0) != 0x80) return std::nullopt;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return code;
}

void AppendCodePoint(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    }
}

// UTF-8 with invalid sequences replaced, or nothing at the first invalid one when `strict`.
std::optional<std::u16string> DecodeUtf8(const unsigned char* text, std::size_t length,
                                         bool strict) {
    std::u16string out;
    out.reserve(length);
    for (std::size_t pos = 0; pos < length;) {
        const std::optional<char32_t> code = NextUtf8(text, length, pos);
        if (code) {
            AppendCodePoint(out, *code);
        } else if (strict) {
            return std::nullopt;
        } else {
            out.push_back(u'\xFFFD');
            ++pos;
        }
    }
    return out;
}

std::u16string DecodeCp1252(const unsigned char* text, std::size_t length) {
    std::u16string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char byte = text[i];
        out.push_back(byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t{byte});
    }
    return out;
}

int Fail(DWORD error) {
    lastError = error;
    return 0;
}

}  // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD error) {
    lastError = error;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR out,
                        int outLength) {
    // Lengths are always given: a length of -1 (the text up to its zero) is refused.
    if (text == nullptr || textLength <= 0 || outLength < 0 || (outLength > 0 && out == nullptr) ||
        flags != 0) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const auto length = static_cast<std::size_t>(textLength);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::u16string decoded;
    try {
        if (codePage == CP_UTF8) {
            decoded = *DecodeUtf8(bytes, length, false);
        } else if (codePage == CP_ACP || codePage == CP_THREAD_ACP) {
            std::optional<std::u16string> utf8 = DecodeUtf8(bytes, length, true);
            decoded = utf8 ? std::move(*utf8) : DecodeCp1252(bytes, length);
        } else {
            return Fail(ERROR_INVALID_PARAMETER);
        }
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (decoded.size() > 0x7FFFFFFF) return Fail(ERROR_NOT_ENOUGH_MEMORY);
    const int needed = static_cast<int>(decoded.size());
    if (outLength == 0) return needed;
    if (outLength < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
    decoded.copy(out, decoded.size());
    return needed;
}
