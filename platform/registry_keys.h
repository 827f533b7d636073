// platform/registry_keys.h: deleting registry keys the way the registration code does.
#pragma once

#include "platform/platform.h"

namespace pixelfold {

// Deletes the subkey `name` of `parent`, which must have no subkeys: with RegDeleteKeyExW
// (no view flags) where the system provides it (looked up once), otherwise RegDeleteKeyW.
// Returns the Windows error code.
LONG DeleteRegistryKey(HKEY parent, const WCHAR* name) noexcept;

// Deletes the subkey `name` of `parent` with everything under it, subkeys first (names of up to
// 255 characters); the first failure is returned and ends the deletion.
LONG DeleteKeyTree(HKEY parent, const WCHAR* name) noexcept;

}  // namespace pixelfold
