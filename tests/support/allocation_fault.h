// tests/support/allocation_fault.h: makes one of the plug-in's allocations fail for the
// lifetime of a test scope.
#pragma once

#include "platform/allocation.h"

namespace pixelfold::test {

class ScopedAllocationFault {
  public:
    // The allocation after `successes` successful ones fails.
    explicit ScopedAllocationFault(unsigned successes) { ArmAllocationFault(successes); }
    ~ScopedAllocationFault() { DisarmAllocationFault(); }
    ScopedAllocationFault(const ScopedAllocationFault&) = delete;
    ScopedAllocationFault& operator=(const ScopedAllocationFault&) = delete;
};

}  // namespace pixelfold::test
