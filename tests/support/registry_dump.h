// tests/support/registry_dump.h: the registry as sorted text lines, read through a chosen set
// of registry calls (the system's, or on Linux those of a loaded plug-in library, whose
// in-process registry is its own).
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace pixelfold::test {

struct RegistryCalls {
    decltype(&RegOpenKeyExW) open = nullptr;
    decltype(&RegCreateKeyExW) create = nullptr;
    decltype(&RegCloseKey) close = nullptr;
    decltype(&RegEnumKeyExW) enumKey = nullptr;
    decltype(&RegEnumValueW) enumValue = nullptr;
    decltype(&RegDeleteKeyW) deleteKey = nullptr;
};

// The calls of the registry this program links (the in-process one on Linux).
inline RegistryCalls ProgramRegistry() {
    return {&RegOpenKeyExW, &RegCreateKeyExW, &RegCloseKey,
            &RegEnumKeyExW, &RegEnumValueW,   &RegDeleteKeyW};
}

// One line per key and value below `path` of `root`, sorted: "\A\B" and
// "\A\B @name TYPE data" (REG_SZ as text, other types as hexadecimal bytes). Empty when the
// key does not exist; the key's own values are listed under "".
std::vector<std::string> DumpRegistry(const RegistryCalls& calls, HKEY root, const WCHAR* path);
bool RegistryKeyExists(const RegistryCalls& calls, HKEY root, const WCHAR* path);
// Creates `path` under `root` (with the keys on the way).
bool CreateRegistryKey(const RegistryCalls& calls, HKEY root, const WCHAR* path);
// Deletes `path` under `root` with everything under it; true when it is gone.
bool DeleteRegistryKeyTree(const RegistryCalls& calls, HKEY root, const WCHAR* path);

}  // namespace pixelfold::test
