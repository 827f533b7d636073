// platform/linux/registry_keys.cpp: the in-process registry always has RegDeleteKeyExW.
#include "platform/registry_keys.h"

namespace pixelfold {

LONG DeleteRegistryKey(HKEY parent, const WCHAR* name) noexcept {
    return RegDeleteKeyExW(parent, name, 0, 0);
}

}  // namespace pixelfold
