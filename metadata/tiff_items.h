// metadata/tiff_items.h: the property items of a TIFF structure (a TIFF file, or the TIFF
// block inside a JPEG's EXIF segment), as GDI+ reports them.
#pragma once

#include "bytes/byte_source.h"
#include "metadata/property_item_list.h"

namespace pixelfold {

enum class TiffOrigin {
    kExifSegment,  // IFD0 with its Exif and GPS sub-IFDs, then the IFD1 thumbnail
    kTiffFile,     // IFD0 of the first page with its sub-IFDs; embedded metadata blocks left out
};

// Adds the items of the TIFF structure that starts at offset 0 of `source`: IFD0 entries in
// file order, the Exif and GPS entries in place of their pointers, values converted to
// little-endian per element, ASCII ending in exactly one zero. Returns false when the header
// is not a TIFF header. A malformed structure ends the walk with the items read so far.
bool AddTiffItems(ByteSource& source, TiffOrigin origin, PropertyItemList& items);

}  // namespace pixelfold
