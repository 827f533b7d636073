// bytes/read_work.cpp: the per-thread counts of the readers' work.
#include "bytes/read_work.h"

namespace pixelfold::read_work {
namespace {

thread_local Totals totals;

constexpr std::uint64_t kBlockSlack = 16 * 16 * 1024;

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
