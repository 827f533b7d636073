// tests/platform/char_next_test.cpp: stepping through text a character at a time, as Windows
// documents it. Wine steps one code unit, so this runs on the stand-in only.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/wide_string.h"

namespace pixelfold::test {
namespace {

#if !defined(_WIN32)
TEST(CharNextTest, StepsOverCombiningMarksAndSurrogatePairs) {
    const struct {
        WideString text;
        std::size_t step;
    } cases[] = {
        {WTEXT("ab"), 1},
        {WTEXT("a\u030A\u0301b"), 3},      // two combining diacritical marks
        {WTEXT("\u0915\u093Fx"), 2},       // a spacing mark (Devanagari vowel sign I)
        {WTEXT("x\u20DD"), 2},             // an enclosing mark
        {WTEXT("\U0001F600\u0301a"), 3},   // a surrogate pair, then a mark
        {WTEXT("\u030Aa"), 1},             // a mark without a base
        {WideString{0xD800, 'a'}, 1},      // a lone high surrogate
        {WTEXT("\uFE20\uFE2F\uFE30"), 2},  // the last range of marks, and past it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text.c_str() + c.step, CharNextW(c.text.c_str())) << c.step;
    }
    const WCHAR* end = WTEXT("");
    EXPECT_EQ(end, CharNextW(end));
}
#endif

}  // namespace
}  // namespace pixelfold::test
