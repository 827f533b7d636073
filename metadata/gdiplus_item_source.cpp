// metadata/gdiplus_item_source.cpp: the GDI+ flat API behind the property item source steps.
#include "metadata/gdiplus_item_source.h"

namespace pixelfold {

using namespace Gdiplus;

// GDI+ that cannot be loaded fails as its start-up does.
bool GdiplusItemSource::Start() noexcept {
    gdiplus_ = SystemGdiplus();
    if (gdiplus_ == nullptr) return false;
    const GdiplusStartupInput input;  // version 1, no debug callback, nothing suppressed
    return gdiplus_->startup(&token_, &input, nullptr) == Ok;
}

bool GdiplusItemSource::OpenImage(const WCHAR* path) noexcept {
    bitmap_ = nullptr;
    return gdiplus_->createBitmapFromFile(path, &bitmap_) == Ok;
}

bool GdiplusItemSource::QuerySize(std::uint32_t& totalBytes, std::uint32_t& count) noexcept {
    UINT size = 0;
    UINT items = 0;
    if (gdiplus_->getPropertySize(bitmap_, &size, &items) != Ok) return false;
    totalBytes = size;
    count = items;
    return true;
}

bool GdiplusItemSource::ReadAll(std::uint32_t totalBytes, std::uint32_t count,
                                PropertyItem* block) noexcept {
    return gdiplus_->getAllPropertyItems(bitmap_, totalBytes, count, block) == Ok;
}

void GdiplusItemSource::CloseImage() noexcept {
    gdiplus_->disposeImage(bitmap_);
    bitmap_ = nullptr;
}

void GdiplusItemSource::Shutdown() noexcept {
    gdiplus_->shutdown(token_);
    token_ = 0;
}

}  // namespace pixelfold
