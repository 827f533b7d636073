// tests/platform/utf8_test.cpp: file names from bytes to UTF-16 without loss, and back.
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

#if !defined(_WIN32)
#include "platform/linux/utf16.h"
#endif

namespace pixelfold::test {
namespace {

struct NameCase {
    std::string bytes;
    WideString utf16;
};

TEST(FileNameTextTest, KeepsEveryByteOfAName) {
    const NameCase cases[] = {
        {"plain.bmp", WTEXT("plain.bmp")},
        {"\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80", WTEXT("\u00E4\u20AC\U0001F600")},
        // The last code point of each length and the first of the next.
        {"\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80",
         WideString{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xD800, 0xDC00}},
        {"lat\xE9in", WideString{'l', 'a', 't', 0xDCE9, 'i', 'n'}},  // Latin-1
        {"\xE2\x82.", WideString{0xDCE2, 0xDC82, '.'}},              // a cut sequence
        {"\xC0\xAF", WideString{0xDCC0, 0xDCAF}},                    // an overlong '/'
        {"\xED\xA0\x80", WideString{0xDCED, 0xDCA0, 0xDC80}},        // an encoded surrogate
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(c.utf16, Utf16FromFileName(c.bytes));

#if !defined(_WIN32)
        EXPECT_EQ(c.bytes, platform::FileNameFromUtf16(c.utf16.c_str()));
#endif
    }
#if !defined(_WIN32)
    EXPECT_EQ(std::nullopt, platform::FileNameFromUtf16(WideString{'a', 0xD800}.c_str()));
    EXPECT_EQ(std::nullopt, platform::FileNameFromUtf16(WideString{0xDC41}.c_str()));
#endif
    for (const NameCase& valid : {cases[1], cases[2]})  // valid text, as output writes it
        EXPECT_EQ(valid.bytes, Utf8FromUtf16(valid.utf16));
    // Text that is not a name still shows a stray byte as U+FFFD, and so does output.
    EXPECT_EQ(WideString(WTEXT("lat\uFFFDin")), Utf16FromUtf8("lat\xE9in"));
    EXPECT_EQ("lat\xEF\xBF\xBDin", Utf8FromUtf16(Utf16FromFileName("lat\xE9in")));
    // A high surrogate that ends the text is unpaired, whatever follows it in memory.
    const WideString pair{'a', 0xD83D, 0xDE00};
    EXPECT_EQ("a\xEF\xBF\xBD", Utf8FromUtf16(std::basic_string_view<OLECHAR>(pair.data(), 2)));
}

}  // namespace
}  // namespace pixelfold::test
