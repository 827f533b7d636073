// tests/probe/header_readers_test.cpp: the BMP, PCX, GIF and PNG header readers.
#include <cstdint>

#include "probe/header_reader_test.h"
#include "bytes/memory_stream.h"
#include "support/param_name.h"

namespace pixelfold::test {
namespace {

TEST_P(HeaderReaderTest, ReadsOrRejects) {
    const ReaderCase& c = GetParam();
    MemoryStream stream(c.bytes);
    BmpInfo info;
    info.fileSize = c.fileSize.value_or(static_cast<std::uint32_t>(c.bytes.size()));
    info.dims = kSentinel;

    EXPECT_EQ(c.expected, c.reader(stream, info));
    EXPECT_EQ(SUCCEEDED(c.expected) ? c.dims : kSentinel, info.dims);
}

// A 127 x 64, 24-bit BMP with an information header of `headerSize` bytes (first 40 given).
Bytes InfoBmp(std::uint32_t headerSize = 40, std::uint32_t width = 127, std::uint32_t height = 64) {
    Bytes b;
    AppendText(b, "BM");        //  0: signature
    AppendLe32(b, 1000);        //  2: file size, not examined
    AppendLe32(b, 0);           //  6: reserved
    AppendLe32(b, 54);          // 10: pixel data offset
    AppendLe32(b, headerSize);  // 14: header size
    AppendLe32(b, width);       // 18: width
    AppendLe32(b, height);      // 22: height
    AppendLe16(b, 1);           // 26: planes, not used
    AppendLe16(b, 24);          // 28: bits per pixel
    AppendZeros(b, 24);         // 30: compression, sizes, resolutions, colour counts
    return b;
}

// A 26-byte BMP with a core header: 300 x 200, 8 bits per pixel.
Bytes CoreBmp() {
    Bytes b;
    AppendText(b, "BM");
    AppendLe32(b, 26);
    AppendLe32(b, 0);
    AppendLe32(b, 26);
    AppendLe32(b, 12);   // 14: header size
    AppendLe16(b, 300);  // 18: width
    AppendLe16(b, 200);  // 20: height
    AppendLe16(b, 1);    // 22: planes
    AppendLe16(b, 8);    // 24: bits per pixel
    return b;
}

constexpr HRESULT kBad = FILE_E_BAD_FORMAT;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Bmp, HeaderReaderTest, testing::Values(
    ReaderCase{"InfoHeader", ReadBmpHeader, InfoBmp(), S_OK, {127, 64, 24}},
    ReaderCase{"InfoHeaderInLongerFile", ReadBmpHeader, With(InfoBmp(), 28, 32), S_OK, {127, 64, 32}},
    ReaderCase{"CoreHeaderOf26Bytes", ReadBmpHeader, CoreBmp(), S_OK, {300, 200, 8}},
    ReaderCase{"FileOf25BytesIsNotRead", ReadBmpHeader, Truncated(CoreBmp(), 25), kBad, {}},
    ReaderCase{"RecordSizeBelow26IsNotRead", ReadBmpHeader, CoreBmp(), kBad, {}, 25},
    ReaderCase{"CoreFieldsAreUnsigned", ReadBmpHeader, With(With(CoreBmp(), 18, 0xFF), 19, 0xFF), S_OK, {65535, 200, 8}},
    ReaderCase{"InfoHeaderShorterThan54Bytes", ReadBmpHeader, Truncated(InfoBmp(), 53), kBad, {}},
    ReaderCase{"HeaderSize64ReadLike40", ReadBmpHeader, InfoBmp(64), S_OK, {127, 64, 24}},
    ReaderCase{"HeaderSize108ReadLike40", ReadBmpHeader, InfoBmp(108), S_OK, {127, 64, 24}},
    ReaderCase{"HeaderSize124ReadLike40", ReadBmpHeader, InfoBmp(124), S_OK, {127, 64, 24}},
    ReaderCase{"HeaderSizeAllOnesReadLike40", ReadBmpHeader, InfoBmp(0xFFFFFFFF), S_OK, {127, 64, 24}},
    ReaderCase{"HeaderSize0", ReadBmpHeader, InfoBmp(0), kBad, {}},
    ReaderCase{"HeaderSize11", ReadBmpHeader, InfoBmp(11), kBad, {}},
    ReaderCase{"HeaderSize13", ReadBmpHeader, InfoBmp(13), kBad, {}},
    ReaderCase{"HeaderSize39", ReadBmpHeader, InfoBmp(39), kBad, {}},
    ReaderCase{"TopDownKeepsNegativeHeight", ReadBmpHeader, InfoBmp(40, 127, static_cast<std::uint32_t>(-64)), S_OK, {127, -64, 24}},
    ReaderCase{"WidthIsSigned", ReadBmpHeader, InfoBmp(40, 0x80000000), S_OK, {INT32_MIN, 64, 24}},
    ReaderCase{"OS2ArraySignature", ReadBmpHeader, With(InfoBmp(), 1, 'A'), kBad, {}},
    ReaderCase{"CutInsideHeaderSize", ReadBmpHeader, Truncated(InfoBmp(), 16), kBad, {}, 54},
    ReaderCase{"CutInsideCoreHeader", ReadBmpHeader, Truncated(CoreBmp(), 24), kBad, {}, 26}),
    ParamName());

// A 640 x 480 PCX with 8 bits per plane (Xmin, Ymin 0; Xmax 639, Ymax 479).
Bytes Pcx(std::uint32_t xMin = 0, std::uint32_t yMin = 0, std::uint32_t xMax = 639, std::uint32_t yMax = 479) {
    Bytes b;
    Append(b, {0x0A, 0x05, 0x01, 0x08});  // 0: manufacturer, version, encoding, bits per pixel
    AppendLe16(b, xMin);                  // 4
    AppendLe16(b, yMin);                  // 6
    AppendLe16(b, xMax);                  // 8
    AppendLe16(b, yMax);                  // 10
    AppendZeros(b, 116);                  // 12: rest of the 128-byte header, not read
    return b;
}

INSTANTIATE_TEST_SUITE_P(Pcx, HeaderReaderTest, testing::Values(
    ReaderCase{"Header", ReadPcxHeader, Pcx(), S_OK, {640, 480, 8}},
    ReaderCase{"OriginAtOne", ReadPcxHeader, Pcx(1, 1, 640, 480), S_OK, {640, 480, 8}},
    ReaderCase{"AllZeroIsOneByOne", ReadPcxHeader, Bytes(12, 0), S_OK, {1, 1, 0}},
    ReaderCase{"XminAboveXmax", ReadPcxHeader, Pcx(10, 0, 5, 0), S_OK, {-4, 1, 8}},
    ReaderCase{"FullRangeDoesNotWrap", ReadPcxHeader, Pcx(0, 0, 0xFFFF, 0xFFFF), S_OK, {65536, 65536, 8}},
    ReaderCase{"AnyTwelveBytesAreAccepted", ReadPcxHeader, Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}, S_OK, {0x6C72 - 0x206F + 1, 0x2164 - 0x6F77 + 1, 'l'}},
    ReaderCase{"ElevenBytes", ReadPcxHeader, Truncated(Pcx(), 11), kBad, {}}),
    ParamName());

// A 320 x 200 GIF logical screen with packed fields `packed`.
Bytes Gif(std::uint8_t packed = 0xF7, std::string_view version = "89a") {
    Bytes b;
    AppendText(b, "GIF");
    AppendText(b, version);  // 3: not examined
    AppendLe16(b, 320);      // 6: logical screen width
    AppendLe16(b, 200);      // 8: logical screen height
    Append(b, {packed, 0x00, 0x00});  // 10: packed fields; background colour, aspect ratio
    return b;
}

INSTANTIATE_TEST_SUITE_P(Gif, HeaderReaderTest, testing::Values(
    ReaderCase{"Packed00IsDepth1", ReadGifHeader, Gif(0x00), S_OK, {320, 200, 1}},
    ReaderCase{"Packed70IsDepth8", ReadGifHeader, Gif(0x70), S_OK, {320, 200, 8}},
    ReaderCase{"PackedF7IsDepth8", ReadGifHeader, Gif(0xF7), S_OK, {320, 200, 8}},
    ReaderCase{"Packed91IsDepth2", ReadGifHeader, Gif(0x91), S_OK, {320, 200, 2}},
    ReaderCase{"Version87a", ReadGifHeader, Gif(0xF7, "87a"), S_OK, {320, 200, 8}},
    ReaderCase{"UnknownVersionIsAccepted", ReadGifHeader, Gif(0xF7, "99z"), S_OK, {320, 200, 8}},
    ReaderCase{"ElevenBytesAreEnough", ReadGifHeader, Truncated(Gif(), 11), S_OK, {320, 200, 8}},
    ReaderCase{"TenBytesAreNotRead", ReadGifHeader, Truncated(Gif(), 10), kBad, {}},
    ReaderCase{"RecordSizeBelow11IsNotRead", ReadGifHeader, Gif(), kBad, {}, 10},
    ReaderCase{"CutBeforePackedFields", ReadGifHeader, Truncated(Gif(), 10), kBad, {}, 11},
    ReaderCase{"WrongSignature", ReadGifHeader, With(Gif(), 0, 'g'), kBad, {}},
    ReaderCase{"FieldsAreUnsigned", ReadGifHeader, With(With(Gif(), 6, 0xFF), 7, 0xFF), S_OK, {65535, 200, 8}}),
    ParamName());

// A 2 x 3, 16-bit greyscale PNG header.
Bytes Png() {
    return {
        0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,  //  0: signature
        0x00, 0x00, 0x00, 0x0D,                       //  8: first chunk length = 13
        'I', 'H', 'D', 'R',                           // 12: first chunk type
        0x00, 0x00, 0x00, 0x02,                       // 16: width
        0x00, 0x00, 0x00, 0x03,                       // 20: height
        0x10,                                         // 24: bit depth -> colour depth
        0x00, 0x00, 0x00, 0x00,                       // 25: colour type, methods: not used
        0xDE, 0xAD, 0xBE, 0xEF,                       // 29: checksum, never read
    };
}

INSTANTIATE_TEST_SUITE_P(Png, HeaderReaderTest, testing::Values(
    ReaderCase{"Header", ReadPngHeader, Png(), S_OK, {2, 3, 16}},
    ReaderCase{"RgbaReportsSampleDepth", ReadPngHeader, With(With(Png(), 24, 8), 25, 6), S_OK, {2, 3, 8}},
    ReaderCase{"BadChecksumIsNotNoticed", ReadPngHeader, With(Png(), 29, 0x00), S_OK, {2, 3, 16}},
    ReaderCase{"NoChecksumAtAll", ReadPngHeader, Truncated(Png(), 29), S_OK, {2, 3, 16}},
    ReaderCase{"WrongSignature", ReadPngHeader, With(Png(), 1, 'p'), kBad, {}},
    ReaderCase{"FirstChunkLength12", ReadPngHeader, With(Png(), 11, 0x0C), kBad, {}},
    ReaderCase{"FirstChunkLengthHighByte", ReadPngHeader, With(Png(), 8, 0x01), kBad, {}},
    ReaderCase{"FirstChunkNotIhdr", ReadPngHeader, With(Png(), 12, 'i'), kBad, {}},
    ReaderCase{"StopsInsideIhdr", ReadPngHeader, Truncated(Png(), 28), kBad, {}},
    ReaderCase{"StopsInsideSignature", ReadPngHeader, Truncated(Png(), 7), kBad, {}},
    ReaderCase{"WidthOf2To31IsNegative", ReadPngHeader, With(Png(), 16, 0x80), S_OK, {INT32_MIN + 2, 3, 16}}),
    ParamName());
// clang-format on

}  // namespace
}  // namespace pixelfold::test
