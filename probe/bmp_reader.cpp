// probe/bmp_reader.cpp: BMP header reader (core and information headers).
#include <array>
#include <span>

#include "bytes/endian.h"
#include "pixelfold/pixelfold.h"
#include "probe/readers.h"

namespace pixelfold {
namespace {

constexpr std::array<std::uint8_t, 2> kBmpSignature = {'B', 'M'};
constexpr std::uint32_t kMinimumFileSize = 26;  // file header and a core header
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

}  // namespace

HRESULT ReadBmpHeader(ByteStream& stream, BmpInfo& info) noexcept {
    if (info.fileSize < kMinimumFileSize) return FILE_E_BAD_FORMAT;

    std::array<std::uint8_t, 54> header{};  // file offsets 0..53
    const std::span<std::uint8_t> all(header);
    // 0: signature; 2: file size, reserved words, pixel data offset: read, not examined
    if (!stream.ReadExact(all.subspan(0, 14)) || !BytesEqualAt(header, 0, kBmpSignature))
        return FILE_E_BAD_FORMAT;
    if (!stream.ReadExact(all.subspan(14, 4))) return FILE_E_BAD_FORMAT;
    const std::uint32_t headerSize = LoadU32LE<14>(header);

    if (headerSize == kCoreHeaderSize) {
        // 22: planes, not used
        if (!stream.ReadExact(all.subspan(18, 8))) return FILE_E_BAD_FORMAT;
        info.dims = Dimensions{LoadU16LE<18>(header), LoadU16LE<20>(header), LoadU16LE<24>(header)};
        return S_OK;
    }
    if (headerSize < kInfoHeaderSize) return FILE_E_BAD_FORMAT;
    // Only the first 40 bytes of any longer header are read. 26: planes, not used;
    // 30: compression, image size, resolutions, colour counts: read, not examined.
    if (!stream.ReadExact(all.subspan(18, 36))) return FILE_E_BAD_FORMAT;
    // A top-down BMP keeps its negative height.
    info.dims = Dimensions{LoadI32LE<18>(header), LoadI32LE<22>(header), LoadU16LE<28>(header)};
    return S_OK;
}

}  // namespace pixelfold
