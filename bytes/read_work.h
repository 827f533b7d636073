// bytes/read_work.h: counts of the work that the readers of an input do on the calling
// thread: the bytes they take from it (read from a file, or copied out of bytes in memory)
// and the bytes of the buffers they allocate for what it declares. Tests and fuzz targets
// reset them before reading one input and compare them with its size afterwards, so that an
// input which makes a reader do more work than its size allows shows up as a failure, not as
// time.
#pragma once

#include <cstdint>

namespace pixelfold::read_work {

void Copied(std::uint64_t bytes) noexcept;
void Allocated(std::uint64_t bytes) noexcept;

struct Totals {
    std::uint64_t copied = 0;
    std::uint64_t allocated = 0;
};
Totals Current() noexcept;
void Reset() noexcept;

// The most either count may reach for an input of `inputSize` bytes whose property values may
// take `valueBytes`: four passes over the input (the format detection and each of up to three
// directories' values read front to back), the values themselves, and the fixed-size blocks by
// which a file is read although only a few bytes of each were asked for.
std::uint64_t Bound(std::uint64_t inputSize, std::uint64_t valueBytes) noexcept;

}  // namespace pixelfold::read_work
