// platform/linux/variant_time.cpp: calendar fields to OLE Automation dates and back, with the
// range and the carrying of out-of-range fields that Windows has.
#include <cmath>

#include "platform/linux/calendar.h"
#include "platform/linux/windows_api.h"

using namespace pixelfold::platform;

INT SystemTimeToVariantTime(SYSTEMTIME* time, DOUBLE* date) {
    if (time == nullptr || date == nullptr) return 0;
    // Larger months and days are refused; smaller fields carry. The fields read as signed.
    if (time->wMonth > 12 || time->wDay > 31) return 0;
    std::int64_t year = static_cast<SHORT>(time->wYear);
    if (year < 0 || year > 9999) return 0;
    if (year < 50) {
        year += 2000;
    } else if (year < 100) {
        year += 1900;
    }
    const std::int64_t monthIndex = year * 12 + (time->wMonth - 1);  // month 0: December before
    const std::int64_t monthYear = monthIndex >= 0 ? monthIndex / 12 : (monthIndex - 11) / 12;
    const int month = static_cast<int>(monthIndex - monthYear * 12 + 1);
    const std::int64_t seconds = std::int64_t{static_cast<SHORT>(time->wHour)} * 3600 +
                                 std::int64_t{static_cast<SHORT>(time->wMinute)} * 60 +
                                 static_cast<SHORT>(time->wSecond);
    const std::int64_t dayCarry =
        seconds >= 0 ? seconds / kSecondsPerDay : (seconds - kSecondsPerDay + 1) / kSecondsPerDay;
    const std::int64_t dayNumber =
        DayNumber(monthYear, month, static_cast<SHORT>(time->wDay)) + dayCarry;
    const double result = DateFromDayAndTime(dayNumber, seconds - dayCarry * kSecondsPerDay);
    // Dates before day 0 carry their time as a negative fraction: 1 January 100 runs from
    // kMinDate down to just above kMinDate - 1.
    if (result <= kMinDate - 1.0 || result >= kMaxDate + 1.0) return 0;
    *date = result;
    return 1;
}

INT VariantTimeToSystemTime(DOUBLE date, SYSTEMTIME* time) {
    if (time == nullptr) return 0;
    if (!(date > kMinDate - 1.0 && date < kMaxDate + 1.0)) return 0;  // NaN included
    std::int64_t dayNumber = static_cast<std::int64_t>(date);         // toward zero
    const double fraction = std::fabs(date - static_cast<double>(dayNumber));
    // To the nearest second; a small allowance keeps exact seconds from rounding down.
    std::int64_t seconds =
        static_cast<std::int64_t>(std::floor(fraction * kSecondsPerDay + 0.5 + 1e-6));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++dayNumber;
    }
    const CivilDate civil = CivilFromDayNumber(dayNumber);
    if (civil.year > 9999) return 0;
    time->wYear = static_cast<WORD>(civil.year);
    time->wMonth = static_cast<WORD>(civil.month);
    time->wDay = static_cast<WORD>(civil.day);
    time->wDayOfWeek = static_cast<WORD>(((dayNumber % 7) + 7 + 6) % 7);  // day 0: Saturday
    time->wHour = static_cast<WORD>(seconds / 3600);
    time->wMinute = static_cast<WORD>(seconds / 60 % 60);
    time->wSecond = static_cast<WORD>(seconds % 60);
    time->wMilliseconds = 0;
    return 1;
}
