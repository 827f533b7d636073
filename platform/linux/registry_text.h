// platform/linux/registry_text.h: what the stand-ins of the platform's own registrations (type
// libraries, proxies) write into the in-process registry.
#pragma once

#include "platform/platform.h"
#include "platform/wide_string.h"

namespace pixelfold {

// Creates the key `path` under `root` as needed and sets its value `name` (null: the unnamed
// value) to `text` as REG_SZ.
LSTATUS SetRegistryText(HKEY root, const WideString& path, const WCHAR* name,
                        const WideString& text);

}  // namespace pixelfold
