// platform/wide_string.h: owned and viewed UTF-16 text of the platform's WCHAR type.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace pixelfold {

using WideString = std::basic_string<WCHAR>;
using WideStringView = std::basic_string_view<WCHAR>;

}  // namespace pixelfold
