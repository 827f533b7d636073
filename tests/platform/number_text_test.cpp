// tests/platform/number_text_test.cpp: text to an unsigned 32-bit number, as registration
// scripts write "D" values. The same cases run against Windows (Wine) and the stand-in.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/wide_string.h"
#include "support/param_name.h"

namespace pixelfold::test {
namespace {

struct NumberCase {
    std::string name;
    const WCHAR* text;
    HRESULT expected;
    ULONG value = 0;
};

class VarUI4FromStrTest : public testing::TestWithParam<NumberCase> {};

TEST_P(VarUI4FromStrTest, ReadsOrRefuses) {
    const NumberCase& c = GetParam();
    WideString text(c.text);  // some SDK headers take the text as non-const
    ULONG value = 777;
    EXPECT_EQ(c.expected, VarUI4FromStr(text.data(), 0, 0, &value));
    EXPECT_EQ(SUCCEEDED(c.expected) ? c.value : 777u, value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VarUI4FromStrTest,
    testing::Values(NumberCase{"Decimal", WTEXT("123"), S_OK, 123},
                    NumberCase{"Blanks", WTEXT("  42  "), S_OK, 42},
                    NumberCase{"Plus", WTEXT("+7"), S_OK, 7},
                    NumberCase{"MinusZero", WTEXT("-0"), S_OK, 0},
                    NumberCase{"Hex", WTEXT("&H1F"), S_OK, 31},
                    NumberCase{"HexLower", WTEXT("&hff"), S_OK, 255},
                    NumberCase{"Largest", WTEXT("4294967295"), S_OK, 4294967295u},
                    NumberCase{"LargestHex", WTEXT("&HFFFFFFFF"), S_OK, 4294967295u},
                    NumberCase{"TooLarge", WTEXT("4294967296"), DISP_E_OVERFLOW},
                    NumberCase{"TooLargeHex", WTEXT("&H100000000"), DISP_E_OVERFLOW},
                    NumberCase{"Negative", WTEXT("-1"), DISP_E_OVERFLOW},
                    NumberCase{"Letters", WTEXT("abc"), DISP_E_TYPEMISMATCH},
                    NumberCase{"Empty", WTEXT(""), DISP_E_TYPEMISMATCH},
                    NumberCase{"TwoNumbers", WTEXT("1 2"), DISP_E_TYPEMISMATCH},
                    NumberCase{"TrailingLetters", WTEXT("12abc"), DISP_E_TYPEMISMATCH},
                    NumberCase{"CStyleHex", WTEXT("0x10"), DISP_E_TYPEMISMATCH},
                    NumberCase{"HexWithoutDigits", WTEXT("&H"), DISP_E_TYPEMISMATCH}),
    ParamName());

}  // namespace
}  // namespace pixelfold::test
