// platform/registry_tree.cpp: deleting a registry key with everything under it.
#include "platform/registry_keys.h"
#include "platform/unique.h"

namespace pixelfold {

LONG DeleteKeyTree(HKEY parent, const WCHAR* name) noexcept {
    constexpr REGSAM kKeyReadWrite = 0x2001F;
    UniqueHkey key;
    const LONG opened = RegOpenKeyExW(parent, name, 0, kKeyReadWrite, key.put());
    if (opened != ERROR_SUCCESS) return opened;
    for (;;) {
        WCHAR child[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const LONG deleted = DeleteKeyTree(key.get(), child);
        if (deleted != ERROR_SUCCESS) return deleted;
    }
    key.reset();
    return DeleteRegistryKey(parent, name);
}

}  // namespace pixelfold
