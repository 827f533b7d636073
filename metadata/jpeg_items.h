// metadata/jpeg_items.h: the property items of a JPEG file, as GDI+ reports them.
#pragma once

#include "bytes/byte_stream.h"
#include "metadata/property_item_list.h"

namespace pixelfold {

// Walks the marker segments before the first scan from the stream's start: the items of the
// first EXIF segment, then the first comment (0x9286, text), then quantisation table 1
// (0x5091) and table 0 (0x5090) as 64 SHORTs in natural order. Scan data is never read; a
// file cut short yields the items found before the cut.
void AddJpegItems(ByteStream& stream, PropertyItemList& items);

}  // namespace pixelfold
