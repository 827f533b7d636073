// bytes/jpeg_markers.cpp: the next marker of a JPEG file.
#include "bytes/jpeg_markers.h"

#include <array>
#include <optional>

#include "bytes/endian.h"
#include "common/hr_error.h"
#include "pixelfold/pixelfold.h"

namespace pixelfold {

Marker NextJpegMarker(ByteStream& stream) {
    // Anything before the next 0xFF is skipped without complaint.
    for (;;) {
        const std::optional<std::uint8_t> byte = stream.ReadByte();
        if (!byte) ThrowHr(FILE_E_BAD_FORMAT);
        if (*byte == JpegMarker::kFill) break;
    }
    // Further 0xFF bytes are fill bytes; the byte after the last one is the marker code.
    std::optional<std::uint8_t> code;
    do {
        code = stream.ReadByte();
    } while (code == JpegMarker::kFill);
    if (!code) ThrowHr(E_FAIL);  // the end of the file in place of the marker code

    if (*code == JpegMarker::kSoi || *code == JpegMarker::kEoi) return Marker{*code, 0};
    std::array<std::uint8_t, 2> length{};
    if (!stream.ReadExact(length)) ThrowHr(E_FAIL);
    // The length counts its own two bytes; a stored 0 or 1 wraps to 65534 or 65535.
    return Marker{*code, static_cast<std::uint16_t>(LoadU16BE<0>(length) - 2)};
}

}  // namespace pixelfold
