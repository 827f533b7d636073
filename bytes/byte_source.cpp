// bytes/byte_source.cpp: random access to metadata bytes in memory or in a file.
#include "bytes/byte_source.h"

#include <algorithm>

#include "bytes/read_work.h"

namespace pixelfold {
namespace {

bool Inside(std::uint64_t offset, std::size_t count, std::uint64_t size) {
    return offset <= size && count <= size - offset;
}

}  // namespace

bool MemorySource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (!Inside(offset, out.size(), bytes_.size())) return false;
    read_work::Copied(out.size());
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
}

}  // namespace pixelfold
