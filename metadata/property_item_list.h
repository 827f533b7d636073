// metadata/property_item_list.h: collects property items and lays them out as GDI+ does: all
// records, then all value bytes packed in item order, in one block from the C heap.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/property_item.h"

namespace pixelfold {

// GDI+ property type codes.
namespace PropertyType {
inline constexpr WORD kByte = 1;
inline constexpr WORD kAscii = 2;
inline constexpr WORD kShort = 3;
inline constexpr WORD kLong = 4;
inline constexpr WORD kRational = 5;
inline constexpr WORD kUndefined = 7;
inline constexpr WORD kSLong = 9;
inline constexpr WORD kSRational = 10;
}  // namespace PropertyType

// Makes `text` end in exactly one zero byte: trailing zeros are dropped, then one is added.
inline void TerminateAscii(std::vector<std::uint8_t>& text) {
    while (!text.empty() && text.back() == 0)
        text.pop_back();
    text.push_back(0);
}

// 32-bit numbers as the little-endian value bytes of a LONG or RATIONAL item.
inline std::vector<std::uint8_t> Le32Bytes(std::span<const std::uint32_t> numbers) {
    std::vector<std::uint8_t> out;
    out.reserve(4 * numbers.size());
    for (const std::uint32_t n : numbers) {
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<std::uint8_t>(n >> shift));
    }
    return out;
}

// All property items of one image in one block, and their count.
struct PropertyItemBlock {
    PropertyItemBuffer items;
    std::uint32_t count = 0;
};

class PropertyItemList {
  public:
    // Limits for untrusted files: the value bytes of all items, and the number of items.
    static constexpr std::size_t kMaxValueBytes = std::size_t{16} << 20;
    static constexpr std::size_t kMaxItems = 16384;
    // Enough for the EXIF of most cameras without growing.
    static constexpr std::size_t kInitialValueBytes = 64 * 1024;

    // Adds an item with a copy of `value`; false (and nothing added) once a limit is reached.
    bool Add(PROPID id, WORD type, std::span<const std::uint8_t> value);
    // True when `bytes` more value bytes would still fit.
    bool Fits(std::size_t bytes) const noexcept;
    std::size_t size() const noexcept { return items_.size(); }

    // The block: records, then values. Throws std::bad_alloc when the heap cannot supply it.
    PropertyItemBlock Pack() const;
    // The size of that block in bytes, and the same layout written into `block`, which must
    // be suitably aligned for PropertyItem and hold PackedSize() bytes.
    std::size_t PackedSize() const noexcept;
    void PackInto(void* block) const noexcept;

  private:
    struct Entry {
        PROPID id;
        WORD type;
        std::size_t offset;  // into values_
        std::size_t length;
    };
    std::vector<Entry> items_;
    std::vector<std::uint8_t> values_;
};

}  // namespace pixelfold
