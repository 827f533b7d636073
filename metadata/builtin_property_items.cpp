// metadata/builtin_property_items.cpp: format detection and dispatch of the built-in reader.
#include "metadata/builtin_property_items.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "bytes/file_reader.h"
#include "common/hr_error.h"
#include "metadata/gif_items.h"
#include "metadata/jpeg_items.h"
#include "metadata/png_items.h"
#include "metadata/tiff_items.h"
#include "platform/unique.h"

namespace pixelfold {
namespace {

// The first read takes the file's first 64 KiB (or all of a smaller file): a JPEG's metadata
// segments and a TIFF's directories lie there as a rule. PNG and GIF keep theirs anywhere
// among the image data, which the readers pass over: there the blocks grow to 1 MiB, so that
// such a file costs about one read per MiB of it however small its chunks or blocks.
constexpr std::size_t kFirstBlockSize = 64 * 1024;
constexpr std::size_t kPassingBlockSize = 1024 * 1024;

enum class Format { kJpeg, kTiff, kPng, kGif, kBmp, kUnknown };

template <std::size_t N>
bool StartsWith(const std::array<std::uint8_t, 8>& head, const char (&text)[N]) {
    return std::equal(text, text + N - 1, head.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

Format Detect(const std::array<std::uint8_t, 8>& head) {
    if (head[0] == 0xFF && head[1] == 0xD8) return Format::kJpeg;
    if (StartsWith(head, "II*\0") || StartsWith(head, "MM\0*")) return Format::kTiff;
    if (StartsWith(head, "\x89PNG\r\n\x1A\n")) return Format::kPng;
    if (StartsWith(head, "GIF87a") || StartsWith(head, "GIF89a")) return Format::kGif;
    if (StartsWith(head, "BM")) return Format::kBmp;
    return Format::kUnknown;
}

HRESULT CollectItems(const WCHAR* path, PropertyItemList& items) {
    const UniqueCrtFile file(_wfsopen(path, WTEXT("rb"), _SH_DENYWR));
    if (!file) return E_FAIL;
    // Not cleared: only what a read fills is looked at.
    const auto block = std::make_unique_for_overwrite<std::uint8_t[]>(kFirstBlockSize);
    FileReader reader(file.get(), std::span(block.get(), kFirstBlockSize));
    std::unique_ptr<std::uint8_t[]> passingBlock;
    const auto passOver = [&] {
        passingBlock = std::make_unique_for_overwrite<std::uint8_t[]>(kPassingBlockSize);
        reader.MoveToBlock(std::span(passingBlock.get(), kPassingBlockSize));
    };
    std::array<std::uint8_t, 8> head{};
    std::size_t headLength = 0;
    for (; headLength < head.size(); ++headLength) {
        const std::optional<std::uint8_t> byte = reader.ReadByte();
        if (!byte) break;
        head[headLength] = *byte;
    }
    if (headLength < 2) return E_FAIL;
    reader.Rewind();

    switch (Detect(head)) {
        case Format::kJpeg:
            AddJpegItems(reader, items);
            break;
        case Format::kTiff:
            AddTiffItems(reader, TiffOrigin::kTiffFile, items);
            break;
        case Format::kPng:
            passOver();
            reader.SkipForward(8);  // the signature
            AddPngItems(reader, items);
            break;
        case Format::kGif:
            passOver();
            AddGifItems(reader, items);
            break;
        case Format::kBmp:
            break;
        case Format::kUnknown:
            return E_FAIL;
    }
    return S_OK;
}

}  // namespace

HRESULT CollectBuiltinPropertyItems(const WCHAR* path, PropertyItemList& out) noexcept {
    out = PropertyItemList();
    if (path == nullptr) return E_FAIL;
    return HrBoundary([&] { return CollectItems(path, out); });
}

HRESULT ReadBuiltinPropertyItems(const WCHAR* path, PropertyItemBlock& out) noexcept {
    PropertyItemList items;
    RETURN_IF_FAILED(CollectBuiltinPropertyItems(path, items));
    return HrBoundary([&] {
        out = items.Pack();
        return S_OK;
    });
}

}  // namespace pixelfold
