// tests/probe/jpeg_reader_test.cpp: the JPEG marker walk.
#include "bytes/jpeg_markers.h"
#include "common/hr_error.h"
#include "probe/header_reader_test.h"
#include "bytes/memory_stream.h"
#include "support/param_name.h"

namespace pixelfold::test {
namespace {

// A marker segment: 0xFF, the code, the big-endian length (payload + 2), the payload.
Bytes Segment(std::uint8_t code, const Bytes& payload) {
    Bytes b{0xFF, code};
    AppendBe16(b, static_cast<std::uint32_t>(payload.size() + 2));
    b.insert(b.end(), payload.begin(), payload.end());
    return b;
}

// A frame header payload: precision, lines, samples per line, components and their specs.
Bytes Frame(std::uint32_t width, std::uint32_t height, std::uint8_t components,
            std::uint8_t precision = 8) {
    Bytes b{precision};
    AppendBe16(b, height);
    AppendBe16(b, width);
    b.push_back(components);
    for (int i = 1; i <= components; ++i)
        Append(b, {static_cast<std::uint8_t>(i), 0x11, 0x00});
    return b;
}

Bytes Jfif() {
    Bytes b;
    AppendText(b, "JFIF");
    Append(b, {0x00, 0x01, 0x02, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00});
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& part : parts)
        b.insert(b.end(), part.begin(), part.end());
    return b;
}

const Bytes kSoi{0xFF, 0xD8};
const Bytes kEoi{0xFF, 0xD9};
const Bytes kSos = Segment(0xDA, {0x01, 0x01, 0x00, 0x00, 0x3F, 0x00});
const Bytes kScanData{0x12, 0x34, 0x56};

// A greyscale baseline image: SOI, APP0, a quantisation table, SOF0, SOS, data, EOI.
Bytes Baseline(std::uint32_t width = 640, std::uint32_t height = 480, std::uint8_t components = 1,
               std::uint8_t sof = 0xC0) {
    return Cat({kSoi, Segment(0xE0, Jfif()), Segment(0xDB, Bytes(65, 1)),
                Segment(sof, Frame(width, height, components)), kSos, kScanData, kEoi});
}

// An EXIF segment of `size` payload bytes whose thumbnail is a complete 160 x 120 JPEG.
Bytes ExifWithThumbnail(std::size_t size) {
    Bytes payload;
    AppendText(payload, "Exif");
    Append(payload, {0x00, 0x00});
    const Bytes thumbnail = Baseline(160, 120, 3);
    payload.insert(payload.end(), thumbnail.begin(), thumbnail.end());
    payload.resize(size, 0xFF);  // padding of 0xFF bytes, which a scan would take for markers
    return Segment(0xE1, payload);
}

constexpr HRESULT kBad = FILE_E_BAD_FORMAT;
const Bytes kNoFrame =
    Cat({kSoi, Segment(0xE0, Jfif()), Segment(0xC1, Frame(64, 32, 3)), kSos, kEoi});

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jpeg, HeaderReaderTest, testing::Values(
    ReaderCase{"GreyBaseline", ReadJpegHeader, Baseline(), S_OK, {640, 480, 8}},
    ReaderCase{"ColourProgressive", ReadJpegHeader, Baseline(800, 600, 3, 0xC2), S_OK, {800, 600, 24}},
    ReaderCase{"CmykIs32Bits", ReadJpegHeader, Baseline(16, 16, 4), S_OK, {16, 16, 32}},
    ReaderCase{"TwelveBitPrecisionIgnored", ReadJpegHeader, Cat({kSoi, Segment(0xC0, Frame(9, 7, 3, 12)), kEoi}), S_OK, {9, 7, 24}},
    ReaderCase{"FieldsAreUnsigned", ReadJpegHeader, Baseline(65535, 65535, 255), S_OK, {65535, 65535, 8 * 255}},
    ReaderCase{"StrayBytesBeforeSoi", ReadJpegHeader, Cat({{0x00, 0x12, 0xFE}, Baseline()}), S_OK, {640, 480, 8}},
    ReaderCase{"StrayBytesBetweenSegments", ReadJpegHeader, Cat({kSoi, {0x00, 0x01}, Segment(0xC0, Frame(5, 6, 1)), kEoi}), S_OK, {5, 6, 8}},
    ReaderCase{"FillBytesBeforeMarkerCode", ReadJpegHeader, Cat({kSoi, {0xFF, 0xFF, 0xFF}, Segment(0xC0, Frame(5, 6, 1))}), S_OK, {5, 6, 8}},
    ReaderCase{"FillBytesBeforeSoi", ReadJpegHeader, Cat({{0xFF, 0xFF}, Baseline()}), S_OK, {640, 480, 8}},
    ReaderCase{"ThumbnailIsNotTheImage", ReadJpegHeader, Cat({kSoi, ExifWithThumbnail(2000), Segment(0xC0, Frame(4000, 3000, 3)), kSos, kEoi}), S_OK, {4000, 3000, 24}},
    ReaderCase{"HeightGivenLater", ReadJpegHeader, Baseline(320, 0, 3), S_OK, {320, 0, 24}},
    ReaderCase{"FrameLength8Succeeds", ReadJpegHeader, Cat({kSoi, Segment(0xC0, Truncated(Frame(5, 6, 3), 6)), kEoi}), S_OK, {5, 6, 24}},
    ReaderCase{"FrameLength7Fails", ReadJpegHeader, Cat({kSoi, Segment(0xC0, Truncated(Frame(5, 6, 3), 5)), kEoi}), kBad, {}},
    ReaderCase{"FrameCutByEndOfFile", ReadJpegHeader, Truncated(Cat({kSoi, Segment(0xC0, Frame(5, 6, 3))}), 9), kBad, {}},
    ReaderCase{"ExtendedFrameOnlyStopsAtScan", ReadJpegHeader, kNoFrame, S_OK, kUntouched},
    ReaderCase{"LosslessFrameOnlyStopsAtScan", ReadJpegHeader, With(kNoFrame, 21, 0xC3), S_OK, kUntouched},
    ReaderCase{"EndOfImageBeforeFrame", ReadJpegHeader, Cat({kSoi, kEoi, Segment(0xC0, Frame(5, 6, 1))}), S_OK, kUntouched},
    ReaderCase{"FirstMarkerIsEoi", ReadJpegHeader, Cat({kEoi, Baseline()}), kBad, {}},
    ReaderCase{"FirstMarkerIsFrame", ReadJpegHeader, Segment(0xC0, Frame(5, 6, 1)), kBad, {}},
    ReaderCase{"FirstMarkerCutBeforeLength", ReadJpegHeader, Bytes{0xFF, 0xC4}, E_FAIL, {}},
    ReaderCase{"SoiOnly", ReadJpegHeader, kSoi, kBad, {}},
    ReaderCase{"SoiThenLoneFF", ReadJpegHeader, Bytes{0xFF, 0xD8, 0xFF}, E_FAIL, {}},
    ReaderCase{"SoiThenFillBytesOnly", ReadJpegHeader, Bytes{0xFF, 0xD8, 0xFF, 0xFF, 0xFF}, E_FAIL, {}},
    ReaderCase{"LengthCutInHalf", ReadJpegHeader, Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0x00}, E_FAIL, {}},
    ReaderCase{"NoFF", ReadJpegHeader, Bytes(10, 0x00), kBad, {}},
    ReaderCase{"SegmentRunsPastEnd", ReadJpegHeader, Cat({kSoi, {0xFF, 0xE1, 0x40, 0x00, 0x01, 0x02}}), kBad, {}},
    ReaderCase{"SegmentLengthZeroWraps", ReadJpegHeader, Cat({kSoi, {0xFF, 0xE1, 0x00, 0x00}, Segment(0xC0, Frame(5, 6, 1))}), kBad, {}}),
    ParamName());
// clang-format on

struct MarkerCase {
    std::string name;
    Bytes bytes;
    std::uint8_t code;
    std::uint16_t payloadLength;
    std::size_t endPosition;  // where the stream stands afterwards: the first payload byte
};

class JpegMarkerTest : public testing::TestWithParam<MarkerCase> {};

TEST_P(JpegMarkerTest, FindsMarker) {
    const MarkerCase& c = GetParam();
    MemoryStream stream(c.bytes);
    const Marker marker = NextJpegMarker(stream);
    EXPECT_EQ(c.code, marker.code);
    EXPECT_EQ(c.payloadLength, marker.payloadLength);
    EXPECT_EQ(c.endPosition, stream.position());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Markers, JpegMarkerTest, testing::Values(
    MarkerCase{"SoiHasNoLength", {0xFF, 0xD8, 0x00, 0x10}, 0xD8, 0, 2},
    MarkerCase{"EoiHasNoLength", {0xFF, 0xD9}, 0xD9, 0, 2},
    MarkerCase{"LengthCountsItself", {0xFF, 0xE0, 0x00, 0x10}, 0xE0, 14, 4},
    MarkerCase{"LengthTwoIsEmpty", {0xFF, 0xFE, 0x00, 0x02}, 0xFE, 0, 4},
    MarkerCase{"LengthZeroWrapsTo65534", {0xFF, 0xE1, 0x00, 0x00}, 0xE1, 65534, 4},
    MarkerCase{"LengthOneWrapsTo65535", {0xFF, 0xE1, 0x00, 0x01}, 0xE1, 65535, 4},
    MarkerCase{"SkipsBytesBeforeFF", {0x01, 0x02, 0xFF, 0xDB, 0x00, 0x43}, 0xDB, 65, 6},
    MarkerCase{"SkipsFillBytes", {0xFF, 0xFF, 0xFF, 0xC0, 0x00, 0x11}, 0xC0, 15, 6}),
    ParamName());
// clang-format on

}  // namespace
}  // namespace pixelfold::test
