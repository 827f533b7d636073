// tests/probe/corpus_test.cpp: real images from public test suites, against values that other
// tools determined independently (expected.tsv in the corpus folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "pixelfold/pixelfold.h"
#include "probe/probed_image.h"
#include "support/corpus_table.h"
#include "support/printers.h"
#include "support/wide_text.h"

namespace pixelfold::test {
namespace {

std::int32_t ToInt(const std::string& text) {
    return text.empty() ? 0 : std::stoi(text);
}

TEST(CorpusTest, HeaderValuesMatchExpectedTable) {
    const std::filesystem::path corpus = CorpusDir();
    const auto rows = ReadCorpusTable("expected.tsv");
    if (!rows) GTEST_SKIP() << "no corpus at " << corpus.string() << "; nothing compared";

    int compared = 0;
    for (const TableRow& f : *rows) {
        ASSERT_GE(f.size(), 6u) << f.at(0);
        SCOPED_TRACE(f[0]);
        ASSERT_TRUE(ResultNamed(f[2]).has_value()) << "unknown result " << f[2];

        ProbedImage image;
        const WideString path = WideFromPath(corpus / PathFromUtf8(f[0]));
        const HRESULT hr = image.Open(path.c_str());
        EXPECT_EQ(*ResultNamed(f[2]), hr);
        if (hr == S_OK) {
            // What the navigator answers: the header values while the file size is nonzero.
            const bool valid = image.info().fileSize != 0;
            const Dimensions answered = valid ? image.info().dims : Dimensions{};
            EXPECT_EQ((Dimensions{ToInt(f[3]), ToInt(f[4]), ToInt(f[5])}), answered);
        }
        ++compared;
    }
    EXPECT_GT(compared, 0);
    std::cout << "[ corpus   ] " << compared << " files compared\n";
}

}  // namespace
}  // namespace pixelfold::test
