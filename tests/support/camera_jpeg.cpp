// tests/support/camera_jpeg.cpp: a JPEG shaped like a camera's.
#include "support/camera_jpeg.h"

#include <string>

#include "support/tiff_builder.h"

namespace pixelfold::test {
namespace {

std::vector<std::uint32_t> Chars(const std::string& text) {
    std::vector<std::uint32_t> out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

TiffField Ascii(std::uint16_t tag, const std::string& text) {
    return {tag, 2, static_cast<std::uint32_t>(text.size() + 1), Chars(text)};
}

Bytes Segment(std::uint8_t code, const Bytes& payload) {
    Bytes b{0xFF, code};
    AppendBe16(b, static_cast<std::uint32_t>(payload.size() + 2));
    AppendBytes(b, payload);
    return b;
}

Bytes Exif() {
    Bytes thumbnail{0xFF, 0xD8};
    thumbnail.resize(24000, 0x55);
    Append(thumbnail, {0xFF, 0xD9});
    // A maker note laid out as the makers' own directory of 40 short entries, then padding.
    std::vector<std::uint32_t> makerNote = {40, 0};
    for (std::uint32_t tag = 1; tag <= 40; ++tag) {
        for (const std::uint32_t byte : {tag, 0u, 3u, 0u, 1u, 0u, 0u, 0u, tag, 0u, 0u, 0u})
            makerNote.push_back(byte);
    }
    makerNote.resize(2500, 0);
    auto build = [&](std::uint32_t thumbnailAt) {
        return BuildTiff(false,
                         {
                             {{Ascii(0x010F, "Canon"),
                               Ascii(0x0110, "Canon EOS 40D"),
                               {0x0112, 3, 1, {1}},
                               {0x011A, 5, 1, {72, 1}},
                               {0x011B, 5, 1, {72, 1}},
                               {0x0128, 3, 1, {2}},
                               Ascii(0x0131, "Firmware 1.0.3"),
                               Ascii(0x0132, "2008:07:31 10:38:11"),
                               {0x0213, 3, 1, {2}},
                               {0x8769, 4, 1, {}, 1},
                               {0x8825, 4, 1, {}, 2}},
                              3},
                             {{{0x829A, 5, 1, {1, 160}},
                               {0x829D, 5, 1, {71, 10}},
                               {0x8822, 3, 1, {1}},
                               {0x8827, 3, 1, {100}},
                               {0x9000, 7, 4, {'0', '2', '2', '1'}},
                               Ascii(0x9003, "2008:05:30 15:56:01"),
                               Ascii(0x9004, "2008:05:30 15:56:01"),
                               {0x9101, 7, 4, {1, 2, 3, 0}},
                               {0x9201, 10, 1, {483328, 65536}},
                               {0x9202, 5, 1, {368640, 65536}},
                               {0x9204, 10, 1, {0, 1}},
                               {0x9207, 3, 1, {5}},
                               {0x9209, 3, 1, {9}},
                               {0x920A, 5, 1, {135, 1}},
                               {0x927C, 7, static_cast<std::uint32_t>(makerNote.size()), makerNote},
                               {0x9286, 7, 264, std::vector<std::uint32_t>(264, 0)},
                               {0xA000, 7, 4, {'0', '1', '0', '0'}},
                               {0xA001, 3, 1, {1}},
                               {0xA002, 4, 1, {100}},
                               {0xA003, 4, 1, {68}},
                               {0xA20E, 5, 1, {3888000, 876}},
                               {0xA20F, 5, 1, {2592000, 583}},
                               {0xA401, 3, 1, {0}},
                               {0xA402, 3, 1, {1}},
                               {0xA403, 3, 1, {0}},
                               {0xA406, 3, 1, {0}}}},
                             {{{0x0000, 1, 4, {2, 2, 0, 0}},
                               Ascii(0x0001, "N"),
                               {0x0002, 5, 3, {43, 1, 28, 1, 281400000, 100000000}},
                               Ascii(0x0003, "E"),
                               {0x0004, 5, 3, {11, 1, 53, 1, 645599999, 100000000}},
                               {0x0006, 5, 1, {340, 1}}}},
                             {{{0x0103, 3, 1, {6}},
                               {0x011A, 5, 1, {72, 1}},
                               {0x011B, 5, 1, {72, 1}},
                               {0x0128, 3, 1, {2}},
                               {0x0201, 4, 1, {thumbnailAt}},
                               {0x0202, 4, 1, {static_cast<std::uint32_t>(thumbnail.size())}}}},
                         },
                         thumbnail);
    };
    const Bytes draft = build(0);
    Bytes payload;
    AppendText(payload, "Exif");
    Append(payload, {0, 0});
    const Bytes tiff = build(static_cast<std::uint32_t>(draft.size() - thumbnail.size()));
    AppendBytes(payload, tiff);
    return payload;
}

}  // namespace

CameraJpeg MakeCameraJpeg(std::size_t scanBytes) {
    Bytes jfif;
    AppendText(jfif, "JFIF");
    Append(jfif, {0, 1, 1, 1, 0, 72, 0, 72, 0, 0});
    Bytes dqt{0x00};
    for (int i = 0; i < 64; ++i)
        dqt.push_back(static_cast<std::uint8_t>(2 + i / 4));
    dqt.push_back(0x01);
    for (int i = 0; i < 64; ++i)
        dqt.push_back(static_cast<std::uint8_t>(3 + i / 3));
    Bytes sof{8, 0x0A, 0x20, 0x0F, 0x30, 3, 1, 0x21, 0, 2, 0x11, 1, 3, 0x11, 1};
    Bytes dht(418, 0);

    const Bytes metadata[] = {Segment(0xE0, jfif), Segment(0xE1, Exif()), Segment(0xDB, dqt),
                              Segment(0xC0, sof), Segment(0xC4, dht)};
    CameraJpeg jpeg{{0xFF, 0xD8}, 2};
    for (const Bytes& segment : metadata) {
        AppendBytes(jpeg.bytes, segment);
        jpeg.metadataBytes += segment.size();
    }
    const Bytes sos = Segment(0xDA, {3, 1, 0, 2, 0x11, 3, 0x11, 0, 0x3F, 0});
    AppendBytes(jpeg.bytes, sos);
    jpeg.metadataBytes += 4;  // the scan's marker and length end the walk
    for (std::size_t i = 0; i < scanBytes; ++i)
        jpeg.bytes.push_back(static_cast<std::uint8_t>((i * 37) % 0xFF));  // never 0xFF
    Append(jpeg.bytes, {0xFF, 0xD9});
    return jpeg;
}

}  // namespace pixelfold::test
