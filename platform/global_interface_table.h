// platform/global_interface_table.h: the process's global interface table object.
#pragma once

#include "platform/platform.h"

namespace pixelfold {

// A new reference to the platform's global interface table, made in-process.
[[nodiscard]] HRESULT CreateGlobalInterfaceTable(IUnknown** table) noexcept;

}  // namespace pixelfold
