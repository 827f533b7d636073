// probe/probed_image.cpp: opening an image file and dispatching to a header reader.
#include "probe/probed_image.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <limits>

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

// The length of the open file, or nothing when it cannot be measured. Lengths beyond
// 32 bits are 0xFFFFFFFF, so that a non-empty file never measures 0. Taken from the file
// itself, not by seeking the stream, so the stream stays at offset 0 with nothing read.
std::optional<std::uint32_t> MeasureFile(std::FILE* file) noexcept {
    const std::int64_t length = _filelengthi64(_fileno(file));
    if (length < 0) return std::nullopt;
    constexpr std::int64_t kMax = std::numeric_limits<std::uint32_t>::max();
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
    if (!file) return _waccess(path_.c_str(), 0) == 0 ? FILE_E_CANNOT_OPEN : FILE_E_NOT_FOUND;

    const std::optional<std::uint32_t> fileSize = MeasureFile(file.get());
    if (!fileSize) return FILE_E_CANNOT_OPEN;  // a stream that cannot be measured cannot be read
    info_.fileSize = *fileSize;
    if (info_.fileSize == 0) return S_OK;

    const HeaderReader reader = FindReader(extension);
    if (reader == nullptr) return S_OK;
    // The reader reads through a block on the stack: no allocation, and no block size asked
    // of the file system.
    std::array<std::uint8_t, 4096> block;
    FileReader stream(file.get(), block);
    const HRESULT hr = reader(stream, info_);
    return FAILED(hr) ? hr : S_OK;
}

}  // namespace pixelfold
