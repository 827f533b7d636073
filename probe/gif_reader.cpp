// probe/gif_reader.cpp: GIF header reader (signature and logical screen descriptor).
#include <array>

#include "bytes/endian.h"
#include "pixelfold/pixelfold.h"
#include "probe/readers.h"

namespace pixelfold {
namespace {

constexpr std::array<std::uint8_t, 3> kGifSignature = {'G', 'I', 'F'};
constexpr std::uint32_t kHeaderSize = 11;

}  // namespace

HRESULT ReadGifHeader(ByteStream& stream, BmpInfo& info) noexcept {
    if (info.fileSize < kHeaderSize) return FILE_E_BAD_FORMAT;

    std::array<std::uint8_t, kHeaderSize> header{};
    // 3: version, not examined (87a, 89a or anything else)
    if (!stream.ReadExact(header) || !BytesEqualAt(header, 0, kGifSignature))
        return FILE_E_BAD_FORMAT;

    // Colour resolution (bits 4 to 6 of the packed fields) plus one; the global colour table
    // flag and size are not used.
    const std::int32_t colorDepth = ((header[10] >> 4) & 7) + 1;
    info.dims = Dimensions{LoadU16LE<6>(header), LoadU16LE<8>(header), colorDepth};
    return S_OK;
}

}  // namespace pixelfold
