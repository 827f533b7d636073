// platform/linux/date_text.h: date and time text to OLE Automation dates, in the forms that
// the invariant locale accepts.
#pragma once

#include "platform/linux/windows_api.h"

namespace pixelfold::platform {

// Reads a date, a time, or a date followed or preceded by a time: numeric dates in month,
// day, year order ("7/14/2021", "7-14-21"; day first when the first number cannot be a
// month) or year first ("2021-07-14"), English month and day names and their three-letter
// forms ("Wednesday, 14 July 2021", "Jul 14, 2021"), times of 24 hours or of 12 with "AM"
// and "PM" ("9:05:33 PM", "9 PM"). Years below 50 are taken as 2000 onwards, 50 to 99 as
// 1950 to 1999. A missing year is the current one, a missing day the first, a missing date
// 30 December 1899. Results: S_OK, DISP_E_TYPEMISMATCH for anything else.
HRESULT DateFromText(const OLECHAR* text, DATE* date);

}  // namespace pixelfold::platform
