// plugin/host_codes.h: the host's own failure codes, which the plug-in returns.
#pragma once

#include "platform/platform.h"

// clang-format off
constexpr HRESULT FILE_E_CANNOT_OPEN = static_cast<HRESULT>(0x8004020Bu);  // exists, cannot be read
constexpr HRESULT FILE_E_NOT_FOUND   = static_cast<HRESULT>(0x80040213u);  // the path does not exist
constexpr HRESULT FILE_E_BAD_FORMAT  = static_cast<HRESULT>(0x80040229u);  // header does not fit
// clang-format on
