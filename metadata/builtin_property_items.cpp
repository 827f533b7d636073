// metadata/builtin_property_items.cpp: format detection and dispatch of the built-in reader.
#include "metadata/builtin_property_items.h"

#include <algorithm>
#include <array>

#include "common/hr_error.h"
#include "metadata/byte_source.h"
#include "metadata/gif_items.h"
#include "metadata/jpeg_items.h"
#include "metadata/png_items.h"
#include "metadata/tiff_items.h"
#include "platform/unique.h"
#include "probe/crt_byte_stream.h"

namespace pixelfold {
namespace {

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

HRESULT ReadItems(const WCHAR* path, PropertyItemBlock& out) {
    const UniqueCrtFile file(_wfsopen(path, WTEXT("rb"), _SH_DENYWR));
    if (!file) return E_FAIL;
    const std::int64_t length = _filelengthi64(_fileno(file.get()));
    std::array<std::uint8_t, 8> head{};
    if (length < 0 || std::fread(head.data(), 1, head.size(), file.get()) < 2) return E_FAIL;

    PropertyItemList items;
    CrtByteStream stream(file.get());
    switch (Detect(head)) {
        case Format::kJpeg:
            if (_fseeki64(file.get(), 0, SEEK_SET) != 0) return E_FAIL;
            AddJpegItems(stream, items);
            break;
        case Format::kTiff: {
            FileSource source(file.get(), static_cast<std::uint64_t>(length));
            AddTiffItems(source, TiffOrigin::kTiffFile, items);
            break;
        }
        case Format::kPng:
            AddPngItems(stream, items);  // the stream stands after the signature
            break;
        case Format::kGif:
            if (_fseeki64(file.get(), 0, SEEK_SET) != 0) return E_FAIL;
            AddGifItems(stream, items);
            break;
        case Format::kBmp:
            break;
        case Format::kUnknown:
            return E_FAIL;
    }
    out = items.Pack();
    return S_OK;
}

}  // namespace

HRESULT ReadBuiltinPropertyItems(const WCHAR* path, PropertyItemBlock& out) noexcept {
    if (path == nullptr) return E_FAIL;
    return HrBoundary([&] { return ReadItems(path, out); });
}

}  // namespace pixelfold
