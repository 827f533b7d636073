// tests/probe/corpus_test.cpp: real images from public test suites, against values that other
// tools determined independently (expected.tsv in the corpus folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/host_codes.h"
#include "probe/probed_image.h"
#include "support/printers.h"
#include "support/wide_text.h"

namespace pixelfold::test {
namespace {

const std::map<std::string, HRESULT> kResultNames = {
    {"S_OK", S_OK},
    {"E_FAIL", E_FAIL},
    {"FILE_E_BAD_FORMAT", FILE_E_BAD_FORMAT},
    {"FILE_E_CANNOT_OPEN", FILE_E_CANNOT_OPEN},
    {"FILE_E_NOT_FOUND", FILE_E_NOT_FOUND},
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

std::int32_t ToInt(const std::string& text) {
    return text.empty() ? 0 : std::stoi(text);
}

TEST(CorpusTest, HeaderValuesMatchExpectedTable) {
    const std::filesystem::path corpus = PIXELFOLD_CORPUS_DIR;
    std::ifstream table(corpus / "expected.tsv");
    if (!table) GTEST_SKIP() << "no corpus at " << corpus.string() << "; nothing compared";

    std::string line;
    std::getline(table, line);
    ASSERT_EQ("path", SplitTabs(line).at(0));
    int compared = 0;
    while (std::getline(table, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::vector<std::string> f = SplitTabs(line);
        ASSERT_GE(f.size(), 6u) << line;
        SCOPED_TRACE(f[0]);
        ASSERT_TRUE(kResultNames.contains(f[2])) << "unknown result " << f[2];

        ProbedImage image;
        const WideString path = WideFromPath(corpus / PathFromUtf8(f[0]));
        const HRESULT hr = image.Open(path.c_str());
        EXPECT_EQ(kResultNames.at(f[2]), hr);
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
