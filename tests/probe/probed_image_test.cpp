// tests/probe/probed_image_test.cpp: opening an image file and choosing its header reader.
#include "probe/probed_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "pixelfold/pixelfold.h"
#include "platform/unique.h"
#include "support/bytes.h"
#include "support/param_name.h"
#include "support/printers.h"
#include "support/temp_dir.h"

namespace pixelfold::test {
namespace {

// Minimal but well-formed headers of each format, and what their reader makes of them.
Bytes PngBytes() {
    return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
            0,    0,   7,   0,   0,    0,    5,    8,    2, 0, 0, 0,  1,   2,   3,   4};
}
constexpr Dimensions kPngDims{7, 5, 8};

Bytes JpegBytes() {
    return {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 0x30,
            0x00, 0x40, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
}
constexpr Dimensions kJpegDims{64, 48, 8};

struct OpenCase {
    std::string name;
    std::string file;              // relative to the test folder
    std::optional<Bytes> content;  // nothing: the file is not created
    HRESULT expected;
    Dimensions dims;  // the header values after Open
};

class ProbedImageOpenTest : public testing::TestWithParam<OpenCase> {
  protected:
    TempDir dir_;
};

TEST_P(ProbedImageOpenTest, OpensAndDispatches) {
    const OpenCase& c = GetParam();
    if (c.content) {
        std::filesystem::create_directories((dir_.path() / c.file).parent_path());
        dir_.Write(c.file, *c.content);
    }
    ProbedImage image;
    const WideString path = dir_.WidePath(c.file);

    EXPECT_EQ(c.expected, image.Open(path.c_str()));
    EXPECT_EQ(c.dims, image.info().dims);
    const std::uint32_t size =
        c.content && c.expected != E_INVALIDARG ? static_cast<std::uint32_t>(c.content->size()) : 0;
    EXPECT_EQ(size, image.info().fileSize);
    EXPECT_EQ(path, image.path());
    EXPECT_FALSE(image.propertyItemsLoaded());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Paths, ProbedImageOpenTest, testing::Values(
    OpenCase{"PngRunsPngReader", "image.png", PngBytes(), S_OK, kPngDims},
    OpenCase{"UpperCaseJpg", "photo.JPG", JpegBytes(), S_OK, kJpegDims},
    OpenCase{"MixedCaseJpg", "photo.Jpg", JpegBytes(), S_OK, kJpegDims},
    OpenCase{"JpegExtensionRunsNoReader", "photo.jpeg", JpegBytes(), S_OK, {}},
    OpenCase{"TifRunsNoReader", "scan.tif", Bytes{'I', 'I', 42, 0}, S_OK, {}},
    OpenCase{"PathEndingInDotRunsNoReader", "photo.", JpegBytes(), S_OK, {}},
    OpenCase{"DotOnlyInFolderName", "raw.files/photo", JpegBytes(), S_OK, {}},
    OpenCase{"DotOnlyInFolderNameMissing", "raw.files/absent", std::nullopt, FILE_E_NOT_FOUND, {}},
    OpenCase{"ExtensionChosenNotContent", "image.bmp", PngBytes(), FILE_E_BAD_FORMAT, {}},
    OpenCase{"ReaderFailureIsPassedOn", "bad.jpg", Bytes{0xFF, 0xD8, 0xFF}, E_FAIL, {}},
    OpenCase{"EmptyPngRunsNoReader", "empty.png", Bytes{}, S_OK, {}},
    OpenCase{"MissingBmp", "absent.bmp", std::nullopt, FILE_E_NOT_FOUND, {}},
    OpenCase{"MissingFileWithoutReader", "absent.tif", std::nullopt, FILE_E_NOT_FOUND, {}},
    OpenCase{"MissingFolder", "absent/image.gif", std::nullopt, FILE_E_NOT_FOUND, {}},
    OpenCase{"ExtensionIsNotTrimmed", "image.png ", PngBytes(), S_OK, {}}),
    ParamName());
// clang-format on

class ProbedImageTest : public testing::Test {
  protected:
    TempDir dir_;
};

TEST_F(ProbedImageTest, PathWithoutDotTouchesNothing) {
    ASSERT_EQ(WideString::npos, dir_.path().u16string().find(u'.')) << "test folder has a '.'";
    dir_.Write("photo", JpegBytes());
    const WideString path = dir_.WidePath("photo");
    // Held exclusively: an attempt to open it would fail with FILE_E_CANNOT_OPEN instead.
    const UniqueCrtFile holder(_wfsopen(path.c_str(), WTEXT("r+b"), _SH_DENYRW));
    ASSERT_TRUE(holder);

    ProbedImage image;
    EXPECT_EQ(E_INVALIDARG, image.Open(path.c_str()));
    EXPECT_EQ(0u, image.info().fileSize);
    EXPECT_EQ(path, image.path());
}

TEST_F(ProbedImageTest, NullPathChangesNothing) {
    ProbedImage image;
    image.info().fileSize = 7;
    image.info().dims = {1, 2, 3};
    EXPECT_EQ(E_INVALIDARG, image.Open(nullptr));
    EXPECT_EQ(7u, image.info().fileSize);
    EXPECT_EQ((Dimensions{1, 2, 3}), image.info().dims);
    EXPECT_TRUE(image.path().empty());
}

TEST_F(ProbedImageTest, FolderCannotBeOpened) {
    std::filesystem::create_directory(dir_.path() / "images.bmp");
    ProbedImage image;
    EXPECT_EQ(FILE_E_CANNOT_OPEN, image.Open(dir_.WidePath("images.bmp").c_str()));
    EXPECT_EQ(0u, image.info().fileSize);
}

TEST_F(ProbedImageTest, FileHeldByAnotherCannotBeOpened) {
    dir_.Write("busy.png", PngBytes());
    const WideString path = dir_.WidePath("busy.png");
    const UniqueCrtFile holder(_wfsopen(path.c_str(), WTEXT("r+b"), _SH_DENYRW));
    ASSERT_TRUE(holder);
    ProbedImage image;
    EXPECT_EQ(FILE_E_CANNOT_OPEN, image.Open(path.c_str()));
    EXPECT_EQ(Dimensions{}, image.info().dims);
}

TEST_F(ProbedImageTest, FileIsClosedWhenOpenReturns) {
    dir_.Write("ok.png", PngBytes());
    dir_.Write("bad.png", Bytes{'x', 'y'});
    for (const char* name : {"ok.png", "bad.png"}) {
        const WideString path = dir_.WidePath(name);
        ProbedImage image;
        (void)image.Open(path.c_str());
        EXPECT_TRUE(UniqueCrtFile(_wfsopen(path.c_str(), WTEXT("r+b"), _SH_DENYRW))) << name;
    }
}

TEST_F(ProbedImageTest, OpenAgainReplacesPathAndClearsLoadedFlag) {
    dir_.Write("a.png", PngBytes());
    dir_.Write("b.jpg", JpegBytes());
    ProbedImage image;
    ASSERT_EQ(S_OK, image.Open(dir_.WidePath("a.png").c_str()));
    image.SetPropertyItemsLoaded();
    ASSERT_EQ(S_OK, image.Open(dir_.WidePath("b.jpg").c_str()));
    EXPECT_EQ(dir_.WidePath("b.jpg"), image.path());
    EXPECT_FALSE(image.propertyItemsLoaded());
    EXPECT_EQ(kJpegDims, image.info().dims);
}

struct SizeCase {
    std::string name;
    std::uintmax_t bytes;
    std::uint32_t recorded;
};

class ProbedImageSizeTest : public testing::TestWithParam<SizeCase> {
  protected:
    TempDir dir_;
};

TEST_P(ProbedImageSizeTest, MeasuresWith64BitPositions) {
    const SizeCase& c = GetParam();
    const std::filesystem::path file = dir_.Write("sparse.tif", {});
    std::filesystem::resize_file(file, c.bytes);
    ProbedImage image;
    EXPECT_EQ(S_OK, image.Open(dir_.WidePath("sparse.tif").c_str()));
    EXPECT_EQ(c.recorded, image.info().fileSize);
}

constexpr std::uintmax_t kGiB = std::uintmax_t{1} << 30;

INSTANTIATE_TEST_SUITE_P(Sizes, ProbedImageSizeTest,
                         testing::Values(SizeCase{"OneByte", 1, 1},
                                         SizeCase{"ThreeGiB", 3 * kGiB, 0xC0000000u},
                                         SizeCase{"JustBelow4GiB", 4 * kGiB - 1, 0xFFFFFFFFu},
                                         SizeCase{"Exactly4GiBIsNotZero", 4 * kGiB, 0xFFFFFFFFu},
                                         SizeCase{"Above4GiB", 4 * kGiB + 27, 0xFFFFFFFFu}),
                         ParamName());

}  // namespace
}  // namespace pixelfold::test
