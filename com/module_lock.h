// com/module_lock.h: the module lock count: outstanding reasons for the library to stay
// loaded. Every live object holds one lock from construction to destruction. The module
// object keeps the count (module/module_lock.cpp).
#pragma once

#include <cstdint>

namespace pixelfold {

// Atomic; each returns the new count.
std::int32_t AcquireModuleLock() noexcept;
std::int32_t ReleaseModuleLock() noexcept;
std::int32_t ModuleLockCount() noexcept;

// One module lock for the lifetime of the member that holds it.
class ModuleLockHolder {
  public:
    ModuleLockHolder() noexcept { AcquireModuleLock(); }
    ~ModuleLockHolder() { ReleaseModuleLock(); }
    ModuleLockHolder(const ModuleLockHolder&) = delete;
    ModuleLockHolder& operator=(const ModuleLockHolder&) = delete;
};

}  // namespace pixelfold
