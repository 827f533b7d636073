// tests/platform/crt_stream_test.cpp: the wide-path C run time stream calls. The same cases run
// against the Linux stand-ins and, under Wine, against the real C run time.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#if !defined(_WIN32)
#include <cerrno>

#include "platform/linux/file_lock.h"
#endif
#include "platform/platform.h"
#include "platform/unique.h"
#include "support/temp_dir.h"

namespace pixelfold::test {
namespace {

UniqueCrtFile OpenDenyingWriters(const WideString& path) {
    return UniqueCrtFile(_wfsopen(path.c_str(), WTEXT("rb"), _SH_DENYWR));
}

// Opens for reading and writing and lets nobody else in, as a program rewriting the file does.
UniqueCrtFile HoldExclusively(const WideString& path) {
    return UniqueCrtFile(_wfsopen(path.c_str(), WTEXT("r+b"), _SH_DENYRW));
}

class CrtStreamTest : public testing::Test {
  protected:
    TempDir dir_;
};

TEST_F(CrtStreamTest, ReadsBlocksAndBytesAndSeeks) {
    dir_.Write("data.bin", {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
    const UniqueCrtFile file = OpenDenyingWriters(dir_.WidePath("data.bin"));
    ASSERT_TRUE(file);
    std::FILE* f = file.get();
    EXPECT_EQ(10, _filelengthi64(_fileno(f)));

    char block[4] = {};
    EXPECT_EQ(4u, std::fread(block, 1, 4, f));
    EXPECT_EQ("0123", std::string(block, 4));
    EXPECT_EQ('4', std::fgetc(f));
    EXPECT_EQ(5, _ftelli64(f));

    EXPECT_EQ(0, _fseeki64(f, 0, SEEK_END));
    EXPECT_EQ(10, _ftelli64(f));
    EXPECT_EQ(EOF, std::fgetc(f));

    EXPECT_EQ(0, _fseeki64(f, 2, SEEK_SET));
    EXPECT_EQ(0, _fseeki64(f, 3, SEEK_CUR));
    EXPECT_EQ('5', std::fgetc(f));

    // Moving past the end is allowed; reading there finds the end.
    EXPECT_EQ(0, _fseeki64(f, 100, SEEK_CUR));
    EXPECT_EQ(106, _ftelli64(f));
    EXPECT_EQ(EOF, std::fgetc(f));
    EXPECT_EQ(0u, std::fread(block, 1, 4, f));
}

TEST_F(CrtStreamTest, ReadsNoTextTranslation) {
    dir_.Write("crlf.txt", {'a', '\r', '\n', 0x1A, 'b'});
    const UniqueCrtFile file = OpenDenyingWriters(dir_.WidePath("crlf.txt"));
    ASSERT_TRUE(file);
    char bytes[8] = {};
    EXPECT_EQ(5u, std::fread(bytes, 1, sizeof bytes, file.get()));
    EXPECT_EQ(std::string("a\r\n\x1A"
                          "b"),
              std::string(bytes, 5));
}

TEST_F(CrtStreamTest, ExistenceTest) {
    dir_.Write("present.bin", {1});
    std::filesystem::create_directory(dir_.path() / "folder");
    EXPECT_EQ(0, _waccess(dir_.WidePath("present.bin").c_str(), 0));
    EXPECT_EQ(0, _waccess(dir_.WidePath("folder").c_str(), 0));
    EXPECT_EQ(-1, _waccess(dir_.WidePath("absent.bin").c_str(), 0));
    EXPECT_EQ(-1, _waccess(dir_.WidePath("absent/inner.bin").c_str(), 0));
}

TEST_F(CrtStreamTest, OpensNeitherFoldersNorMissingFiles) {
    std::filesystem::create_directory(dir_.path() / "folder.bmp");
    EXPECT_FALSE(OpenDenyingWriters(dir_.WidePath("folder.bmp")));
    EXPECT_FALSE(OpenDenyingWriters(dir_.WidePath("absent.bmp")));
}

TEST_F(CrtStreamTest, ReadersShareButAnExclusiveHolderKeepsThemOut) {
    dir_.Write("shared.bin", {1, 2, 3});
    const WideString path = dir_.WidePath("shared.bin");
    {
        const UniqueCrtFile first = OpenDenyingWriters(path);
        const UniqueCrtFile second = OpenDenyingWriters(path);
        EXPECT_TRUE(first);
        EXPECT_TRUE(second);
        // Readers that deny writers keep a writer out.
        EXPECT_FALSE(HoldExclusively(path));
    }
    {
        const UniqueCrtFile holder = HoldExclusively(path);
        ASSERT_TRUE(holder);
        EXPECT_FALSE(OpenDenyingWriters(path));
    }
    EXPECT_TRUE(OpenDenyingWriters(path));
}

TEST_F(CrtStreamTest, RefusedWriterDoesNotTruncate) {
    dir_.Write("kept.bin", {1, 2, 3});
    const WideString path = dir_.WidePath("kept.bin");
    {
        const UniqueCrtFile holder = HoldExclusively(path);
        ASSERT_TRUE(holder);
        EXPECT_FALSE(UniqueCrtFile(_wfsopen(path.c_str(), WTEXT("wb"), _SH_DENYWR)));
    }
    EXPECT_EQ(3u, std::filesystem::file_size(dir_.path() / "kept.bin"));
}

TEST_F(CrtStreamTest, PathsAreUtf16) {
    const std::string name = "bild-\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80.bmp";  // ä, €, U+1F600
    dir_.Write(name, {'B', 'M'});
    const WideString path = dir_.WidePath(name);
    EXPECT_EQ(0, _waccess(path.c_str(), 0));
    const UniqueCrtFile file = OpenDenyingWriters(path);
    ASSERT_TRUE(file);
    EXPECT_EQ('B', std::fgetc(file.get()));
}

#if !defined(_WIN32)
// A lock call that fails as a file system in a given state makes it fail, after as many
// interruptions by a signal as asked.
int lockError = 0;
int interruptions = 0;
int FailingLock(int, int) {
    errno = interruptions-- > 0 ? EINTR : lockError;
    return -1;
}

// Only another holder's lock keeps a reader out; a file system that cannot lock is read
// without one.
TEST_F(CrtStreamTest, OnlyAHeldLockRefusesTheOpen) {
    dir_.Write("a.bmp", {'B', 'M'});
    const WideString path = dir_.WidePath("a.bmp");
    const struct {
        int error;
        bool opens;
        int interruptions = 0;  // tried again after each
    } cases[] = {{EWOULDBLOCK, false}, {ENOLCK, true}, {EOPNOTSUPP, true},
                 {ENOSYS, true},       {EINVAL, true}, {EWOULDBLOCK, false, 2},
                 {EOPNOTSUPP, true, 1}};
    platform::SetFileLockCall(&FailingLock);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        lockError = c.error;
        interruptions = c.interruptions;
        errno = 0;
        const UniqueCrtFile file = OpenDenyingWriters(path);
        EXPECT_EQ(c.opens, static_cast<bool>(file));
        if (!c.opens) {
            EXPECT_EQ(EACCES, errno);
        } else if (file) {
            EXPECT_EQ('B', std::fgetc(file.get()));
        }
    }
    platform::SetFileLockCall(nullptr);
    EXPECT_TRUE(OpenDenyingWriters(path));
}
#endif

TEST_F(CrtStreamTest, PositionsBeyond32Bits) {
    const std::filesystem::path big = dir_.Write("big.bin", {});
    constexpr std::uintmax_t kSize = (std::uintmax_t{5} << 30) + 3;  // 5 GiB + 3, sparse
    std::filesystem::resize_file(big, kSize);
    const UniqueCrtFile file = OpenDenyingWriters(dir_.WidePath("big.bin"));
    ASSERT_TRUE(file);
    EXPECT_EQ(static_cast<std::int64_t>(kSize), _filelengthi64(_fileno(file.get())));
    EXPECT_EQ(0, _fseeki64(file.get(), 0, SEEK_END));
    EXPECT_EQ(static_cast<std::int64_t>(kSize), _ftelli64(file.get()));
    EXPECT_EQ(0, _fseeki64(file.get(), -1, SEEK_END));
    EXPECT_EQ(0, std::fgetc(file.get()));
}

}  // namespace
}  // namespace pixelfold::test
