// probe/jpeg_reader.cpp: JPEG header reader, a walk over the marker segments.
#include <array>

#include "common/hr_error.h"
#include "plugin/host_codes.h"
#include "probe/endian.h"
#include "probe/readers.h"

namespace pixelfold {
namespace {

constexpr std::uint16_t kFrameHeaderBytes = 6;  // precision, lines, samples per line, components

HRESULT CommitFrameHeader(ByteStream& stream, const Marker& marker, BmpInfo& info) {
    if (marker.payloadLength < kFrameHeaderBytes) return FILE_E_BAD_FORMAT;
    std::array<std::uint8_t, kFrameHeaderBytes> frame{};
    if (!stream.ReadExact(frame)) return FILE_E_BAD_FORMAT;
    // 0: sample precision, not used: eight bits per component whatever the precision.
    // A height of 0 (lines given later in the file) is reported as 0.
    info.dims = Dimensions{LoadU16BE<3>(frame), LoadU16BE<1>(frame), 8 * std::int32_t{frame[5]}};
    return S_OK;
}

}  // namespace

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

HRESULT ReadJpegHeader(ByteStream& stream, BmpInfo& info) noexcept {
    return HrBoundary([&]() -> HRESULT {
        if (NextJpegMarker(stream).code != JpegMarker::kSoi) return FILE_E_BAD_FORMAT;
        for (;;) {
            const Marker marker = NextJpegMarker(stream);
            switch (marker.code) {
                case JpegMarker::kEoi:
                case JpegMarker::kSos:
                    return S_OK;  // no baseline or progressive frame before the scan
                case JpegMarker::kSof0:
                case JpegMarker::kSof2:
                    return CommitFrameHeader(stream, marker, info);
                default:
                    // Segments are passed over by seeking, never scanned: an EXIF thumbnail's
                    // own markers are never seen.
                    stream.SkipForward(marker.payloadLength);
            }
        }
    });
}

}  // namespace pixelfold
