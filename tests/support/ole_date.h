// tests/support/ole_date.h: expected OLE Automation dates, computed with the standard
// calendar rather than with the code under test.
#pragma once

#include <chrono>

namespace pixelfold::test {

// Days since 30 December 1899, the time of day as the fraction (counted away from day 0).
inline double OleDate(int year, unsigned month, unsigned day, int hour = 0, int minute = 0,
                      int second = 0) {
    using namespace std::chrono;
    const auto days = (sys_days{std::chrono::year{year} / month / day} -
                       sys_days{std::chrono::year{1899} / 12 / 30})
                          .count();
    const double fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

}  // namespace pixelfold::test
