// platform/linux/guid_text.cpp: GUIDs to and from their braced text.
#include "platform/linux/guid_text.h"

#include <array>

namespace pixelfold {
namespace {

// The 16 bytes of a GUID in the order its text shows them.
std::array<std::uint8_t, 16> TextOrder(const GUID& guid) noexcept {
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(guid.Data1 >> (24 - 8 * i));
    bytes[4] = static_cast<std::uint8_t>(guid.Data2 >> 8);
    bytes[5] = static_cast<std::uint8_t>(guid.Data2);
    bytes[6] = static_cast<std::uint8_t>(guid.Data3 >> 8);
    bytes[7] = static_cast<std::uint8_t>(guid.Data3);
    for (int i = 0; i < 8; ++i)
        bytes[8 + i] = guid.Data4[i];
    return bytes;
}

// Where a hyphen stands after the byte of this index.
constexpr bool HyphenAfter(std::size_t byte) noexcept {
    return byte == 3 || byte == 5 || byte == 7 || byte == 9;
}

int HexValue(WCHAR c) noexcept {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

}  // namespace

WideString GuidText(const GUID& guid) {
    WideString text = u"{";
    const auto bytes = TextOrder(guid);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text += u"0123456789ABCDEF"[bytes[i] >> 4];
        text += u"0123456789ABCDEF"[bytes[i] & 15];
        if (HyphenAfter(i)) text += u'-';
    }
    return text + u"}";
}

std::optional<GUID> GuidFromText(WideStringView text) noexcept {
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    std::size_t at = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = HexValue(text[at]);
        const int low = HexValue(text[at + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
        at += 2;
        if (HyphenAfter(i) && text[at++] != u'-') return std::nullopt;
    }
    GUID guid{};
    guid.Data1 =
        static_cast<std::uint32_t>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
    guid.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    guid.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = bytes[8 + i];
    return guid;
}

}  // namespace pixelfold
