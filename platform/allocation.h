// platform/allocation.h: the allocation points of the plug-in for memory it hands out or
// keeps, and a test-only way to make one of them fail.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

#include "platform/wide_string.h"

namespace pixelfold {

// A BSTR holding `text` (SysAllocStringLen); null when out of memory.
[[nodiscard]] BSTR NewBstr(WideStringView text) noexcept;
// A block from the C heap (std::malloc), to be released with std::free; null when out of
// memory. A zero size still gives a distinct block.
[[nodiscard]] void* NewHeapBlock(std::size_t bytes) noexcept;
// COM task memory (CoTaskMemAlloc), for blocks the caller frees with CoTaskMemFree; null
// when out of memory.
[[nodiscard]] void* NewTaskMemory(std::size_t bytes) noexcept;
// The platform's free-threaded marshaler, aggregated on `outer`
// (CoCreateFreeThreadedMarshaler); E_OUTOFMEMORY and a null marshaler when out of memory.
[[nodiscard]] HRESULT NewFreeThreadedMarshaler(IUnknown* outer, IUnknown** marshaler) noexcept;
// True when the allocation about to be made is to fail as if memory had run out. Every
// allocation point above asks it; code that allocates in other ways asks it too.
[[nodiscard]] bool AllocationFaultDue() noexcept;

// A new object from the C++ heap; null when out of memory.
template <class T, class... Args>
[[nodiscard]] T* NewObject(Args&&... args) noexcept {
    if (AllocationFaultDue()) return nullptr;
    return new (std::nothrow) T(std::forward<Args>(args)...);
}

// Tests only: after `successes` more allocations succeed, the next one fails; the fault is
// then spent. Disarmed with `DisarmAllocationFault`. One process-wide countdown.
void ArmAllocationFault(unsigned successes) noexcept;
void DisarmAllocationFault() noexcept;
// True while an armed fault has not happened yet.
[[nodiscard]] bool AllocationFaultArmed() noexcept;
// The allocations that may still succeed before the armed fault; 0 when disarmed.
[[nodiscard]] unsigned AllocationsBeforeFault() noexcept;
// Tests only: while on, allocations made other than through the points above (the C++ heap,
// through a test program's own operator new, and the Linux stand-ins' blocks) count towards
// the fault as well, through `OtherAllocationFaultDue`.
void CountEveryAllocation(bool on) noexcept;
// `AllocationFaultDue` while every allocation counts; otherwise false, and nothing counted.
[[nodiscard]] bool OtherAllocationFaultDue() noexcept;

}  // namespace pixelfold
