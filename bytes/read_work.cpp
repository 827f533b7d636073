// bytes/read_work.cpp: the per-thread counts of the readers' work.
#include "bytes/read_work.h"

namespace pixelfold::read_work {
namespace {

thread_local Totals totals;

// Sixteen read blocks: format detection and each directory's count, table and next link may
// each fill a block (64 KiB, or the rest of a smaller file) for a few bytes.
constexpr std::uint64_t kBlockSlack = 16 * 64 * 1024;

}  // namespace

void Copied(std::uint64_t bytes) noexcept {
    totals.copied += bytes;
}

void Allocated(std::uint64_t bytes) noexcept {
    totals.allocated += bytes;
}

Totals Current() noexcept {
    return totals;
}

void Reset() noexcept {
    totals = Totals{};
}

std::uint64_t Bound(std::uint64_t inputSize, std::uint64_t valueBytes) noexcept {
    return 4 * inputSize + valueBytes + kBlockSlack;
}

}  // namespace pixelfold::read_work
