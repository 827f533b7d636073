// platform/linux/guid_text.h: GUIDs as registry key names,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <optional>

#include "platform/platform.h"
#include "platform/wide_string.h"

namespace pixelfold {

WideString GuidText(const GUID& guid);
// The GUID of such text (hexadecimal digits in either case), or none.
std::optional<GUID> GuidFromText(WideStringView text) noexcept;

}  // namespace pixelfold
