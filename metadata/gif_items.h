// metadata/gif_items.h: the property items of a GIF file, as GDI+ reports them.
#pragma once

#include "bytes/byte_stream.h"
#include "metadata/property_item_list.h"

namespace pixelfold {

// Reads the whole block structure from the stream's start, skipping image data: frame delays
// (0x5100), the first comment before the first image (0x9286), the loop count (0x5101, 1 without a
// NETSCAPE block), the global colour table and background index (0x5102, 0x5103, when the table
// exists) and the first frame's transparent index (0x5104, when it has one), in that order.
void AddGifItems(ByteStream& stream, PropertyItemList& items);

}  // namespace pixelfold
