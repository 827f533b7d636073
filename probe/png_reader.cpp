// probe/png_reader.cpp: PNG header reader (signature and IHDR).
#include <array>
#include <span>

#include "bytes/endian.h"
#include "pixelfold/pixelfold.h"
#include "probe/readers.h"

namespace pixelfold {
namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::array<std::uint8_t, 4> kIhdrType = {'I', 'H', 'D', 'R'};
constexpr std::uint32_t kIhdrLength = 13;

}  // namespace

HRESULT ReadPngHeader(ByteStream& stream, BmpInfo& info) noexcept {
    std::array<std::uint8_t, 29> header{};  // file offsets 0..28
    const std::span<std::uint8_t> all(header);

    if (!stream.ReadExact(all.subspan(0, 8)) || !BytesEqualAt(header, 0, kPngSignature))
        return FILE_E_BAD_FORMAT;
    if (!stream.ReadExact(all.subspan(8, 4)) || LoadU32BE<8>(header) != kIhdrLength)
        return FILE_E_BAD_FORMAT;
    if (!stream.ReadExact(all.subspan(12, 4)) || !BytesEqualAt(header, 12, kIhdrType))
        return FILE_E_BAD_FORMAT;
    // 25: colour type, compression, filter and interlace methods: read, not used.
    // 29: the checksum is never read.
    if (!stream.ReadExact(all.subspan(16, 13))) return FILE_E_BAD_FORMAT;

    // A width or height of 2^31 or more is kept as read and reads back negative. The depth
    // is the bit depth of one sample, not of a pixel.
    info.dims = Dimensions{LoadI32BE<16>(header), LoadI32BE<20>(header), header[24]};
    return S_OK;
}

}  // namespace pixelfold
