// module/module_lock.cpp: the module lock count that objects take and give back (declared
// with them in com/), kept by the module object.
#include "com/module_lock.h"

#include "module/com_module.h"

namespace pixelfold {

std::int32_t AcquireModuleLock() noexcept {
    return g_pModule->AcquireModuleLock();
}

std::int32_t ReleaseModuleLock() noexcept {
    return g_pModule->ReleaseModuleLock();
}

std::int32_t ModuleLockCount() noexcept {
    return g_pModule->ModuleLockCount();
}

}  // namespace pixelfold
