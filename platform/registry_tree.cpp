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
        // Key names are at most 255 characters, so that the name always fits: the end of the
        // list ends the loop, and any other answer is a failure.
        WCHAR child[256];
        DWORD length = 256;
        const LONG listed =
            RegEnumKeyExW(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (listed == ERROR_NO_MORE_ITEMS) break;
        if (listed != ERROR_SUCCESS) return listed;
        const LONG deleted = DeleteKeyTree(key.get(), child);
        if (deleted != ERROR_SUCCESS) return deleted;
    }
    key.reset();
    return DeleteRegistryKey(parent, name);
}

}  // namespace pixelfold
