// platform/linux/date_text.h: date and time text to OLE Automation dates, in the forms that
// the invariant locale accepts.
#pragma once

#include "platform/linux/windows_api.h"

namespace pixelfold::platform {

// Reads a date, a time, or a date followed or preceded by a time: numeric dates in month,
// day, year order ("7/14/2021", "7-14-21") or year first ("2021-07-14"), English month names
// and their three-letter forms ("14 July 2021", "Jul 14, 2021"), times of 24 hours or of 12
// with "AM" and "PM" ("9:05:33 PM"). A missing year is the current one, a missing date is
// 30 December 1899. Results: S_OK, DISP_E_TYPEMISMATCH for anything else.
HRESULT DateFromText(const OLECHAR* text, DATE* date);

}  // namespace pixelfold::platform
