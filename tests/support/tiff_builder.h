// tests/support/tiff_builder.h: lays out a TIFF structure (header, directories and their
// out-of-line values) in either byte order, for EXIF segments and TIFF files in tests.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "support/bytes.h"

namespace pixelfold::test {

struct TiffField {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::vector<std::uint32_t> numbers;  // element values; for RATIONAL: num, den, num, den...
    std::optional<std::size_t> pointsTo = std::nullopt;  // an IFD index: value is its offset
};

struct TiffIfd {
    std::vector<TiffField> fields;
    std::optional<std::size_t> next = std::nullopt;  // index of the next IFD in the chain
};

// IFD 0 is the first directory. Values larger than four bytes follow each directory.
Bytes BuildTiff(bool bigEndian, const std::vector<TiffIfd>& ifds, const Bytes& trailer = {});

}  // namespace pixelfold::test
