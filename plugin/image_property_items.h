// plugin/image_property_items.h: loading the property items of a navigator's image into its
// record, once.
#pragma once

#include "metadata/property_item_source.h"
#include "probe/probed_image.h"

namespace pixelfold {

// LoadPropertyItems for the file `image` was opened on (none before its first Open), into its
// record, setting its loaded flag as that load sets it.
bool LoadPropertyItems(ProbedImage& image, PropertyItemSource& source) noexcept;

// The same with the build's source of property items.
bool LoadPropertyItems(ProbedImage& image) noexcept;

}  // namespace pixelfold
