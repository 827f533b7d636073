// plugin/image_property_items.cpp: a navigator image's property items, loaded into its record.
#include "plugin/image_property_items.h"

#include "metadata/load_property_items.h"

namespace pixelfold {
namespace {

template <class... Source>
bool Load(ProbedImage& image, Source&... source) noexcept {
    const WCHAR* path = image.path().empty() ? nullptr : image.path().c_str();
    BmpInfo& info = image.info();
    bool loaded = false;
    const bool result =
        LoadPropertyItems(path, info.propertyItems, info.propertyItemCount, loaded, source...);
    if (loaded) image.SetPropertyItemsLoaded();
    return result;
}

}  // namespace

bool LoadPropertyItems(ProbedImage& image, PropertyItemSource& source) noexcept {
    return Load(image, source);
}

bool LoadPropertyItems(ProbedImage& image) noexcept {
    return Load(image);
}

}  // namespace pixelfold
