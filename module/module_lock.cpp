// module/module_lock.cpp: the one process-wide module lock count.
#include "module/module_lock.h"

#include <atomic>

namespace pixelfold {
namespace {

constinit std::atomic<std::int32_t> moduleLocks{0};

}  // namespace

std::int32_t AcquireModuleLock() noexcept {
    return ++moduleLocks;
}

std::int32_t ReleaseModuleLock() noexcept {
    return --moduleLocks;
}

std::int32_t ModuleLockCount() noexcept {
    return moduleLocks.load();
}

}  // namespace pixelfold
