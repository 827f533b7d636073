// metadata/jpeg_items.cpp: EXIF, comment and quantisation-table items of a JPEG file.
#include "metadata/jpeg_items.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "bytes/byte_source.h"
#include "bytes/jpeg_markers.h"
#include "bytes/read_work.h"
#include "common/hr_error.h"
#include "metadata/tiff_items.h"

namespace pixelfold {
namespace {

constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kCom = 0xFE;
constexpr std::uint8_t kDqt = 0xDB;
constexpr std::array<std::uint8_t, 6> kExifHeader = {'E', 'x', 'i', 'f', 0, 0};
constexpr PROPID kCommentId = 0x9286;
constexpr PROPID kLuminanceTableId = 0x5090;
constexpr PROPID kChrominanceTableId = 0x5091;

// Where the k-th value of a table in zig-zag order stands in row-major order.
// clang-format off
constexpr std::array<std::uint8_t, 64> kZigZagToNatural = {
     0,  1,  8, 16,  9,  2,  3, 10, 17, 24, 32, 25, 18, 11,  4,  5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13,  6,  7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};
// clang-format on

using QuantTable = std::array<std::uint8_t, 128>;  // 64 little-endian SHORTs, natural order

struct Collected {
    bool exifSeen = false;
    std::optional<std::vector<std::uint8_t>> comment;
    std::array<std::optional<QuantTable>, 2> tables;  // ids 0 and 1; 2 and 3 are not reported
};

// Each table: precision and id in one byte, then 64 values of 8 or 16 bits (big-endian).
void CollectTables(std::span<const std::uint8_t> payload, Collected& found) {
    std::size_t at = 0;
    while (at < payload.size()) {
        const std::uint8_t precision = payload[at] >> 4;
        const std::uint8_t id = payload[at] & 0x0F;
        const std::size_t valueSize = precision == 0 ? 1 : 2;
        ++at;
        if (payload.size() - at < 64 * valueSize) return;
        if (id < found.tables.size() && !found.tables[id]) {
            QuantTable table{};
            for (std::size_t k = 0; k < 64; ++k) {
                const std::uint16_t v = valueSize == 1
                                            ? payload[at + k]
                                            : static_cast<std::uint16_t>(payload[at + 2 * k] << 8 |
                                                                         payload[at + 2 * k + 1]);
                const std::size_t natural = kZigZagToNatural[k];
                table[2 * natural] = static_cast<std::uint8_t>(v);
                table[2 * natural + 1] = static_cast<std::uint8_t>(v >> 8);
            }
            found.tables[id] = table;
        }
        at += 64 * valueSize;
    }
}

void Collect(const Marker& marker, std::span<const std::uint8_t> payload, Collected& found,
             PropertyItemList& items) {
    if (marker.code == kApp1 && !found.exifSeen && payload.size() >= kExifHeader.size() &&
        std::equal(kExifHeader.begin(), kExifHeader.end(), payload.begin())) {
        found.exifSeen = true;
        MemorySource tiff(payload.subspan(kExifHeader.size()));
        AddTiffItems(tiff, TiffOrigin::kExifSegment, items);
    } else if (marker.code == kCom && !found.comment) {
        found.comment.emplace(payload.begin(), payload.end());
        read_work::Allocated(payload.size());
        TerminateAscii(*found.comment);
    } else if (marker.code == kDqt) {
        CollectTables(payload, found);
    }
}

bool Wanted(std::uint8_t code) {
    return code == kApp1 || code == kCom || code == kDqt;
}

void Walk(ByteStream& stream, Collected& found, PropertyItemList& items) {
    if (NextJpegMarker(stream).code != JpegMarker::kSoi) return;
    // Room for the largest segment, left uninitialised: each payload is read over it.
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(0xFFFF);
    for (;;) {
        const Marker marker = NextJpegMarker(stream);
        if (marker.code == JpegMarker::kSos || marker.code == JpegMarker::kEoi) return;
        if (!Wanted(marker.code)) {
            stream.SkipForward(marker.payloadLength);
            continue;
        }
        const std::span<std::uint8_t> payload(buffer.get(), marker.payloadLength);
        if (!stream.ReadExact(payload)) return;  // cut short inside the segment
        Collect(marker, payload, found, items);
    }
}

}  // namespace

void AddJpegItems(ByteStream& stream, PropertyItemList& items) {
    Collected found;
    try {
        Walk(stream, found, items);
    } catch (const HrError&) {
        // The end of the file before the scan: keep what was found.
    }
    if (found.comment) items.Add(kCommentId, PropertyType::kAscii, *found.comment);
    if (found.tables[1]) items.Add(kChrominanceTableId, PropertyType::kShort, *found.tables[1]);
    if (found.tables[0]) items.Add(kLuminanceTableId, PropertyType::kShort, *found.tables[0]);
}

}  // namespace pixelfold
