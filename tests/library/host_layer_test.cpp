// tests/library/host_layer_test.cpp: the public host layer over the built library: loading,
// opening, asking, a format object taken from elsewhere, the OLE date conversion, and a host's
// Ctrl-C.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <malloc.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "pixelfold/host.hpp"
#include "platform/host_threads.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

namespace pixelfold::test {
namespace {

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

struct DateCase {
    double oleDate;
    CalendarDate expected;
};

TEST(HostLayerDateTest, OleDatesAsCalendarFields) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const DateCase cases[] = {
        {0.0, {1899, 12, 30, 0, 0, 0}},
        {-1.25, {1899, 12, 29, 6, 0, 0}},  // the fraction counts away from day -1
        {60.0, {1900, 2, 28, 0, 0, 0}},
        {61.0, {1900, 3, 1, 0, 0, 0}},  // 1900 is no leap year
        {36585.0, {2000, 2, 29, 0, 0, 0}},
        {44391.0 + (9 * 3600 + 5 * 60 + 33) / 86400.0, {2021, 7, 14, 9, 5, 33}},
        {2.0 - 1e-9, {1900, 1, 1, 0, 0, 0}},  // rounded up to the next midnight
        {-657434.0, {100, 1, 1, 0, 0, 0}},
        {2958465.0 + 86399.0 / 86400.0, {9999, 12, 31, 23, 59, 59}},
        {2958466.0, {}},  // beyond 9999: all fields 0
        {-657435.0, {}},
        {kNaN, {}},
    };
    for (const DateCase& c : cases) {
        const CalendarDate d = CalendarDateFromOleDate(c.oleDate);
        const CalendarDate& e = c.expected;
        EXPECT_TRUE(d.year == e.year && d.month == e.month && d.day == e.day && d.hour == e.hour &&
                    d.minute == e.minute && d.second == e.second)
            << c.oleDate << ": " << d.year << "-" << d.month << "-" << d.day << " " << d.hour << ":"
            << d.minute << ":" << d.second;
    }
}

class HostLayerTest : public testing::Test {
  protected:
    std::string Image(const std::string& name, const Bytes& bytes) {
        return Utf8(folder_.Write(name, bytes));
    }

    TempDir folder_;
    Plugin plugin_{PIXELFOLD_LIBRARY};
};

TEST_F(HostLayerTest, LoadsThePluginAndListsItsExtensions) {
    ASSERT_TRUE(plugin_.ready()) << plugin_.error();
    EXPECT_EQ(S_OK, plugin_.result());
    EXPECT_EQ((std::vector<std::string>{"bmp", "pcx", "jpg", "gif", "png"}), plugin_.extensions());

    const Plugin missing(Utf8(folder_.path() / "no-such-library"));
    EXPECT_FALSE(missing.ready());
    EXPECT_NE(std::string::npos, missing.error().find("cannot load")) << missing.error();
    EXPECT_EQ(E_FAIL, missing.Open(Image("a.bmp", SmallBmp(1, 1))).result());
}

TEST_F(HostLayerTest, OpenGivesTheNavigatorsResult) {
    ASSERT_TRUE(plugin_.ready()) << plugin_.error();
    const struct {
        std::string path;
        HRESULT expected;
    } cases[] = {
        {Image("small.bmp", SmallBmp(7, 5)), S_OK},
        {Utf8(folder_.path() / "missing.bmp"), FILE_E_NOT_FOUND},
        {Image("bad.png", SmallBmp(7, 5)), FILE_E_BAD_FORMAT},
        {Image("no-extension", SmallBmp(7, 5)), E_INVALIDARG},
    };
    for (const auto& c : cases) {
        const pixelfold::Image image = plugin_.Open(c.path);
        EXPECT_EQ(c.expected, image.result()) << c.path;
        EXPECT_EQ(c.expected == S_OK, image.opened()) << c.path;
    }
}

TEST_F(HostLayerTest, AnswersAreTypedAndInTheOrderAsked) {
    ASSERT_TRUE(plugin_.ready()) << plugin_.error();
    const pixelfold::Image tiff = plugin_.Open(Image("tagged.tif", TaggedTiff()));
    ASSERT_TRUE(tiff.opened());
    const Answers answers =
        tiff.Ask({"width", "PropertyTagDateTime", "PropertyTagArtist", "PropertyTagXResolution",
                  "PropertyTagOrientation", "PropertyTagPageNumber", "NoSuchName",
                  "propertytagorientation"});
    EXPECT_EQ(S_OK, answers.result);
    ASSERT_EQ(8u, answers.values.size());
    const std::vector<Answer>& a = answers.values;
    EXPECT_EQ(Answer::Type::kInteger, a[0].type);  // a .tif's size is not measured: 0
    EXPECT_EQ(0, a[0].integer);
    EXPECT_EQ(1, a[0].attributes);
    ASSERT_EQ(Answer::Type::kDate, a[1].type);
    EXPECT_EQ(2021, a[1].date.year);
    EXPECT_EQ(33, a[1].date.second);
    EXPECT_EQ(Answer::Type::kText, a[2].type);
    EXPECT_EQ("Ann\r\nLee", a[2].text);
    EXPECT_EQ(Answer::Type::kReal, a[3].type);
    EXPECT_DOUBLE_EQ(72.0, a[3].real);
    EXPECT_EQ(6, a[4].integer);
    EXPECT_FALSE(a[5].answered());  // two values
    EXPECT_FALSE(a[6].answered());
    EXPECT_EQ(6, a[7].integer);
}

TEST_F(HostLayerTest, OneQueryServesManyImagesAndAFormatObjectFromElsewhere) {
    ASSERT_TRUE(plugin_.ready()) << plugin_.error();
    // A second Plugin on the first one's format object, as a host that made it through COM.
    const Plugin adopted(plugin_.format());
    ASSERT_TRUE(adopted.ready()) << adopted.error();
    Query query(adopted, {"Width", "Height", "PropertyTagDateTime", "PropertyTagEquipMake"});
    std::vector<Answer> answers;

    ASSERT_EQ(S_OK, adopted.Open(Image("a.bmp", SmallBmp(7, 5))).Ask(query, answers));
    EXPECT_EQ(7, answers[0].integer);
    EXPECT_EQ(5, answers[1].integer);
    EXPECT_FALSE(answers[2].answered());

    ASSERT_EQ(S_OK, adopted.Open(Image("b.tif.png", GammaPng())).Ask(query, answers));
    EXPECT_EQ(1, answers[0].integer);
    EXPECT_FALSE(answers[3].answered());

    const Plugin none(static_cast<IVltFileFormat*>(nullptr));
    EXPECT_EQ(E_POINTER, none.result());
}

#if !defined(_WIN32)
// The strings a query makes go with it: many queries made, moved and dropped leave the heap as
// it was. (The sanitizers keep their own heap; their leak check covers this there.)
TEST_F(HostLayerTest, AQueryFreesTheStringsItMade) {
    ASSERT_TRUE(plugin_.ready()) << plugin_.error();
    { const Query warm(plugin_, {"Width"}); }
    const std::size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 1000; ++i) {
        Query query(plugin_, {"Width", "Height", "PropertyTagDateTime", "PropertyTagEquipMake"});
        const Query moved = std::move(query);
    }
    EXPECT_LT(mallinfo2().uordblks, before + 64 * 1024);
}

// The first Ctrl-C only sets the flag; the second ends the program as if none were caught.
TEST(HostInterruptTest, TheFirstIsNotedAndTheSecondEndsTheProgram) {
    const pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        CatchInterrupt();
        raise(SIGINT);
        if (!InterruptRequested()) _exit(2);
        raise(SIGINT);
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
}
#endif

}  // namespace
}  // namespace pixelfold::test
