// tests/support/plugin_objects.h: the plug-in's objects as a host gets them, through their
// interfaces only.
#pragma once

#include "pixelfold/pixelfold.h"
#include "platform/wide_string.h"
#include "support/com.h"
#include "support/request_array.h"

namespace pixelfold::test {

// A standalone format object, through IVltFileFormat.
ComRef<IVltFileFormat> NewFormatObject();

// OpenNavigator through slot 5; the result, and the navigator on success.
HRESULT OpenNavigatorOf(IVltFileFormat* format, const WideString& path,
                        ComRef<IVltFileNavigator>& navigator);

// GetValues through slot 10.
HRESULT GetValuesOf(IVltFileNavigator* navigator, RequestArray& requests, std::int32_t stop = 0);

}  // namespace pixelfold::test
