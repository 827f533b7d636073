// metadata/png_items.h: the property items of a PNG file, as GDI+ reports them.
#pragma once

#include "bytes/byte_stream.h"
#include "metadata/property_item_list.h"

namespace pixelfold {

// Reads the chunks after the signature (stream at offset 8): tIME, gAMA, cHRM, hIST and seven
// tEXt keywords give items in chunk order, the first chunk of each kind only; then always the
// unit (1) and the pixels per metre in x and y (0 unless pHYs gives them in metres). Image data
// is skipped, never read.
void AddPngItems(ByteStream& stream, PropertyItemList& items);

}  // namespace pixelfold
