// platform/registry_keys.h: deleting a registry key the way the registration code does.
#pragma once

#include "platform/platform.h"

namespace pixelfold {

// Deletes the subkey `name` of `parent`, which must have no subkeys: with RegDeleteKeyExW
// (no view flags) where the system provides it (looked up once), otherwise RegDeleteKeyW.
// Returns the Windows error code.
LONG DeleteRegistryKey(HKEY parent, const WCHAR* name) noexcept;

}  // namespace pixelfold
