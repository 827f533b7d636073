// platform/property_item.h: the GDI+ record of one image property item (tag id, value length
// in bytes, value type, pointer to the value bytes).
#pragma once

#include <cstdlib>
#include <memory>

#include "platform/platform.h"

#if defined(_WIN32)
#include <gdiplus.h>
using PropertyItem = Gdiplus::PropertyItem;
#else
using PROPID = ULONG;
struct PropertyItem {
    PROPID id;
    ULONG length;
    WORD type;
    void* value;
};
#endif

static_assert(sizeof(void*) != 8 || sizeof(PropertyItem) == 24);

namespace pixelfold {

struct FreeCHeap {
    void operator()(void* block) const noexcept { std::free(block); }
};

// All property items of an image and their values, in one block from the C heap.
using PropertyItemBuffer = std::unique_ptr<PropertyItem, FreeCHeap>;

}  // namespace pixelfold
