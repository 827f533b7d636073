// tests/support/test_images.cpp: small, complete image files.
#include "support/test_images.h"

#include <vector>

#include "support/tiff_builder.h"

namespace pixelfold::test {
namespace {

std::vector<std::uint32_t> AsciiNumbers(const std::string& text) {
    std::vector<std::uint32_t> out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

TiffField Ascii(std::uint16_t tag, const std::string& text) {
    const std::vector<std::uint32_t> numbers = AsciiNumbers(text);
    return {tag, 2, static_cast<std::uint32_t>(numbers.size()), numbers};
}

}  // namespace

Bytes SmallBmp(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t pixelBytes = rowBytes * height;
    Bytes b;
    AppendText(b, "BM");
    AppendLe32(b, 54 + pixelBytes);
    AppendLe32(b, 0);
    AppendLe32(b, 54);
    AppendLe32(b, 40);
    AppendLe32(b, width);
    AppendLe32(b, height);
    AppendLe16(b, 1);
    AppendLe16(b, 24);
    AppendZeros(b, 24);
    AppendZeros(b, pixelBytes);
    return b;
}

Bytes GammaPng() {
    return {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
            0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00,
            0x00, 0x3A, 0x7E, 0x9B, 0x55, 0x00, 0x00, 0x00, 0x04, 0x67, 0x41, 0x4D, 0x41, 0x00,
            0x00, 0xB1, 0x8F, 0x0B, 0xFC, 0x61, 0x05, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41,
            0x54, 0x78, 0x9C, 0x63, 0x68, 0x00, 0x00, 0x00, 0x82, 0x00, 0x81, 0x77, 0xCD, 0x72,
            0xB6, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
}

Bytes TaggedTiff(const TiffTags& tags) {
    const Bytes pixel = {0x80};
    // The pixel follows the directory; its offset is known once the directory is laid out.
    const auto build = [&](std::uint32_t pixelOffset) {
        TiffIfd ifd;
        ifd.fields = {
            {256, 4, 1, {1}},  // ImageWidth
            {257, 4, 1, {1}},  // ImageLength
            {258, 3, 1, {8}},  // BitsPerSample
            {259, 3, 1, {1}},  // Compression: none
            {262, 3, 1, {1}},  // PhotometricInterpretation: black is zero
            Ascii(271, tags.make),      Ascii(272, tags.model),
            {273, 4, 1, {pixelOffset}},  // StripOffsets
            {274, 3, 1, {6}},            // Orientation
            {277, 3, 1, {1}},            // SamplesPerPixel
            {278, 4, 1, {1}},            // RowsPerStrip
            {279, 4, 1, {1}},            // StripByteCounts
            {282, 5, 1, {72, 1}},        // XResolution
            {283, 5, 1, {72, 1}},        // YResolution
            {296, 3, 1, {2}},            // ResolutionUnit: inch
            {297, 3, 2, {1, 2}},         // PageNumber
            Ascii(306, tags.dateTime),  Ascii(315, tags.artist),
        };
        if (!tags.secondMake.empty())
            ifd.fields.insert(ifd.fields.begin() + 6, Ascii(271, tags.secondMake));
        return BuildTiff(false, {ifd}, pixel);
    };
    const Bytes draft = build(0);
    return build(static_cast<std::uint32_t>(draft.size() - pixel.size()));
}

}  // namespace pixelfold::test
