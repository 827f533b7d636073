// metadata/gdiplus_item_source.cpp: the GDI+ flat API behind the property item source steps.
#include "metadata/gdiplus_item_source.h"

namespace pixelfold {

using namespace Gdiplus;

bool GdiplusItemSource::Start() noexcept {
    const GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
    return GdiplusStartup(&token_, &input, nullptr) == Ok;
}

bool GdiplusItemSource::OpenImage(const WCHAR* path) noexcept {
    bitmap_ = nullptr;
    return DllExports::GdipCreateBitmapFromFile(path, &bitmap_) == Ok;
}

bool GdiplusItemSource::QuerySize(std::uint32_t& totalBytes, std::uint32_t& count) noexcept {
    UINT size = 0;
    UINT items = 0;
    if (DllExports::GdipGetPropertySize(bitmap_, &size, &items) != Ok) return false;
    totalBytes = size;
    count = items;
    return true;
}

bool GdiplusItemSource::ReadAll(std::uint32_t totalBytes, std::uint32_t count,
                                PropertyItem* block) noexcept {
    return DllExports::GdipGetAllPropertyItems(bitmap_, totalBytes, count, block) == Ok;
}

void GdiplusItemSource::CloseImage() noexcept {
    DllExports::GdipDisposeImage(bitmap_);
    bitmap_ = nullptr;
}

void GdiplusItemSource::Shutdown() noexcept {
    GdiplusShutdown(token_);
    token_ = 0;
}

}  // namespace pixelfold
