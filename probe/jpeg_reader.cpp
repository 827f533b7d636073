// probe/jpeg_reader.cpp: JPEG header reader, a walk over the marker segments.
#include <array>

#include "bytes/endian.h"
#include "bytes/jpeg_markers.h"
#include "common/hr_error.h"
#include "pixelfold/pixelfold.h"
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
