// metadata/builtin_property_items.h: the property items of an image file, read by the
// project's own code the way GDI+ returns them, for systems without GDI+.
#pragma once

#include "metadata/property_item_list.h"
#include "platform/platform.h"

namespace pixelfold {

// Finds the format by content: JPEG, TIFF, PNG and GIF give their items, BMP none. Results:
// S_OK with all items in one C heap block (none: null block, count 0); E_FAIL when the file
// cannot be opened or its format is not one of these (PCX included); E_OUTOFMEMORY.
// `out` is written only on success.
HRESULT ReadBuiltinPropertyItems(const WCHAR* path, PropertyItemBlock& out) noexcept;
// The same items, collected in `out` (emptied first) instead of packed.
HRESULT CollectBuiltinPropertyItems(const WCHAR* path, PropertyItemList& out) noexcept;

}  // namespace pixelfold
