// platform/allocation.cpp: allocation points with a countdown to an injected failure.
#include "platform/allocation.h"

#include <atomic>
#include <cstdlib>
#include <limits>

namespace pixelfold {
namespace {

constexpr long kDisarmed = -1;
std::atomic<long> allocationsBeforeFault{kDisarmed};
std::atomic<bool> everyAllocationCounts{false};

}  // namespace

bool AllocationFaultDue() noexcept {
    long remaining = allocationsBeforeFault.load(std::memory_order_relaxed);
    while (remaining != kDisarmed) {
        const long next = remaining == 0 ? kDisarmed : remaining - 1;
        if (allocationsBeforeFault.compare_exchange_weak(remaining, next)) return remaining == 0;
    }
    return false;
}

void ArmAllocationFault(unsigned successes) noexcept {
    allocationsBeforeFault.store(static_cast<long>(successes));
}

void DisarmAllocationFault() noexcept {
    allocationsBeforeFault.store(kDisarmed);
}

bool AllocationFaultArmed() noexcept {
    return allocationsBeforeFault.load() != kDisarmed;
}

unsigned AllocationsBeforeFault() noexcept {
    const long remaining = allocationsBeforeFault.load();
    return remaining == kDisarmed ? 0u : static_cast<unsigned>(remaining);
}

void CountEveryAllocation(bool on) noexcept {
    everyAllocationCounts.store(on);
}

bool OtherAllocationFaultDue() noexcept {
    return everyAllocationCounts.load(std::memory_order_relaxed) && AllocationFaultDue();
}

BSTR NewBstr(WideStringView text) noexcept {
    if (AllocationFaultDue() || text.size() > std::numeric_limits<UINT>::max() / 2) {
        return nullptr;
    }
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void* NewHeapBlock(std::size_t bytes) noexcept {
    if (AllocationFaultDue()) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void* NewTaskMemory(std::size_t bytes) noexcept {
    if (AllocationFaultDue()) return nullptr;
    return CoTaskMemAlloc(bytes);
}

HRESULT NewFreeThreadedMarshaler(IUnknown* outer, IUnknown** marshaler) noexcept {
    if (AllocationFaultDue()) {
        if (marshaler != nullptr) *marshaler = nullptr;
        return E_OUTOFMEMORY;
    }
    return CoCreateFreeThreadedMarshaler(outer, marshaler);
}

}  // namespace pixelfold
