// bytes/jpeg_markers.h: walking the marker segments of a JPEG file, for the header reader and
// the EXIF reader alike.
#pragma once

#include <cstdint>

#include "bytes/byte_stream.h"

namespace pixelfold {

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
// or the length field is cut off.
Marker NextJpegMarker(ByteStream& stream);

}  // namespace pixelfold
