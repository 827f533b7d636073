// platform/linux/utf16.h: UTF-16 to UTF-8 for handing Windows-style text to Linux calls.
#pragma once

#include <optional>
#include <string>

#include "platform/linux/windows_api.h"

namespace pixelfold::platform {

// The UTF-8 form of the null-terminated `text`; nothing for an unpaired surrogate.
std::optional<std::string> Utf16ToUtf8(const WCHAR* text);

}  // namespace pixelfold::platform
