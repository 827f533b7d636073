// metadata/gif_items.cpp: block-derived property items of a GIF file.
#include "metadata/gif_items.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "bytes/endian.h"
#include "bytes/read_work.h"

namespace pixelfold {
namespace {

constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;
constexpr std::uint8_t kGraphicControl = 0xF9;
constexpr std::uint8_t kComment = 0xFE;
constexpr std::uint8_t kApplication = 0xFF;
constexpr std::array<std::uint8_t, 11> kNetscape = {'N', 'E', 'T', 'S', 'C', 'A',
                                                    'P', 'E', '2', '.', '0'};

struct GifState {
    std::vector<std::uint32_t> delays;
    // From a control block not yet used by a frame; -1: none.
    std::int64_t pendingDelay = -1;
    int pendingTransparent = -1;
    int firstTransparent = -1;
    std::optional<std::vector<std::uint8_t>> comment;
    std::uint16_t loopCount = 1;
};

// Reads a chain of data sub-blocks; collects their bytes when `out` is given. False when
// the file ends inside it.
bool ReadSubBlocks(ByteStream& stream, std::vector<std::uint8_t>* out) {
    std::array<std::uint8_t, 255> block{};
    for (;;) {
        const std::optional<std::uint8_t> size = stream.ReadByte();
        if (!size) return false;
        if (*size == 0) return true;
        const std::span<std::uint8_t> bytes(block.data(), *size);
        if (out == nullptr) {
            stream.SkipForward(*size);
        } else {
            if (!stream.ReadExact(bytes)) return false;
            if (out->size() < (1u << 20)) {
                out->insert(out->end(), bytes.begin(), bytes.end());
                read_work::Allocated(bytes.size());
            }
        }
    }
}

bool ReadExtension(ByteStream& stream, GifState& state) {
    const std::optional<std::uint8_t> label = stream.ReadByte();
    if (!label) return false;
    std::vector<std::uint8_t> data;
    if (!ReadSubBlocks(stream, &data)) return false;
    if (*label == kGraphicControl && data.size() >= 4) {
        state.pendingDelay = data[1] | data[2] << 8;
        state.pendingTransparent = (data[0] & 1) != 0 ? data[3] : -1;
    } else if (*label == kComment && !state.comment && state.delays.empty()) {
        // Only a comment before the first image counts; later ones belong to frames.
        state.comment = data;
        read_work::Allocated(data.size());
        TerminateAscii(*state.comment);
    } else if (*label == kApplication && data.size() >= 14 &&
               std::equal(kNetscape.begin(), kNetscape.end(), data.begin()) && data[11] == 1) {
        state.loopCount = static_cast<std::uint16_t>(data[12] | data[13] << 8);
    }
    return true;
}

bool ReadImage(ByteStream& stream, GifState& state) {
    std::array<std::uint8_t, 9> descriptor{};
    if (!stream.ReadExact(descriptor)) return false;
    if ((descriptor[8] & 0x80) != 0) stream.SkipForward(3u << ((descriptor[8] & 7) + 1));
    if (!stream.ReadByte()) return false;  // LZW minimum code size
    // A frame without a control block keeps the previous frame's delay.
    const std::uint32_t previous = state.delays.empty() ? 0 : state.delays.back();
    state.delays.push_back(state.pendingDelay >= 0 ? static_cast<std::uint32_t>(state.pendingDelay)
                                                   : previous);
    if (state.delays.size() == 1) state.firstTransparent = state.pendingTransparent;
    state.pendingDelay = -1;
    state.pendingTransparent = -1;
    return ReadSubBlocks(stream, nullptr);
}

}  // namespace

void AddGifItems(ByteStream& stream, PropertyItemList& items) {
    std::array<std::uint8_t, 13> header{};  // signature, version, logical screen descriptor
    if (!stream.ReadExact(header)) return;
    const bool hasGlobalTable = (header[10] & 0x80) != 0;
    std::vector<std::uint8_t> globalTable;
    if (hasGlobalTable) {
        globalTable.resize(std::size_t{3} << ((header[10] & 7) + 1));
        if (!stream.ReadExact(globalTable)) globalTable.clear();
    }

    GifState state;
    for (bool more = !hasGlobalTable || !globalTable.empty(); more;) {
        const std::optional<std::uint8_t> introducer = stream.ReadByte();
        if (!introducer) break;
        if (*introducer == kExtension) {
            more = ReadExtension(stream, state);
        } else if (*introducer == kImage) {
            more = ReadImage(stream, state) && state.delays.size() < PropertyItemList::kMaxItems;
        } else {
            more = false;  // the trailer, or damage
        }
    }

    if (state.delays.empty()) state.delays.push_back(0);
    items.Add(0x5100, PropertyType::kLong, Le32Bytes(state.delays));
    if (state.comment) items.Add(0x9286, PropertyType::kAscii, *state.comment);
    const std::array<std::uint8_t, 2> loop = {static_cast<std::uint8_t>(state.loopCount),
                                              static_cast<std::uint8_t>(state.loopCount >> 8)};
    items.Add(0x5101, PropertyType::kShort, loop);
    if (!globalTable.empty()) {
        items.Add(0x5102, PropertyType::kByte, globalTable);
        items.Add(0x5103, PropertyType::kByte, std::span<const std::uint8_t>(&header[11], 1));
    }
    if (state.firstTransparent >= 0) {
        const std::array<std::uint8_t, 1> index = {
            static_cast<std::uint8_t>(state.firstTransparent)};
        items.Add(0x5104, PropertyType::kByte, index);
    }
}

}  // namespace pixelfold
