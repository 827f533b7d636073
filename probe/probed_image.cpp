// probe/probed_image.cpp: opening an image file and dispatching to a header reader.
#include "probe/probed_image.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <span>

#include "bytes/file_reader.h"
#include "common/hr_error.h"
#include "pixelfold/pixelfold.h"
#include "platform/allocation.h"
#include "platform/ascii_text.h"
#include "platform/unique.h"
#include "probe/readers.h"

namespace pixelfold {
namespace {

struct ReaderRow {
    const WCHAR* extension;
    HeaderReader reader;
};

constexpr std::size_t kFirstReadSize = 64 * 1024;

// Tried in this order; the first whole-string match picks the reader.
constexpr std::array<ReaderRow, 5> kReaders = {{
    {WTEXT("bmp"), &ReadBmpHeader},
    {WTEXT("pcx"), &ReadPcxHeader},
    {WTEXT("gif"), &ReadGifHeader},
    {WTEXT("png"), &ReadPngHeader},
    {WTEXT("jpg"), &ReadJpegHeader},
}};

HeaderReader FindReader(WideStringView extension) noexcept {
    for (const ReaderRow& row : kReaders) {
        if (EqualsIgnoringAsciiCase(extension, row.extension)) return row.reader;
    }
    return nullptr;
}

// The length of the open file, or nothing when it cannot be measured. Taken from the file
// itself, not by seeking the stream, so the stream stays at offset 0 with nothing read.
std::optional<std::uint64_t> MeasureFile(std::FILE* file) noexcept {
    const std::int64_t length = _filelengthi64(_fileno(file));
    if (length < 0) return std::nullopt;
    return static_cast<std::uint64_t>(length);
}

// Lengths beyond 32 bits are 0xFFFFFFFF, so that a non-empty file never measures 0.
std::uint32_t RecordedSize(std::uint64_t length) noexcept {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(length < kMax ? length : kMax);
}

}  // namespace

HRESULT ProbedImage::Open(const WCHAR* path) noexcept {
    if (path == nullptr) return E_INVALIDARG;
    return HrBoundary([&] {
        info_.fileSize = 0;
        if (AllocationFaultDue()) throw std::bad_alloc();
        path_.assign(path);  // throws std::bad_alloc: E_OUTOFMEMORY
        propertyItemsLoaded_ = false;
        return OpenStoredPath();
    });
}

HRESULT ProbedImage::OpenStoredPath() {
    // The extension follows the last '.' anywhere in the path, so it may be empty or hold a
    // separator when that '.' stands in a folder name.
    const WideStringView pathText(path_);
    const std::size_t dot = pathText.rfind(WCHAR{'.'});
    if (dot == WideStringView::npos) return E_INVALIDARG;
    const WideStringView extension = pathText.substr(dot + 1);

    const UniqueCrtFile file(_wfsopen(path_.c_str(), WTEXT("rb"), _SH_DENYWR));
    if (!file) {
        if (errno == ENOMEM) return E_OUTOFMEMORY;
        return _waccess(path_.c_str(), 0) == 0 ? FILE_E_CANNOT_OPEN : FILE_E_NOT_FOUND;
    }

    const std::optional<std::uint64_t> length = MeasureFile(file.get());
    if (!length) return FILE_E_CANNOT_OPEN;  // a stream that cannot be measured cannot be read
    info_.fileSize = RecordedSize(*length);
    if (info_.fileSize == 0) return S_OK;

    const HeaderReader reader = FindReader(extension);
    if (reader == nullptr) return S_OK;
    // One read of the file's start (64 KiB, or the whole of a smaller file) holds the header
    // of every format, and a JPEG's frame header whenever the segments before it fit; on slow
    // storage each further read is a round trip. The block lives as long as the open file.
    // Not cleared: only what a read fills is looked at.
    const std::size_t blockSize = std::min<std::size_t>(kFirstReadSize, info_.fileSize);
    const auto block = std::make_unique_for_overwrite<std::uint8_t[]>(blockSize);
    FileReader stream(file.get(), std::span(block.get(), blockSize), *length);
    const HRESULT hr = reader(stream, info_);
    return FAILED(hr) ? hr : S_OK;
}

}  // namespace pixelfold
