// metadata/load_property_items.cpp: the property item load, step by step.
#include "metadata/load_property_items.h"

#include "platform/allocation.h"

namespace pixelfold {
namespace {

// Steps 3 to 6 on an open image; the result of the whole load.
bool ReadItems(PropertyItemBuffer& items, std::uint32_t& itemCount,
               PropertyItemSource& source) noexcept {
    std::uint32_t totalBytes = 0;
    std::uint32_t count = 0;
    if (!source.QuerySize(totalBytes, count)) return false;

    items.reset();
    itemCount = 0;
    // No items: GDI+ refuses the bulk read of an empty list, and there is nothing to keep.
    if (count == 0) return true;

    items.reset(static_cast<PropertyItem*>(NewHeapBlock(totalBytes)));
    if (!items) return true;
    if (!source.ReadAll(totalBytes, count, items.get())) {
        items.reset();
        return true;
    }
    itemCount = count;
    return true;
}

}  // namespace

bool LoadPropertyItems(const WCHAR* path, PropertyItemBuffer& items, std::uint32_t& count,
                       bool& loaded, PropertyItemSource& source) noexcept {
    if (!source.Start()) return false;
    bool read = false;
    if (source.OpenImage(path)) read = ReadItems(items, count, source);
    source.CloseImage();
    source.Shutdown();
    loaded = true;
    return read;
}

}  // namespace pixelfold
