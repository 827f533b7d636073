// tests/support/test_images.h: small, complete image files that both the header readers and
// the platform's image decoder accept.
#pragma once

#include <cstdint>
#include <string>

#include "support/bytes.h"

namespace pixelfold::test {

// An uncompressed 24-bit BMP of `width` x `height` pixels: no property items.
Bytes SmallBmp(std::uint32_t width, std::uint32_t height);

// A 1x1 grey PNG with a gAMA chunk of 1/2.2: one property item, PropertyTagGamma (0x0301),
// RATIONAL 100000/45455.
Bytes GammaPng();

// The texts of TaggedTiff.
struct TiffTags {
    std::string make = "Canon";
    std::string model = "EOS 40D";
    std::string artist = "Ann\nLee";
    std::string dateTime = "2021:07:14 09:05:33";
    std::string secondMake = "";  // when given, a second Make entry right after the first
};

// A 1x1 grey TIFF whose first directory holds, besides the image's own fields: Make, Model,
// Artist and DateTime (ASCII), XResolution 72/1 (RATIONAL), Orientation 6 (SHORT) and
// PageNumber 1, 2 (two SHORTs); a second Make when `secondMake` is given.
Bytes TaggedTiff(const TiffTags& tags = {});

}  // namespace pixelfold::test
