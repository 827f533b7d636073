// bytes/endian.h: fields of fixed header blocks, decoded at their file offsets with an
// explicit byte order. The offset is a template argument, so a field outside the block does
// not compile.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace pixelfold {

template <std::size_t Offset, std::size_t N>
constexpr std::uint16_t LoadU16LE(const std::array<std::uint8_t, N>& b) {
    static_assert(Offset + 2 <= N, "field lies outside the header block");
    return static_cast<std::uint16_t>(b[Offset] | b[Offset + 1] << 8);
}

template <std::size_t Offset, std::size_t N>
constexpr std::uint16_t LoadU16BE(const std::array<std::uint8_t, N>& b) {
    static_assert(Offset + 2 <= N, "field lies outside the header block");
    return static_cast<std::uint16_t>(b[Offset] << 8 | b[Offset + 1]);
}

template <std::size_t Offset, std::size_t N>
constexpr std::uint32_t LoadU32LE(const std::array<std::uint8_t, N>& b) {
    static_assert(Offset + 4 <= N, "field lies outside the header block");
    return std::uint32_t{b[Offset]} | std::uint32_t{b[Offset + 1]} << 8 |
           std::uint32_t{b[Offset + 2]} << 16 | std::uint32_t{b[Offset + 3]} << 24;
}

template <std::size_t Offset, std::size_t N>
constexpr std::uint32_t LoadU32BE(const std::array<std::uint8_t, N>& b) {
    static_assert(Offset + 4 <= N, "field lies outside the header block");
    return std::uint32_t{b[Offset]} << 24 | std::uint32_t{b[Offset + 1]} << 16 |
           std::uint32_t{b[Offset + 2]} << 8 | std::uint32_t{b[Offset + 3]};
}

// A 32-bit field stored as it stands, sign included (two's complement).
template <std::size_t Offset, std::size_t N>
constexpr std::int32_t LoadI32LE(const std::array<std::uint8_t, N>& b) {
    return static_cast<std::int32_t>(LoadU32LE<Offset>(b));
}

template <std::size_t Offset, std::size_t N>
constexpr std::int32_t LoadI32BE(const std::array<std::uint8_t, N>& b) {
    return static_cast<std::int32_t>(LoadU32BE<Offset>(b));
}

// True when `expected` stands in `block` from offset `at`.
template <std::size_t N, std::size_t M>
constexpr bool BytesEqualAt(const std::array<std::uint8_t, N>& block, std::size_t at,
                            const std::array<std::uint8_t, M>& expected) {
    return at + M <= N && std::equal(expected.begin(), expected.end(), block.begin() + at);
}

namespace detail {
inline constexpr std::array<std::uint8_t, 5> kEndianSample = {0x01, 0x02, 0x03, 0x04, 0x80};
}  // namespace detail
static_assert(LoadU16LE<0>(detail::kEndianSample) == 0x0201);
static_assert(LoadU16BE<0>(detail::kEndianSample) == 0x0102);
static_assert(LoadU32LE<0>(detail::kEndianSample) == 0x04030201);
static_assert(LoadU32BE<1>(detail::kEndianSample) == 0x02030480);
static_assert(LoadI32LE<1>(detail::kEndianSample) == static_cast<std::int32_t>(0x80040302u));

}  // namespace pixelfold
