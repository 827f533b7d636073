// probe/bmp_info.h: the image information record that a navigator holds for its file.
#pragma once

#include <cstdint>

#include "platform/property_item.h"

namespace pixelfold {

// The three header values, written together by a header reader.
struct Dimensions {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t colorDepth = 0;

    friend bool operator==(const Dimensions&, const Dimensions&) = default;
};

struct BmpInfo {
    // Length of the file in bytes; 0 until measured and for an empty file. The header values
    // count only while it is nonzero. A length that does not fit 32 bits is 0xFFFFFFFF.
    std::uint32_t fileSize = 0;
    // Raw values as the reader stored them: a BMP with a negative height keeps it negative.
    Dimensions dims;
    // All property items of the image and their values in one block from the C heap.
    PropertyItemBuffer propertyItems;
    std::uint32_t propertyItemCount = 0;
};

}  // namespace pixelfold
