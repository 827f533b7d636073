// platform/linux/utf16.h: UTF-16 file names as the bytes that Linux calls take.
#pragma once

#include <optional>
#include <string>

#include "platform/linux/windows_api.h"

namespace pixelfold::platform {

// The bytes of the file name `text` (null-terminated UTF-16): UTF-8, except that a lone
// surrogate U+DC80 to U+DCFF stands for the byte 0x80 to 0xFF that was not valid UTF-8 in the
// name it came from (see Utf16FromFileName), so that every name a folder lists can be opened.
// Nothing for any other unpaired surrogate.
std::optional<std::string> FileNameFromUtf16(const WCHAR* text);

}  // namespace pixelfold::platform
