// metadata/property_tag_table.h: the metadata names the host may ask for, each bound to a
// GDI+ property tag, the attribute value of its answers and its two converters.
#pragma once

#include <span>

#include "metadata/value_converters.h"
#include "platform/platform.h"

namespace pixelfold {

struct PropertyTagInfo {
    const WCHAR* name;  // the variable name, also the name of the GDI+ tag constant
    PROPID tag;
    BYTE attributes;  // 0 or 1, copied into every answer drawn from this row
    VariantToItemConverter toItem;
    ItemToVariantConverter toVariant;
};

// The 217 rows, in order of their names with A to Z folded onto a to z.
std::span<const PropertyTagInfo> PropertyTagTable() noexcept;

// The row named `name`, with only A to Z folded onto a to z; null when none is (and for a
// null name).
const PropertyTagInfo* FindPropertyTag(const WCHAR* name) noexcept;

}  // namespace pixelfold
