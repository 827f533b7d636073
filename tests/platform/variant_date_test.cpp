// tests/platform/variant_date_test.cpp: the conversions between calendar fields, OLE
// Automation dates and date text. The same cases run against Windows (Wine) and the stand-ins.
#include <gtest/gtest.h>

#include <array>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "platform/unique.h"
#include "platform/wide_string.h"
#include "support/com.h"
#include "support/ole_date.h"
#include "support/param_name.h"

namespace pixelfold::test {
namespace {

constexpr double kSecond = 1.0 / 86400.0;

SYSTEMTIME Fields(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t;
}

struct ToDateCase {
    std::string name;
    SYSTEMTIME fields;
    std::optional<double> expected;  // nothing: refused
};

class SystemTimeToVariantTimeTest : public testing::TestWithParam<ToDateCase> {};

TEST_P(SystemTimeToVariantTimeTest, ConvertsOrRefuses) {
    const ToDateCase& c = GetParam();
    SYSTEMTIME fields = c.fields;
    double date = -12345.0;
    const INT ok = SystemTimeToVariantTime(&fields, &date);
    ASSERT_EQ(c.expected.has_value(), ok != 0);
    if (c.expected) {
        EXPECT_NEAR(*c.expected, date, kSecond / 100);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemTimeToVariantTimeTest,
    testing::Values(
        ToDateCase{"DayTime", Fields(2021, 7, 14, 9, 5, 33), OleDate(2021, 7, 14, 9, 5, 33)},
        ToDateCase{"DayZero", Fields(1899, 12, 30), 0.0},
        ToDateCase{"BeforeDayZeroTimeCountsAway", Fields(1899, 12, 29, 6), -1.25},
        ToDateCase{"FirstDay", Fields(100, 1, 1), -657434.0},
        ToDateCase{"FirstDayAtNoon", Fields(100, 1, 1, 12), -657434.5},
        ToDateCase{"FirstDayLastSecond", Fields(100, 1, 1, 23, 59, 59),
                   -657434.0 - 86399 * kSecond},
        ToDateCase{"LastSecond", Fields(9999, 12, 31, 23, 59, 59),
                   OleDate(9999, 12, 31, 23, 59, 59)},
        ToDateCase{"LeapDay", Fields(2020, 2, 29, 10), OleDate(2020, 2, 29, 10)},
        ToDateCase{"FourthYearOfAnEra", Fields(2003, 6, 15), OleDate(2003, 6, 15)},
        ToDateCase{"NoLeapDayCarries", Fields(2021, 2, 29, 10), OleDate(2021, 3, 1, 10)},
        ToDateCase{"April31Carries", Fields(2021, 4, 31), OleDate(2021, 5, 1)},
        ToDateCase{"Hour24Carries", Fields(2021, 7, 14, 24), OleDate(2021, 7, 15)},
        ToDateCase{"Second60Carries", Fields(2021, 7, 14, 9, 5, 60), OleDate(2021, 7, 14, 9, 6)},
        ToDateCase{"Minute60Carries", Fields(2021, 12, 31, 23, 60), OleDate(2022, 1, 1)},
        ToDateCase{"Day0IsLastOfMonthBefore", Fields(2021, 3, 0), OleDate(2021, 2, 28)},
        ToDateCase{"Month0IsDecemberBefore", Fields(2021, 0, 10), OleDate(2020, 12, 10)},
        ToDateCase{"Year0Is2000", Fields(0, 1, 1), OleDate(2000, 1, 1)},
        ToDateCase{"Year49Is2049", Fields(49, 6, 1), OleDate(2049, 6, 1)},
        ToDateCase{"Year50Is1950", Fields(50, 6, 1), OleDate(1950, 6, 1)},
        ToDateCase{"Year99Is1999", Fields(99, 6, 1), OleDate(1999, 6, 1)},
        ToDateCase{"Month13", Fields(2021, 13, 1), std::nullopt},
        ToDateCase{"Day32", Fields(2021, 1, 32), std::nullopt},
        ToDateCase{"Year10000", Fields(10000, 1, 1), std::nullopt},
        ToDateCase{"YearAbove32767", Fields(0xFFFF, 1, 1), std::nullopt}),
    ParamName());

#if !defined(_WIN32)
// Fields read as signed numbers carry into the days around them: hour -24 is the day before's
// midnight. Those that carry past 31 December 9999 are refused, as fields that name a later
// day are. (Wine's conversion reads the fields unsigned, and gives 1 January 10000.)
TEST(SystemTimeToVariantTimeRangeTest, FieldsCarryIntoTheDaysAroundThem) {
    SYSTEMTIME fields = Fields(2021, 7, 14, -24);
    DATE date = 0.0;
    EXPECT_EQ(1, SystemTimeToVariantTime(&fields, &date));
    EXPECT_EQ(OleDate(2021, 7, 13), date);
    fields = Fields(1899, 12, 31, -24);  // into day 0 from the day after it
    EXPECT_EQ(1, SystemTimeToVariantTime(&fields, &date));
    EXPECT_EQ(0.0, date);
    fields = Fields(9999, 12, 31, 24);
    EXPECT_EQ(0, SystemTimeToVariantTime(&fields, &date));
}
#endif

struct FromDateCase {
    std::string name;
    double date;
    std::optional<SYSTEMTIME> expected;  // nothing: refused
    int dayOfWeek = 0;                   // -1: not compared
};

class VariantTimeToSystemTimeTest : public testing::TestWithParam<FromDateCase> {};

TEST_P(VariantTimeToSystemTimeTest, ConvertsOrRefuses) {
    const FromDateCase& c = GetParam();
    SYSTEMTIME t{};
    const INT ok = VariantTimeToSystemTime(c.date, &t);
    ASSERT_EQ(c.expected.has_value(), ok != 0);
    if (!c.expected) return;
    const SYSTEMTIME& e = *c.expected;
    EXPECT_EQ(e.wYear, t.wYear);
    EXPECT_EQ(e.wMonth, t.wMonth);
    EXPECT_EQ(e.wDay, t.wDay);
    EXPECT_EQ(e.wHour, t.wHour);
    EXPECT_EQ(e.wMinute, t.wMinute);
    EXPECT_EQ(e.wSecond, t.wSecond);
    EXPECT_EQ(0, t.wMilliseconds);
    if (c.dayOfWeek >= 0) {
        EXPECT_EQ(c.dayOfWeek, t.wDayOfWeek);
    }
}

const double kNoon = OleDate(2021, 7, 14, 12);

// The last day of every month of 2021 and of three Februaries, as serials counted independently:
// each turns into that day, and the serial after it into the first of the next month.
TEST(VariantTimeToSystemTimeTest, EveryMonthEndsOnItsLastDay) {
    struct MonthEnd {
        double serial;
        WORD year, month, day;
    };
    constexpr MonthEnd kEnds[] = {
        {44227, 2021, 1, 31}, {44255, 2021, 2, 28},  {44286, 2021, 3, 31},  {44316, 2021, 4, 30},
        {44347, 2021, 5, 31}, {44377, 2021, 6, 30},  {44408, 2021, 7, 31},  {44439, 2021, 8, 31},
        {44469, 2021, 9, 30}, {44500, 2021, 10, 31}, {44530, 2021, 11, 30}, {44561, 2021, 12, 31},
        {43890, 2020, 2, 29}, {60, 1900, 2, 28},     {36585, 2000, 2, 29}};
    for (const MonthEnd& e : kEnds) {
        SYSTEMTIME last{}, next{};
        ASSERT_NE(0, VariantTimeToSystemTime(e.serial, &last));
        ASSERT_NE(0, VariantTimeToSystemTime(e.serial + 1, &next));
        EXPECT_EQ((std::array<WORD, 3>{e.year, e.month, e.day}),
                  (std::array<WORD, 3>{last.wYear, last.wMonth, last.wDay}));
        EXPECT_EQ(1, next.wDay) << e.serial;
        EXPECT_EQ(e.month % 12 + 1, next.wMonth) << e.serial;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantTimeToSystemTimeTest,
    testing::Values(
        FromDateCase{"DayTime", OleDate(2021, 7, 14, 9, 5, 33), Fields(2021, 7, 14, 9, 5, 33), 3},
        FromDateCase{"DayZero", 0.0, Fields(1899, 12, 30), 6},
        FromDateCase{"BeforeDayZero", -1.25, Fields(1899, 12, 29, 6), 5},
        FromDateCase{"FirstDay", -657434.0, Fields(100, 1, 1), 5},
        FromDateCase{"FirstDayAtNoon", -657434.5, Fields(100, 1, 1, 12), 5},
        FromDateCase{"LastSecond", OleDate(9999, 12, 31, 23, 59, 59),
                     Fields(9999, 12, 31, 23, 59, 59), 5},
        FromDateCase{"RoundsDown", kNoon + 0.4 * kSecond, Fields(2021, 7, 14, 12), 3},
        FromDateCase{"RoundsUp", kNoon + 0.6 * kSecond, Fields(2021, 7, 14, 12, 0, 1), 3},
        FromDateCase{"RoundsIntoNextDay", OleDate(2021, 7, 14) + 86399.7 * kSecond,
                     Fields(2021, 7, 15), -1},  // Wine gives the weekday before rounding
        FromDateCase{"DayBeforeFirst", -657435.0, std::nullopt},
        FromDateCase{"DayAfterLast", 2958466.0, std::nullopt}),
    ParamName());

struct ChangeTypeCase {
    std::string name;
    VARTYPE type;
    double number;     // for numeric types
    const char* text;  // for VT_BSTR (ASCII)
    HRESULT expectedResult;
    double expectedDate;
};

class VariantChangeTypeToDateTest : public testing::TestWithParam<ChangeTypeCase> {};

TEST_P(VariantChangeTypeToDateTest, ConvertsOrRefuses) {
    const ChangeTypeCase& c = GetParam();
    UniqueVariant source;
    source->vt = c.type;
    switch (c.type) {
        case VT_I4:
            source->lVal = static_cast<LONG>(c.number);
            break;
        case VT_R8:
            source->dblVal = c.number;
            break;
        case VT_BOOL:
            source->boolVal = static_cast<VARIANT_BOOL>(c.number);
            break;
        case VT_BSTR: {
            const std::string ascii = c.text;
            const WideString text(ascii.begin(), ascii.end());
            source->bstrVal = SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
            break;
        }
        default:
            break;
    }
    UniqueVariant converted;
    ASSERT_EQ(c.expectedResult, VariantChangeType(converted.get(), source.get(), 0, VT_DATE));
    if (FAILED(c.expectedResult)) {
        EXPECT_EQ(VT_EMPTY, converted->vt);
        return;
    }
    EXPECT_EQ(VT_DATE, converted->vt);
    EXPECT_NEAR(c.expectedDate, converted->date, kSecond / 100);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, VariantChangeTypeToDateTest,
    testing::Values(
        ChangeTypeCase{"Empty", VT_EMPTY, 0, nullptr, S_OK, 0.0},
        ChangeTypeCase{"Null", VT_NULL, 0, nullptr, DISP_E_TYPEMISMATCH, 0.0},
        ChangeTypeCase{"I4", VT_I4, 44391, nullptr, S_OK, 44391.0},
        ChangeTypeCase{"R8", VT_R8, 44391.25, nullptr, S_OK, 44391.25},
        ChangeTypeCase{"BoolTrue", VT_BOOL, -1, nullptr, S_OK, -1.0},
        ChangeTypeCase{"FirstDay", VT_R8, -657434.0, nullptr, S_OK, -657434.0},
        ChangeTypeCase{"BeforeFirstDay", VT_R8, -657435.0, nullptr, DISP_E_OVERFLOW, 0.0},
        ChangeTypeCase{"AfterLastDay", VT_R8, 2958466.0, nullptr, DISP_E_OVERFLOW, 0.0},
        ChangeTypeCase{"I4AfterLastDay", VT_I4, 3000000, nullptr, DISP_E_OVERFLOW, 0.0}),
    ParamName());

ChangeTypeCase Text(std::string name, const char* text, double expected) {
    return {std::move(name), VT_BSTR, 0, text, S_OK, expected};
}
ChangeTypeCase BadText(std::string name, const char* text) {
    return {std::move(name), VT_BSTR, 0, text, DISP_E_TYPEMISMATCH, 0.0};
}

INSTANTIATE_TEST_SUITE_P(
    Text, VariantChangeTypeToDateTest,
    testing::Values(Text("IsoDate", "2021-07-14", OleDate(2021, 7, 14)),
                    Text("IsoDateTime", "2021-07-14 09:05:33", OleDate(2021, 7, 14, 9, 5, 33)),
                    Text("YearFirstSlashes", "2021/07/14", OleDate(2021, 7, 14)),
                    Text("MonthDayYear", "7/14/2021", OleDate(2021, 7, 14)),
                    Text("TwoDigitYear", "7/14/21", OleDate(2021, 7, 14)),
                    Text("AfternoonTime", "07/14/2021 9:05:33 PM", OleDate(2021, 7, 14, 21, 5, 33)),
                    Text("MidnightAm", "7/14/2021 12:00 AM", OleDate(2021, 7, 14)),
                    Text("DayMonthName", "14 July 2021", OleDate(2021, 7, 14)),
                    Text("MonthNameDay", "July 14, 2021", OleDate(2021, 7, 14)),
                    Text("ShortMonthName", "Jul 14 2021 09:05", OleDate(2021, 7, 14, 9, 5)),
                    Text("TimeOnly", "09:05:33", OleDate(1899, 12, 30, 9, 5, 33)),
                    Text("DayFirstWhenNoMonth", "14/7/2021", OleDate(2021, 7, 14)),
                    Text("DayFirstDecember", "14/12/2021", OleDate(2021, 12, 14)),
                    Text("MonthYear", "7/2021", OleDate(2021, 7, 1)),
                    Text("MonthNameYear", "July 2021", OleDate(2021, 7, 1)),
                    Text("YearMonthNameDay", "2021 July 14", OleDate(2021, 7, 14)),
                    Text("WithDayName", "Wednesday, July 14, 2021", OleDate(2021, 7, 14)),
                    Text("TimeFirst", "10:30 PM July 14 2021", OleDate(2021, 7, 14, 22, 30)),
                    Text("HourAndMeridiem", "July 14 2021 10 AM", OleDate(2021, 7, 14, 10)),
                    Text("HourOnly", "9 PM", OleDate(1899, 12, 30, 21)),
                    Text("ZeroHourAm", "0:30 AM", OleDate(1899, 12, 30, 0, 30)),
                    Text("TwentyFourHourPm", "13:00 PM", OleDate(1899, 12, 30, 13)),
                    Text("Hyphens", "7-14-2021", OleDate(2021, 7, 14)),
                    Text("ShortFields", "2021-7-4 9:5:3", OleDate(2021, 7, 4, 9, 5, 3)),
                    Text("Year49", "7/14/49", OleDate(2049, 7, 14)),
                    Text("Year50", "7/14/50", OleDate(1950, 7, 14)),
                    Text("Year0099", "7/14/0099", OleDate(1999, 7, 14)),
                    Text("Blanks", "  7/14/2021  ", OleDate(2021, 7, 14)),
                    Text("LeapDay2000", "2/29/2000", OleDate(2000, 2, 29)),
                    Text("January31InALeapYear", "1/31/2020", OleDate(2020, 1, 31)),
                    BadText("LeapDay1900", "2/29/1900"), BadText("LeapDay2021", "2/29/2021"),
                    BadText("January32", "1/32/2021"), BadText("FourNumbers", "1/2/3/2"),
                    BadText("Words", "not a date"), BadText("Empty", ""),
                    BadText("February30", "2/30/2021"), BadText("Month13", "13/13/2021"),
                    BadText("Hour25", "7/14/2021 25:00"), BadText("Dots", "14.07.2021"),
                    BadText("ExifText", "2021:07:14 09:05:33"),
                    BadText("IsoSeparator", "2021-07-14T09:05:33")),
    ParamName());

// Text names each month's last day of 2021, and refuses the day after it.
TEST(VariantChangeTypeMonthEndTest, EachMonthEndsOnItsLastDay) {
    constexpr unsigned kLastDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (unsigned month = 1; month <= 12; ++month) {
        for (const unsigned day : {kLastDays[month - 1], kLastDays[month - 1] + 1}) {
            const std::string text = std::to_string(month) + "/" + std::to_string(day) + "/2021";
            SCOPED_TRACE(text);
            const WideString wide(text.begin(), text.end());
            UniqueVariant source;
            source->vt = VT_BSTR;
            source->bstrVal = SysAllocStringLen(wide.c_str(), static_cast<UINT>(wide.size()));
            UniqueVariant converted;
            const HRESULT hr = VariantChangeType(converted.get(), source.get(), 0, VT_DATE);
            if (day == kLastDays[month - 1]) {
                ASSERT_EQ(S_OK, hr);
                EXPECT_EQ(OleDate(2021, month, day), converted->date);
            } else {
                EXPECT_EQ(DISP_E_TYPEMISMATCH, hr);
            }
        }
    }
}

TEST(BstrTest, HoldsItsByteLengthBeforeTheText) {
    const UniqueBstr text(SysAllocStringLen(WTEXT("abc"), 3));
    ASSERT_TRUE(text);
    EXPECT_EQ(3u, SysStringLen(text.get()));
    EXPECT_EQ(6u, SysStringByteLen(text.get()));
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text.get()) - 4, 4);
    EXPECT_EQ(6u, prefix);
    EXPECT_EQ(WCHAR{0}, text.get()[3]);
    EXPECT_EQ(0u, SysStringLen(nullptr));
}

TEST(BstrTest, VariantCopyDuplicatesTextAndClearFreesIt) {
    UniqueVariant source;
    source->vt = VT_BSTR;
    source->bstrVal = SysAllocString(WTEXT("Canon"));
    UniqueVariant copy;
    ASSERT_EQ(S_OK, VariantCopy(copy.get(), source.get()));
    ASSERT_EQ(VT_BSTR, copy->vt);
    EXPECT_NE(source->bstrVal, copy->bstrVal);
    EXPECT_EQ(WideString(WTEXT("Canon")), WideString(copy->bstrVal));
    ASSERT_EQ(S_OK, VariantClear(copy.get()));
    EXPECT_EQ(VT_EMPTY, copy->vt);
}

// What a variant holds is its own: a copy takes a reference, a clear gives it back; types that
// hold nothing known are refused, and a conversion needs both variants.
TEST(VariantTest, CopyAndClearOwnWhatTheyHoldAndRefuseWhatTheyDoNotKnow) {
    TestOuter object;
    VARIANT held;
    VariantInit(&held);
    held.vt = VT_UNKNOWN;
    held.punkVal = object.unknown();  // the reference `object` starts with
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(S_OK, VariantCopy(&copy, &held));
    EXPECT_EQ(2u, object.count.load());
    ASSERT_EQ(S_OK, VariantClear(&copy));
    EXPECT_EQ(1u, object.count.load());
    EXPECT_EQ(VT_EMPTY, copy.vt);
    VARIANT unknown;
    VariantInit(&unknown);
    unknown.vt = 0x7FFF;  // no variant type
    EXPECT_EQ(DISP_E_BADVARTYPE, VariantClear(&unknown));
    EXPECT_EQ(DISP_E_BADVARTYPE, VariantCopy(&copy, &unknown));
#if !defined(_WIN32)
    VARIANT date;
    VariantInit(&date);
    EXPECT_EQ(E_INVALIDARG, VariantChangeType(nullptr, &held, 0, VT_DATE));
    EXPECT_EQ(E_INVALIDARG, VariantChangeType(&date, nullptr, 0, VT_DATE));
#endif
}

}  // namespace
}  // namespace pixelfold::test
