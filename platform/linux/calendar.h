// platform/linux/calendar.h: the proleptic Gregorian calendar in OLE Automation day numbers
// (day 0 is 30 December 1899), shared by the date conversions of the stand-ins.
#pragma once

#include <cstdint>

namespace pixelfold::platform {

inline constexpr double kMinDate = -657434.0;  // 1 January 100
inline constexpr double kMaxDate = 2958465.0;  // 31 December 9999
inline constexpr std::int64_t kSecondsPerDay = 86400;

constexpr bool IsLeapYear(std::int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

constexpr int DaysInMonth(std::int64_t year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Day number of a date; `month` 1 to 12, `day` counted from 1 and free to run past the month.
constexpr std::int64_t DayNumber(std::int64_t year, int month, std::int64_t day) {
    // Counts from 1 March of year 0 so that the leap day ends a year.
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    constexpr std::int64_t kDaysFrom0000To1899_12_30 = 693899;
    return era * 146097 + dayOfEra + (day - 1) - kDaysFrom0000To1899_12_30;
}

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

constexpr CivilDate CivilFromDayNumber(std::int64_t dayNumber) {
    const std::int64_t z = dayNumber + 693899;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

static_assert(DayNumber(1899, 12, 30) == 0);
static_assert(DayNumber(1900, 1, 1) == 2);
static_assert(DayNumber(100, 1, 1) == -657434);
static_assert(DayNumber(9999, 12, 31) == 2958465);
static_assert(CivilFromDayNumber(44391).year == 2021 && CivilFromDayNumber(44391).month == 7 &&
              CivilFromDayNumber(44391).day == 14);

// The OLE Automation date of a day and a time of day in seconds (0 to 86399): the time is
// counted away from day 0, so that the fraction always reads as the time of day.
constexpr double DateFromDayAndTime(std::int64_t dayNumber, std::int64_t seconds) {
    const double fraction = static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay);
    const auto day = static_cast<double>(dayNumber);
    return dayNumber < 0 ? day - fraction : day + fraction;
}

}  // namespace pixelfold::platform
