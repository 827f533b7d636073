// metadata/default_item_source_gdiplus.cpp: builds that read property items through GDI+.
#include "metadata/gdiplus_item_source.h"
#include "metadata/load_property_items.h"

namespace pixelfold {

bool LoadPropertyItems(ProbedImage& image) noexcept {
    GdiplusItemSource source;
    return LoadPropertyItems(image, source);
}

}  // namespace pixelfold
