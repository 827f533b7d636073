// probe/pcx_reader.cpp: PCX header reader.
#include <array>

#include "bytes/endian.h"
#include "pixelfold/pixelfold.h"
#include "probe/readers.h"

namespace pixelfold {

HRESULT ReadPcxHeader(ByteStream& stream, BmpInfo& info) noexcept {
    std::array<std::uint8_t, 12> header{};
    // 0: manufacturer, version, encoding: read, not examined. No byte is tested.
    if (!stream.ReadExact(header)) return FILE_E_BAD_FORMAT;

    const std::int32_t xMin = LoadU16LE<4>(header);
    const std::int32_t yMin = LoadU16LE<6>(header);
    const std::int32_t xMax = LoadU16LE<8>(header);
    const std::int32_t yMax = LoadU16LE<10>(header);
    // Xmin above Xmax gives a width of 0 or less; the depth is that of one colour plane.
    info.dims = Dimensions{xMax - xMin + 1, yMax - yMin + 1, header[3]};
    return S_OK;
}

}  // namespace pixelfold
