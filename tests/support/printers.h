// tests/support/printers.h: readable failure messages for the project's records.
#pragma once

#include <ostream>

#include "probe/bmp_info.h"

namespace pixelfold {

inline void PrintTo(const Dimensions& d, std::ostream* os) {
    *os << "{width " << d.width << ", height " << d.height << ", colour depth " << d.colorDepth
        << "}";
}

}  // namespace pixelfold
