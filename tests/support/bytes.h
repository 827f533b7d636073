// tests/support/bytes.h: building byte-exact file headers in tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace pixelfold::test {

using Bytes = std::vector<std::uint8_t>;

// Appends fields in order: Bytes b; Append(b, {0x42, 0x4D}); AppendLe32(b, 40); ...
// Byte by byte: g++ 12 misreads ranged inserts into a growing vector as overflows.
inline void Append(Bytes& b, std::initializer_list<std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes)
        b.push_back(byte);
}
inline void AppendBytes(Bytes& b, const Bytes& more) {
    b.reserve(b.size() + more.size());
    for (const std::uint8_t byte : more)
        b.push_back(byte);
}
inline void AppendText(Bytes& b, std::string_view text) {
    for (const char c : text)
        b.push_back(static_cast<std::uint8_t>(c));
}
inline void AppendLe16(Bytes& b, std::uint32_t v) {
    Append(b, {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
}
inline void AppendLe32(Bytes& b, std::uint32_t v) {
    AppendLe16(b, v & 0xFFFF);
    AppendLe16(b, v >> 16);
}
inline void AppendBe16(Bytes& b, std::uint32_t v) {
    Append(b, {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}
inline void AppendBe32(Bytes& b, std::uint32_t v) {
    AppendBe16(b, v >> 16);
    AppendBe16(b, v & 0xFFFF);
}
inline void AppendZeros(Bytes& b, std::size_t count) {
    b.resize(b.size() + count);
}

// `b` with the byte at `offset` replaced.
inline Bytes With(Bytes b, std::size_t offset, std::uint8_t value) {
    b.at(offset) = value;
    return b;
}
// The first `count` bytes of `b`.
inline Bytes Truncated(Bytes b, std::size_t count) {
    b.resize(count);
    return b;
}

}  // namespace pixelfold::test
