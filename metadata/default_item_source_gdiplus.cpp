// metadata/default_item_source_gdiplus.cpp: builds that read property items through GDI+.
#include "metadata/gdiplus_item_source.h"
#include "metadata/load_property_items.h"

namespace pixelfold {

bool LoadPropertyItems(const WCHAR* path, PropertyItemBuffer& items, std::uint32_t& count,
                       bool& loaded) noexcept {
    GdiplusItemSource source;
    return LoadPropertyItems(path, items, count, loaded, source);
}

}  // namespace pixelfold
