// platform/ansi_text.h: text in the calling thread's ANSI code page, decoded to UTF-16.
#pragma once

#include <string_view>

#include "platform/wide_string.h"

namespace pixelfold {

// Decodes `bytes` with no conversion flags into `out` (replacing its contents). Results:
// S_OK, E_OUTOFMEMORY, or the platform's failure as an HRESULT; `out` is unchanged on
// failure. Empty text decodes to empty text.
[[nodiscard]] HRESULT DecodeAnsiText(std::string_view bytes, WideString& out) noexcept;

}  // namespace pixelfold
