// metadata/load_property_items.cpp: the property item load, step by step.
#include "metadata/load_property_items.h"

#include "platform/allocation.h"

namespace pixelfold {
namespace {

// Steps 3 to 6 on an open image; the result of the whole load.
bool ReadItems(BmpInfo& info, PropertyItemSource& source) noexcept {
    std::uint32_t totalBytes = 0;
    std::uint32_t count = 0;
    if (!source.QuerySize(totalBytes, count)) return false;

    info.propertyItems.reset();
    info.propertyItemCount = 0;
    // No items: GDI+ refuses the bulk read of an empty list, and there is nothing to keep.
    if (count == 0) return true;

    info.propertyItems.reset(static_cast<PropertyItem*>(NewHeapBlock(totalBytes)));
    if (!info.propertyItems) return true;
    if (!source.ReadAll(totalBytes, count, info.propertyItems.get())) {
        info.propertyItems.reset();
        return true;
    }
    info.propertyItemCount = count;
    return true;
}

}  // namespace

bool LoadPropertyItems(ProbedImage& image, PropertyItemSource& source) noexcept {
    if (!source.Start()) return false;
    const WCHAR* path = image.path().empty() ? nullptr : image.path().c_str();
    bool loaded = false;
    if (source.OpenImage(path)) loaded = ReadItems(image.info(), source);
    source.CloseImage();
    source.Shutdown();
    image.SetPropertyItemsLoaded();
    return loaded;
}

}  // namespace pixelfold
