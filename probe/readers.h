// probe/readers.h: the five header readers. Each takes the open stream at offset 0 and the
// navigator's record, reads the file size (BMP and GIF only) and writes only the three header
// values, all together and only on success. None raises anything to its caller.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "probe/bmp_info.h"
#include "probe/byte_stream.h"

namespace pixelfold {

using HeaderReader = HRESULT (*)(ByteStream& stream, BmpInfo& info) noexcept;

// S_OK or FILE_E_BAD_FORMAT. Reads at most 54 bytes; needs a file of at least 26 bytes.
HRESULT ReadBmpHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK or FILE_E_BAD_FORMAT. Reads 12 bytes and tests none of them.
HRESULT ReadPcxHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK or FILE_E_BAD_FORMAT. Reads 11 bytes; needs a file of at least 11 bytes.
HRESULT ReadGifHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK or FILE_E_BAD_FORMAT. Reads the signature and the first chunk, which must be a 13-byte
// IHDR; the chunk's checksum is not read.
HRESULT ReadPngHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK, FILE_E_BAD_FORMAT or E_FAIL. Walks the marker segments to the first baseline or
// progressive frame header; reaching the scan or the end of image first is S_OK with the
// record untouched.
HRESULT ReadJpegHeader(ByteStream& stream, BmpInfo& info) noexcept;

namespace JpegMarker {
inline constexpr std::uint8_t kSof0 = 0xC0;  // baseline frame
inline constexpr std::uint8_t kSof2 = 0xC2;  // progressive frame
inline constexpr std::uint8_t kSoi = 0xD8;   // start of image
inline constexpr std::uint8_t kEoi = 0xD9;   // end of image
inline constexpr std::uint8_t kSos = 0xDA;   // start of scan
inline constexpr std::uint8_t kFill = 0xFF;  // fill byte before a marker code
}  // namespace JpegMarker

struct Marker {
    std::uint8_t code;
    std::uint16_t payloadLength;  // segment length - 2, wrapping as unsigned 16-bit
};

// The next marker from the current position, with the stream left at its first payload
// byte. Throws HrError: FILE_E_BAD_FORMAT when no 0xFF is left, E_FAIL when the marker code
// or the length field is cut off. Only ReadJpegHeader calls it.
Marker NextJpegMarker(ByteStream& stream);

}  // namespace pixelfold
