// metadata/load_property_items.h: the one load of an image's property items.
#pragma once

#include "metadata/property_item_source.h"
#include "probe/probed_image.h"

namespace pixelfold {

// Reads all property items of `image`'s file into its one item block, replacing any held.
// False when the source does not start (the loaded flag stays unset, so a later request tries
// again), when the file cannot be opened (no path, missing, undecodable) or its size query
// fails; those leave the block as it was. True otherwise, also when the block ends up empty
// because there are no items, the allocation failed or the read failed. Every call that got
// past Start sets the loaded flag.
bool LoadPropertyItems(ProbedImage& image, PropertyItemSource& source) noexcept;

// The same with the build's source of property items: GDI+ or the built-in reader.
bool LoadPropertyItems(ProbedImage& image) noexcept;

}  // namespace pixelfold
