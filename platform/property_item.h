// platform/property_item.h: the GDI+ record of one image property item (tag id, value length
// in bytes, value type, pointer to the value bytes).
#pragma once

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
