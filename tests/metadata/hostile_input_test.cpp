// tests/metadata/hostile_input_test.cpp: every corpus file, cut short at many points and with
// bytes flipped, through the header probe and the built-in property item reader. Meant for the
// sanitizer build, where any read outside a buffer or undefined behaviour stops the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "metadata/builtin_property_items.h"
#include "pixelfold/pixelfold.h"
#include "probe/probed_image.h"
#include "support/bytes.h"
#include "support/corpus_table.h"
#include "support/temp_dir.h"

namespace pixelfold::test {
namespace {

constexpr std::size_t kPrefix = 256 * 1024;  // metadata lives near the start of a file
constexpr int kCuts = 32;
constexpr int kFlipRounds = 64;

Bytes ReadPrefix(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    Bytes bytes(kPrefix);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

void Exercise(const TempDir& dir, const std::string& name, const Bytes& bytes) {
    dir.Write(name, bytes);
    const WideString path = dir.WidePath(name);
    ProbedImage image;
    const HRESULT opened = image.Open(path.c_str());
    const std::set<HRESULT> openResults = {S_OK, E_FAIL, FILE_E_BAD_FORMAT};
    EXPECT_TRUE(openResults.contains(opened)) << std::hex << opened;

    PropertyItemBlock block;
    const HRESULT read = ReadBuiltinPropertyItems(path.c_str(), block);
    EXPECT_TRUE(read == S_OK || read == E_FAIL) << std::hex << read;
    // Every value lies inside the block, right after the records and each other.
    auto* next = reinterpret_cast<const std::uint8_t*>(block.items.get() + block.count);
    for (std::uint32_t i = 0; i < block.count; ++i) {
        ASSERT_EQ(next, block.items.get()[i].value);
        next += block.items.get()[i].length;
    }
}

TEST(HostileInputTest, DamagedCorpusFilesFailCleanly) {
#ifndef PIXELFOLD_HOSTILE_TESTS
    GTEST_SKIP() << "run by the sanitize preset";
#endif
    const std::filesystem::path corpus = CorpusDir();
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus.string();

    TempDir dir;
    std::mt19937 random(20261207);
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        if (!entry.is_regular_file()) continue;
        const std::string extension = entry.path().extension().string();
        if (extension == ".md" || extension == ".tsv") continue;
        SCOPED_TRACE(entry.path().string());
        const Bytes original = ReadPrefix(entry.path());
        const std::string name = "damaged" + extension;
        ++files;
        for (int cut = 0; cut < kCuts && !original.empty(); ++cut) {
            // Dense near the start, where the headers are; spread out after.
            const std::size_t at =
                cut < kCuts / 2 ? std::size_t(cut) * 7 : random() % original.size();
            Exercise(dir, name, Truncated(original, std::min(at, original.size())));
        }
        for (int round = 0; round < kFlipRounds && !original.empty(); ++round) {
            Bytes flipped = original;
            const std::size_t span = std::min<std::size_t>(flipped.size(), 4096 << (round % 5));
            for (int n = 0; n < 1 + round % 4; ++n)
                flipped[random() % span] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            Exercise(dir, name, flipped);
        }
    }
    EXPECT_GT(files, 0);
    std::cout << "[ hostile  ] " << files << " files, " << files * (kCuts + kFlipRounds)
              << " damaged variants\n";
}

}  // namespace
}  // namespace pixelfold::test
