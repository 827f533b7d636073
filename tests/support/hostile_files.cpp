// tests/support/hostile_files.cpp: the worst small files for the property item readers.
#include "support/hostile_files.h"

#include <cstdint>

namespace pixelfold::test {
namespace {

constexpr std::uint32_t kMaxSegmentPayload = 0xFFFF - 2;
constexpr std::uint16_t kByte = 1;
constexpr std::uint16_t kAscii = 2;
constexpr std::uint16_t kLong = 4;
constexpr std::uint32_t kFarOutside = 0xFFFFFF00;
constexpr std::uint32_t kValueCap = 16u << 20;

struct RawEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value;
};

// A little-endian TIFF structure: the header, one directory at offset 8 (linked to `next`),
// then `after` from offset 8 + 2 + 12 * entries + 4.
Bytes Tiff(const std::vector<RawEntry>& entries, std::uint32_t next = 0, const Bytes& after = {}) {
    Bytes b;
    AppendText(b, "II");
    AppendLe16(b, 42);
    AppendLe32(b, 8);
    AppendLe16(b, static_cast<std::uint32_t>(entries.size()));
    for (const RawEntry& e : entries) {
        AppendLe16(b, e.tag);
        AppendLe16(b, e.type);
        AppendLe32(b, e.count);
        AppendLe32(b, e.value);
    }
    AppendLe32(b, next);
    AppendBytes(b, after);
    return b;
}

constexpr std::uint32_t AfterDirectory(std::size_t entries) {
    return static_cast<std::uint32_t>(8 + 2 + 12 * entries + 4);
}

Bytes ExifPayload(const Bytes& tiff) {
    Bytes b;
    AppendText(b, "Exif");
    Append(b, {0, 0});
    AppendBytes(b, tiff);
    return b;
}

void AppendSegment(Bytes& b, std::uint8_t code, const Bytes& payload) {
    Append(b, {0xFF, code});
    AppendBe16(b, static_cast<std::uint32_t>(payload.size() + 2));
    AppendBytes(b, payload);
}

// A 1x1 greyscale baseline JPEG with `segments` (APP1 payloads) before its frame.
Bytes Jpeg(const std::vector<Bytes>& app1Payloads) {
    Bytes b;
    Append(b, {0xFF, 0xD8});
    for (const Bytes& payload : app1Payloads)
        AppendSegment(b, 0xE1, payload);
    AppendSegment(b, 0xC0, {8, 0, 1, 0, 1, 1, 1, 0x11, 0});
    AppendSegment(b, 0xDA, {1, 1, 0, 0, 0x3F, 0});
    Append(b, {0x00, 0xFF, 0xD9});
    return b;
}

// BYTE entries each declaring the largest value the reader keeps, all outside the file.
std::vector<RawEntry> EntriesOutside(std::size_t count) {
    std::vector<RawEntry> entries;
    for (std::size_t i = 0; i < count; ++i)
        entries.push_back(
            {static_cast<std::uint16_t>(0x1000 + i), kByte, kValueCap - 1, kFarOutside});
    return entries;
}

// ASCII entries that all point at one value of `valueSize` bytes right after the directory.
Bytes SharedValueTiff(std::size_t entryCount, std::uint32_t valueSize, std::uint8_t fill) {
    std::vector<RawEntry> entries;
    for (std::size_t i = 0; i < entryCount; ++i)
        entries.push_back({static_cast<std::uint16_t>(0x1000 + i), kAscii, valueSize,
                           AfterDirectory(entryCount)});
    return Tiff(entries, 0, Bytes(valueSize, fill));
}

void AppendPngChunk(Bytes& b, std::string_view type, const Bytes& data,
                    std::uint32_t declared = 0) {
    AppendBe32(b, declared != 0 ? declared : static_cast<std::uint32_t>(data.size()));
    AppendText(b, type);
    AppendBytes(b, data);
    AppendBe32(b, 0);  // the checksum, which the readers do not check
}

Bytes PngStart() {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    AppendBe32(header, 1);
    AppendBe32(header, 1);
    Append(header, {8, 0, 0, 0, 0});
    AppendPngChunk(b, "IHDR", header);
    return b;
}

Bytes GifStart() {
    Bytes b;
    AppendText(b, "GIF89a");
    AppendLe16(b, 1);
    AppendLe16(b, 1);
    Append(b, {0, 0, 0});  // no global colour table
    return b;
}

void AppendGifFrame(Bytes& b) {
    Append(b, {0x21, 0xF9, 4, 0, 10, 0, 0, 0});  // graphic control: a delay of 10
    Append(b, {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});
    Append(b, {2, 1, 0x44, 0});  // LZW code size, one sub-block of one byte, the end
}

std::vector<HostileFile> JpegFiles() {
    std::vector<HostileFile> files;
    const std::size_t fitting = (kMaxSegmentPayload - 6 - AfterDirectory(0)) / 12;
    files.push_back(
        {"exif-entries-outside.jpg", Jpeg({ExifPayload(Tiff(EntriesOutside(fitting)))})});
    files.push_back(
        {"exif-shared-value.jpg", Jpeg({ExifPayload(SharedValueTiff(2000, 40000, 'a'))})});

    // IFD0 links to itself as the next directory, and its Exif and GPS pointers point into it.
    const std::vector<RawEntry> looping = {
        {0x010F, kAscii, 4, 0x00616263}, {0x8769, kLong, 1, 8}, {0x8825, kLong, 1, 10}};
    files.push_back({"exif-loops.jpg", Jpeg({ExifPayload(Tiff(looping, 8))})});

    std::vector<Bytes> segments(16, ExifPayload(Tiff(EntriesOutside(fitting))));
    files.push_back({"many-app1.jpg", Jpeg(segments)});
    return files;
}

std::vector<HostileFile> TiffFiles() {
    std::vector<HostileFile> files;
    files.push_back({"tiff-entries-outside.tif", Tiff(EntriesOutside(65535))});
    files.push_back({"tiff-shared-zeros.tif", SharedValueTiff(40000, 512 * 1024, 0)});

    // Small values scattered back and forth over the file.
    constexpr std::size_t kScattered = 20000;
    constexpr std::uint32_t kSpan = 1000000 - AfterDirectory(kScattered);
    std::vector<RawEntry> scattered;
    for (std::size_t i = 0; i < kScattered; ++i) {
        const auto offset =
            static_cast<std::uint32_t>(AfterDirectory(kScattered) + (i * 7919 % (kSpan / 8)) * 8);
        scattered.push_back({static_cast<std::uint16_t>(0x1000 + i), kAscii, 8, offset});
    }
    files.push_back({"tiff-scattered.tif", Tiff(scattered, 0, Bytes(kSpan, 'b'))});

    // Every entry an Exif pointer into the directory itself, each at an entry whose first
    // bytes read as a count of 0x8769 entries.
    std::vector<RawEntry> pointers;
    for (std::size_t i = 0; i < 65535; ++i)
        pointers.push_back({0x8769, kLong, 1, static_cast<std::uint32_t>(10 + 12 * i)});
    files.push_back({"tiff-many-exif-pointers.tif", Tiff(pointers)});
    return files;
}

std::vector<HostileFile> PngAndGifFiles() {
    constexpr std::size_t kSize = 1000000;
    std::vector<HostileFile> files;

    Bytes tiny = PngStart();
    while (tiny.size() < kSize)
        AppendPngChunk(tiny, "tEXt", {'T', 'i', 't', 'l', 'e', 0, 'x'});
    AppendPngChunk(tiny, "IEND", {});
    files.push_back({"png-tiny-chunks.png", tiny});

    Bytes declared = PngStart();
    AppendPngChunk(declared, "tEXt", {'T', 'i', 't', 'l', 'e', 0, 'x'}, 1u << 20);
    files.push_back({"png-declares-more.png", declared});

    Bytes blocks = GifStart();
    Append(blocks, {0x21, 0xFE});
    while (blocks.size() < kSize)
        Append(blocks, {1, 'c'});
    Append(blocks, {0, 0x3B});
    files.push_back({"gif-tiny-blocks.gif", blocks});

    Bytes frames = GifStart();
    while (frames.size() < kSize)
        AppendGifFrame(frames);
    Append(frames, {0x3B});
    files.push_back({"gif-many-frames.gif", frames});
    return files;
}

}  // namespace

std::vector<HostileFile> HostileFiles() {
    std::vector<HostileFile> files = JpegFiles();
    for (std::vector<HostileFile> more : {TiffFiles(), PngAndGifFiles()})
        files.insert(files.end(), more.begin(), more.end());
    return files;
}

}  // namespace pixelfold::test
