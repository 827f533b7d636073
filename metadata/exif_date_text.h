// metadata/exif_date_text.h: EXIF date text, "%04d:%02d:%02d %02d:%02d:%02d", read and
// written.
#pragma once

#include <array>
#include <string_view>

#include "platform/platform.h"

namespace pixelfold {

// The six numbers of the text, read as the C library's formatted input reads them with the
// format above: each may have leading white space and a sign, the year up to 4 characters
// and the others up to 2 (sign included); colons must match; the blank matches any run of
// white space, none included; text after the seconds is ignored. False unless all six are
// read. Each number is cut to its low 16 bits in `fields`; milliseconds and day of the week
// are 0.
bool ScanExifDateText(std::string_view text, SYSTEMTIME& fields) noexcept;

// The OLE Automation date of `fields` when they are a real calendar date-time between the
// years 100 and 9999, with no field carried into the next: false otherwise.
bool ValidExifDate(const SYSTEMTIME& fields, DATE& date) noexcept;

// "YYYY:MM:DD hh:mm:ss" and its ending zero byte, for the fields of a valid date.
std::array<char, 20> FormatExifDateText(const SYSTEMTIME& fields) noexcept;

}  // namespace pixelfold
