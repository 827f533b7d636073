// tests/platform/ansi_text_test.cpp: ANSI text to UTF-16. Single-byte text decodes as
// Windows-1252 on both targets (Windows: when that is the ANSI code page); UTF-8 is read as
// UTF-8 only where the platform has no ANSI code page.
#include "platform/ansi_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/allocation_fault.h"
#include "support/param_name.h"

namespace pixelfold::test {
namespace {

struct DecodeCase {
    std::string name;
    std::string bytes;
    std::u16string expected;
};

class AnsiTextTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(AnsiTextTest, Decodes) {
#if defined(_WIN32)
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
#endif
    const DecodeCase& c = GetParam();
    WideString out(WTEXT("old"));
    ASSERT_EQ(S_OK, DecodeAnsiText(c.bytes, out));
    EXPECT_EQ(c.expected, std::u16string(out.begin(), out.end()));
}

INSTANTIATE_TEST_SUITE_P(
    SingleByte, AnsiTextTest,
    testing::Values(DecodeCase{"Empty", "", u""}, DecodeCase{"Ascii", "Canon EOS", u"Canon EOS"},
                    DecodeCase{"ControlsKept", "a\r\nb\tc", u"a\r\nb\tc"},
                    DecodeCase{"ZeroKept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
                    DecodeCase{"Latin1", "caf\xE9 \xFC\xDF", u"caf\u00E9 \u00FC\u00DF"},
                    DecodeCase{"Cp1252Punctuation", "\x80 \x85 \x93q\x94 \x99",
                               u"\u20AC \u2026 \u201Cq\u201D \u2122"},
                    DecodeCase{"Cp1252Unassigned", "\x81\x8D\x8F\x90\x9D",
                               u"\u0081\u008D\u008F\u0090\u009D"},
                    DecodeCase{"LoneContinuationByte", "\xA9 2021", u"\u00A9 2021"}),
    ParamName());

#if !defined(_WIN32)
INSTANTIATE_TEST_SUITE_P(
    Utf8WhereValid, AnsiTextTest,
    testing::Values(DecodeCase{"TwoBytes", "caf\xC3\xA9", u"caf\u00E9"},
                    DecodeCase{"ThreeBytes", "\xE2\x82\xAC 5", u"\u20AC 5"},
                    DecodeCase{"FourBytesMakeAPair", "\xF0\x9F\x93\xB7", u"\U0001F4F7"},
                    DecodeCase{"OverlongIsNotUtf8", "\xC0\xAF", u"\u00C0\u00AF"},
                    DecodeCase{"SurrogateIsNotUtf8", "\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},
                    DecodeCase{"CutSequenceIsNotUtf8", "caf\xC3", u"caf\u00C3"},
                    DecodeCase{"AboveUnicodeIsNotUtf8", "\xF4\x90\x80\x80",
                               u"\u00F4\u0090\u20AC\u20AC"}),
    ParamName());
#endif

TEST(AnsiTextOutOfMemoryTest, LeavesTheTextAsItWas) {
    WideString out(WTEXT("old"));
    const ScopedAllocationFault fault(0);
    EXPECT_EQ(E_OUTOFMEMORY, DecodeAnsiText("abc", out));
    EXPECT_EQ(WideString(WTEXT("old")), out);
}

}  // namespace
}  // namespace pixelfold::test
