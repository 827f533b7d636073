// platform/windows/registry_keys.cpp: RegDeleteKeyExW when Advapi32.dll has it.
#include "platform/registry_keys.h"

#include <atomic>

namespace pixelfold {
namespace {

using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);

// Looked up on the first deletion and remembered, also when absent. Concurrent first lookups
// store the same value.
DeleteKeyEx FindDeleteKeyEx() noexcept {
    static std::atomic<bool> looked{false};
    static std::atomic<DeleteKeyEx> function{nullptr};
    if (!looked.load(std::memory_order_acquire)) {
        const HMODULE advapi = GetModuleHandleW(L"Advapi32.dll");
        if (advapi != nullptr) {
            function.store(reinterpret_cast<DeleteKeyEx>(
                reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExW"))));
        }
        looked.store(true, std::memory_order_release);
    }
    return function.load();
}

}  // namespace

LONG DeleteRegistryKey(HKEY parent, const WCHAR* name) noexcept {
    if (const DeleteKeyEx deleteKeyEx = FindDeleteKeyEx()) return deleteKeyEx(parent, name, 0, 0);
    return RegDeleteKeyW(parent, name);
}

}  // namespace pixelfold
