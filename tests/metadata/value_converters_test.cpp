// tests/metadata/value_converters_test.cpp: property items to VARIANTs and back, over
// synthesized items.
#include "metadata/value_converters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "common/hr_error.h"
#include "metadata/property_item_list.h"
#include "metadata/property_tag_table.h"
#include "support/allocation_fault.h"
#include "support/bytes.h"
#include "support/com.h"
#include "support/ole_date.h"
#include "support/param_name.h"
#include "support/value_request.h"

namespace pixelfold::test {
namespace {

// An item over its own copy of `value`; a null value when `nullValue`, a real pointer even
// when `value` is empty otherwise.
class TestItem {
  public:
    TestItem(WORD type, Bytes value, bool nullValue = false) : value_(std::move(value)), item_{} {
        value_.reserve(value_.size() + 1);
        item_.id = 0x010F;
        item_.type = type;
        item_.length = static_cast<ULONG>(value_.size());
        item_.value = nullValue ? nullptr : value_.data();
    }
    const PropertyItem& get() const { return item_; }

  private:
    Bytes value_;
    PropertyItem item_;
};

Bytes Le32Pair(std::uint32_t a, std::uint32_t b) {
    Bytes out;
    AppendLe32(out, a);
    AppendLe32(out, b);
    return out;
}

Bytes Text(std::string_view text) {
    Bytes out;
    AppendText(out, text);
    return out;
}

WideString ValueText(const VARIANT& value) {
    return WideString(value.bstrVal, SysStringLen(value.bstrVal));
}

// What a converter should make of an item: nothing (refused), a number, a date, text or
// VT_EMPTY.
struct Expected {
    bool stored = false;
    VARTYPE vt = VT_EMPTY;
    double number = 0.0;   // VT_I4, VT_R8, VT_DATE
    WideString text = {};  // VT_BSTR
};

Expected Refused() {
    return {false};
}
Expected I4(double n) {
    return {true, VT_I4, n};
}
Expected R8(double n) {
    return {true, VT_R8, n};
}
Expected Bstr(const WCHAR* text) {
    return {true, VT_BSTR, 0.0, text};
}
Expected Date(double date) {
    return {true, VT_DATE, date};
}

void ExpectConverted(const Expected& e, bool stored, OwnedRequest& request) {
    ASSERT_EQ(e.stored, stored);
    ASSERT_EQ(e.vt, request->value.vt);
    EXPECT_EQ(e.stored ? 1 : 0, request->found);
    EXPECT_EQ(7, request->attributes) << "converters leave the attribute flags alone";
    switch (e.vt) {
        case VT_I4:
            EXPECT_EQ(static_cast<LONG>(e.number), request->value.lVal);
            break;
        case VT_R8:
            if (std::isnan(e.number)) {
                EXPECT_TRUE(std::isnan(request->value.dblVal));
            } else {
                EXPECT_DOUBLE_EQ(e.number, request->value.dblVal);
            }
            break;
        case VT_DATE:
            EXPECT_NEAR(e.number, request->value.date, 1e-7);
            break;
        case VT_BSTR:
            ASSERT_NE(nullptr, request->value.bstrVal);
            EXPECT_EQ(e.text, ValueText(request->value));
            break;
        default:
            break;
    }
}

struct ConvertCase {
    std::string name;
    WORD type;
    Bytes value;
    Expected expected;
    bool nullValue = false;
};

class VariantFromItemTest : public testing::TestWithParam<ConvertCase> {};

TEST_P(VariantFromItemTest, ConvertsOrRefuses) {
    const ConvertCase& c = GetParam();
    const TestItem item(c.type, c.value, c.nullValue);
    OwnedRequest request;
    ExpectConverted(c.expected, VariantFromItem(request.get(), item.get()), request);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Numbers, VariantFromItemTest,
    testing::Values(
        ConvertCase{"Byte", PropertyType::kByte, {0xFF}, I4(255)},
        ConvertCase{"FourBytes", PropertyType::kByte, {2, 2, 0, 0}, Refused()},
        ConvertCase{"Short", PropertyType::kShort, {0xFF, 0xFF}, I4(65535)},
        ConvertCase{"ThreeShorts", PropertyType::kShort, {1, 0, 2, 0, 3, 0}, Refused()},
        ConvertCase{"OneByteShort", PropertyType::kShort, {1}, Refused()},
        ConvertCase{"LongAllOnes", PropertyType::kLong, {0xFF, 0xFF, 0xFF, 0xFF}, I4(-1)},
        ConvertCase{"LongHighBit", PropertyType::kLong, {0, 0, 0, 0x80}, I4(-2147483648.0)},
        ConvertCase{"SLong", PropertyType::kSLong, {0xFF, 0xFF, 0xFF, 0xFF}, I4(-1)},
        ConvertCase{"EightByteLong", PropertyType::kLong, Le32Pair(1, 2), Refused()},
        ConvertCase{"RationalThird", PropertyType::kRational, Le32Pair(1, 3), R8(1.0 / 3)},
        ConvertCase{"RationalWhole", PropertyType::kRational, Le32Pair(72, 1), R8(72.0)},
        ConvertCase{"RationalUnsigned", PropertyType::kRational, Le32Pair(0xFFFFFFFF, 1),
                    R8(4294967295.0)},
        ConvertCase{"RationalOverZero", PropertyType::kRational, Le32Pair(5, 0), R8(kInf)},
        ConvertCase{"RationalZeroOverZero", PropertyType::kRational, Le32Pair(0, 0), R8(kNaN)},
        ConvertCase{"SRational", PropertyType::kSRational, Le32Pair(0xFFFFFFFF, 3), R8(-1.0 / 3)},
        ConvertCase{"GpsLatitude", PropertyType::kRational,
                    [] {
                        Bytes b = Le32Pair(52, 1);
                        AppendBytes(b, Le32Pair(30, 1));
                        AppendBytes(b, Le32Pair(0, 1));
                        return b;
                    }(),
                    Refused()},
        ConvertCase{"UndefinedOneByte", PropertyType::kUndefined, {1}, Refused()},
        ConvertCase{"UndefinedVersion", PropertyType::kUndefined, Text("0230"), Refused()},
        ConvertCase{"SByte", 6, {1}, Refused()}, ConvertCase{"SShort", 8, {1, 0}, Refused()},
        ConvertCase{"Float", 11, {0, 0, 0x80, 0x3F}, Refused()},
        ConvertCase{"TypeZero", 0, {1}, Refused()},
        ConvertCase{"NullLong", PropertyType::kLong, {0, 0, 0, 0}, Refused(), true}),
    ParamName());

INSTANTIATE_TEST_SUITE_P(
    Text, VariantFromItemTest,
    testing::Values(
        ConvertCase{"Plain", PropertyType::kAscii, Text(std::string("abc\0", 4)),
                    Bstr(WTEXT("abc"))},
        ConvertCase{"LineFeedWidened", PropertyType::kAscii, Text(std::string("a\nb\0", 4)),
                    Bstr(WTEXT("a\r\nb"))},
        ConvertCase{"CarriageReturnLineFeedWidenedToo", PropertyType::kAscii,
                    Text(std::string("a\r\nb\0", 5)), Bstr(WTEXT("a\r\r\nb"))},
        ConvertCase{"StopsAtFirstZero", PropertyType::kAscii, Text(std::string("one\0two\0", 8)),
                    Bstr(WTEXT("one"))},
        ConvertCase{"EmptyText", PropertyType::kAscii, {0}, Bstr(WTEXT(""))},
        ConvertCase{"NoZeroWithinLength", PropertyType::kAscii, Text("abc"), Bstr(WTEXT("abc"))},
        ConvertCase{"ZeroLength", PropertyType::kAscii, {}, Bstr(WTEXT(""))},
        ConvertCase{"AnsiByte", PropertyType::kAscii, Text("caf\xE9"), Bstr(WTEXT("caf\u00E9"))},
        ConvertCase{"NullValue", PropertyType::kAscii, {}, {true, VT_EMPTY}, true}),
    ParamName());

class VariantFromDateItemTest : public testing::TestWithParam<ConvertCase> {};

TEST_P(VariantFromDateItemTest, ValidDatesBecomeDatesAndTheRestText) {
    const ConvertCase& c = GetParam();
    const TestItem item(c.type, c.value, c.nullValue);
    OwnedRequest request;
    ExpectConverted(c.expected, VariantFromDateItem(request.get(), item.get()), request);
}

ConvertCase DateText(std::string name, std::string text, Expected expected) {
    text.push_back('\0');
    return {std::move(name), PropertyType::kAscii, Text(text), std::move(expected)};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantFromDateItemTest,
    testing::Values(
        DateText("Valid", "2021:07:14 09:05:33", Date(OleDate(2021, 7, 14, 9, 5, 33))),
        DateText("Placeholder", "0000:00:00 00:00:00", Bstr(WTEXT("0000:00:00 00:00:00"))),
        DateText("NoLeapYear", "2021:02:29 10:00:00", Bstr(WTEXT("2021:02:29 10:00:00"))),
        DateText("LeapYear", "2020:02:29 10:00:00", Date(OleDate(2020, 2, 29, 10))),
        DateText("Hour24", "2021:07:14 24:00:00", Bstr(WTEXT("2021:07:14 24:00:00"))),
        DateText("Second60", "2021:07:14 09:05:60", Bstr(WTEXT("2021:07:14 09:05:60"))),
        DateText("April31", "2021:04:31 09:05:33", Bstr(WTEXT("2021:04:31 09:05:33"))),
        DateText("WidthsAreMaxima", "2021:7:4 9:5:3", Date(OleDate(2021, 7, 4, 9, 5, 3))),
        DateText("TrailingTextIgnored", "2021:07:14 09:05:33 extra",
                 Date(OleDate(2021, 7, 14, 9, 5, 33))),
        DateText("NoBlankNeeded", "2021:07:1409:05:33", Date(OleDate(2021, 7, 14, 9, 5, 33))),
        DateText("Hyphens", "2021-07-14 09:05:33", Bstr(WTEXT("2021-07-14 09:05:33"))),
        DateText("BlankBeforeColon", "2021 :07:14 09:05:33", Bstr(WTEXT("2021 :07:14 09:05:33"))),
        DateText("TwoDigitYear", "0099:01:01 00:00:00", Bstr(WTEXT("0099:01:01 00:00:00"))),
        DateText("NegativeYear", "-001:01:01 00:00:00", Bstr(WTEXT("-001:01:01 00:00:00"))),
        DateText("FirstDay", "0100:01:01 00:00:00", Date(OleDate(100, 1, 1))),
        DateText("FirstDayAtNoon", "0100:01:01 12:00:00", Date(-657434.5)),
        DateText("LastSecond", "9999:12:31 23:59:59", Date(OleDate(9999, 12, 31, 23, 59, 59))),
        DateText("Subseconds", "42", Bstr(WTEXT("42"))),
        ConvertCase{"ShortItem", PropertyType::kShort, {7, 0}, I4(7)},
        ConvertCase{"UndefinedItem", PropertyType::kUndefined, Text("2021"), Refused()},
        ConvertCase{"NullText", PropertyType::kAscii, {}, {true, VT_EMPTY}, true}),
    ParamName());

TEST(VariantFromItemTest, ReplacesAndReleasesThePreviousValue) {
    const TestItem number(PropertyType::kShort, {5, 0});
    const TestItem text(PropertyType::kAscii, Text(std::string("Canon\0", 6)));
    OwnedRequest request;
    ASSERT_TRUE(VariantFromItem(request.get(), text.get()));
    ASSERT_TRUE(VariantFromItem(request.get(), text.get()));  // BSTR over BSTR
    ASSERT_TRUE(VariantFromItem(request.get(), number.get()));
    EXPECT_EQ(VT_I4, request->value.vt);
    EXPECT_EQ(5, request->value.lVal);
    // What the request held is given back, whichever converter answers.
    const TestItem date(PropertyType::kAscii, Text("2021:07:14 09:05:33"));
    for (const bool isDate : {false, true}) {
        TestOuter held;  // one reference: the request's
        request->value.vt = VT_UNKNOWN;
        request->value.punkVal = held.unknown();
        ASSERT_TRUE(isDate ? VariantFromDateItem(request.get(), date.get())
                           : VariantFromItem(request.get(), number.get()));
        EXPECT_EQ(0u, held.count.load()) << isDate;
        EXPECT_EQ(isDate ? VT_DATE : VT_I4, request->value.vt);
    }
}

// Out of memory while decoding or while making the string: E_OUTOFMEMORY is thrown and the
// request keeps its value and found flag.
TEST(VariantFromItemTest, OutOfMemoryLeavesTheRequestAsItWas) {
    const TestItem text(PropertyType::kAscii, Text(std::string("a\nb\0", 4)));
    for (unsigned successes = 0; successes < 2; ++successes) {
        OwnedRequest request;
        request->value.vt = VT_I4;
        request->value.lVal = 42;
        const ScopedAllocationFault fault(successes);
        try {
            VariantFromItem(request.get(), text.get());
            ADD_FAILURE() << "no exception after " << successes << " allocations";
        } catch (const HrError& e) {
            EXPECT_EQ(E_OUTOFMEMORY, e.code());
        }
        EXPECT_EQ(VT_I4, request->value.vt);
        EXPECT_EQ(42, request->value.lVal);
        EXPECT_EQ(0, request->found);
    }
}

using ItemPointer = std::unique_ptr<PropertyItem, decltype(&FreeItemFromVariant)>;

ItemPointer ItemFrom(const ValueRequest& request, const WCHAR* rowName) {
    const PropertyTagInfo* row = FindPropertyTag(rowName);
    EXPECT_NE(nullptr, row);
    return {row == nullptr ? nullptr : row->toItem(request, *row), &FreeItemFromVariant};
}

std::string ItemText(const PropertyItem& item) {
    return std::string(static_cast<const char*>(item.value), item.length);
}

TEST(DateItemFromVariantTest, DateBecomesExifTextUnderTheRowsTag) {
    OwnedRequest request;
    request->value.vt = VT_DATE;
    request->value.date = OleDate(2021, 7, 14, 9, 5, 33);
    const ItemPointer item = ItemFrom(request.get(), WTEXT("PropertyTagDateTime"));
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(0x0132u, item->id);
    EXPECT_EQ(PropertyType::kAscii, item->type);
    ASSERT_EQ(20u, item->length);
    EXPECT_EQ(std::string("2021:07:14 09:05:33\0", 20), ItemText(*item));
    EXPECT_EQ(VT_DATE, request->value.vt);
}

TEST(DateItemFromVariantTest, TextIsConvertedWithoutChangingTheRequest) {
    OwnedRequest request;
    request->value.vt = VT_BSTR;
    request->value.bstrVal = SysAllocString(WTEXT("7/14/2021 9:05:33 PM"));
    const BSTR before = request->value.bstrVal;
    const ItemPointer item = ItemFrom(request.get(), WTEXT("PropertyTagExifDTOrig"));
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(0x9003u, item->id);
    EXPECT_EQ(std::string("2021:07:14 21:05:33\0", 20), ItemText(*item));
    EXPECT_EQ(VT_BSTR, request->value.vt);
    EXPECT_EQ(before, request->value.bstrVal);
}

TEST(DateItemFromVariantTest, WhatIsNoDateGivesNoItem) {
    struct Case {
        const char* name;
        VARTYPE vt;
        double number;
        const WCHAR* text;
    };
    const Case cases[] = {{"Words", VT_BSTR, 0, WTEXT("not a date")},
                          {"BeyondLastDay", VT_R8, 2958466.0, nullptr},
                          {"DateBeyondLastDay", VT_DATE, 2958466.0, nullptr},
                          {"Null", VT_NULL, 0, nullptr}};
    for (const Case& c : cases) {
        OwnedRequest request;
        request->value.vt = c.vt;
        if (c.vt == VT_BSTR) request->value.bstrVal = SysAllocString(c.text);
        if (c.vt == VT_R8 || c.vt == VT_DATE) request->value.dblVal = c.number;
        EXPECT_EQ(nullptr, ItemFrom(request.get(), WTEXT("PropertyTagDateTime"))) << c.name;
    }
}

TEST(DateItemFromVariantTest, FailedAllocationGivesNoItem) {
    OwnedRequest request;
    request->value.vt = VT_DATE;
    request->value.date = OleDate(2021, 7, 14);
    for (unsigned successes = 0; successes < 2; ++successes) {
        const ScopedAllocationFault fault(successes);
        EXPECT_EQ(nullptr, ItemFrom(request.get(), WTEXT("PropertyTagDateTime"))) << successes;
    }
}

TEST(NoItemFromVariantTest, NeverMakesAnItem) {
    OwnedRequest request;
    request->value.vt = VT_I4;
    request->value.lVal = 3;
    EXPECT_EQ(nullptr, ItemFrom(request.get(), WTEXT("PropertyTagOrientation")));
}

}  // namespace
}  // namespace pixelfold::test
