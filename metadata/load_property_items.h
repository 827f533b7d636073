// metadata/load_property_items.h: the one load of an image's property items.
#pragma once

#include <cstdint>

#include "metadata/property_item_source.h"
#include "platform/property_item.h"

namespace pixelfold {

// Reads all property items of the file at `path` (null: none) into `items` and `count`,
// replacing any held. False when the source does not start (`loaded` stays as it was, so a
// later request tries again), when the file cannot be opened (no path, missing, undecodable)
// or its size query fails; those leave the items as they were. True otherwise, also when the
// items end up empty because there are none, the allocation failed or the read failed. Every
// call that got past Start sets `loaded`.
bool LoadPropertyItems(const WCHAR* path, PropertyItemBuffer& items, std::uint32_t& count,
                       bool& loaded, PropertyItemSource& source) noexcept;

// The same with the build's source of property items: GDI+ or the built-in reader.
bool LoadPropertyItems(const WCHAR* path, PropertyItemBuffer& items, std::uint32_t& count,
                       bool& loaded) noexcept;

}  // namespace pixelfold
