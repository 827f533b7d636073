// tests/platform/allocation_test.cpp: the allocation points fail as out of memory when the
// test-only switch says so, and leave nothing half made.
#include "platform/allocation.h"

#include <gtest/gtest.h>

#include "support/allocation_fault.h"

namespace pixelfold::test {
namespace {

TEST(AllocationPointsTest, EachFailsCleanlyWhenTheSwitchSaysSo) {
    {
        const ScopedAllocationFault fault(0);
        EXPECT_EQ(nullptr, NewHeapBlock(16));
    }
    {
        const ScopedAllocationFault fault(0);
        EXPECT_EQ(nullptr, NewTaskMemory(16));
    }
    {
        const ScopedAllocationFault fault(0);
        IUnknown* marshaler = reinterpret_cast<IUnknown*>(0x10);  // not left as it was
        EXPECT_EQ(E_OUTOFMEMORY, NewFreeThreadedMarshaler(nullptr, &marshaler));
        EXPECT_EQ(nullptr, marshaler);
    }
}

}  // namespace
}  // namespace pixelfold::test
