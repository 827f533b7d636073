// tests/metadata/exif_corpus_test.cpp: the built-in reader against an independent decoder:
// for the JPEG and TIFF files of the corpus, each tag listed in metadata.tsv decodes to the value
// that exiftool printed (numbers compared as numbers, text as text).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "metadata/builtin_property_items.h"
#include "support/corpus_table.h"
#include "support/exiftool_values.h"
#include "support/wide_text.h"

namespace pixelfold::test {
namespace {

const std::map<std::string, PROPID> kTagIds = {
    {"Make", 0x010F},
    {"Model", 0x0110},
    {"ModifyDate", 0x0132},
    {"DateTimeOriginal", 0x9003},
    {"CreateDate", 0x9004},
    {"ExposureTime", 0x829A},
    {"FNumber", 0x829D},
    {"ISO", 0x8827},
    {"FocalLength", 0x920A},
    {"Orientation", 0x0112},
    {"XResolution", 0x011A},
    {"YResolution", 0x011B},
    {"ResolutionUnit", 0x0128},
    {"Artist", 0x013B},
    {"Copyright", 0x8298},
    {"Software", 0x0131},
    {"ImageDescription", 0x010E},
    {"GPSLatitude", 0x0002},
    {"GPSLatitudeRef", 0x0001},
    {"GPSAltitude", 0x0006},
    {"ExifVersion", 0x9000},
    {"ColorSpace", 0xA001},
    {"Flash", 0x9209},
    {"MeteringMode", 0x9207},
    {"WhiteBalance", 0xA403},
};

std::uint32_t Le32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The item's numbers, as exiftool prints them with -n.
std::vector<double> Numbers(const PropertyItem& item) {
    const auto* p = static_cast<const std::uint8_t*>(item.value);
    std::vector<double> out;
    switch (item.type) {
        case 1:
            for (ULONG i = 0; i < item.length; ++i)
                out.push_back(p[i]);
            break;
        case 3:
            for (ULONG i = 0; i + 1 < item.length; i += 2)
                out.push_back(p[i] | p[i + 1] << 8);
            break;
        case 4:
        case 9:
            for (ULONG i = 0; i + 3 < item.length; i += 4) {
                const std::uint32_t v = Le32(p + i);
                out.push_back(item.type == 4 ? double(v) : double(static_cast<std::int32_t>(v)));
            }
            break;
        case 5:
        case 10:
            for (ULONG i = 0; i + 7 < item.length; i += 8) {
                const std::uint32_t n = Le32(p + i), d = Le32(p + i + 4);
                const double num =
                    item.type == 5 ? double(n) : double(static_cast<std::int32_t>(n));
                const double den =
                    item.type == 5 ? double(d) : double(static_cast<std::int32_t>(d));
                out.push_back(den == 0 ? (num == 0 ? NAN : INFINITY) : num / den);
            }
            break;
    }
    return out;
}

std::string Text(const PropertyItem& item) {
    const auto* p = static_cast<const char*>(item.value);
    std::string text(p, item.length);
    if (item.type == 2) text = text.substr(0, text.find('\0'));
    return text;
}

// Empty when the item says what exiftool said; otherwise what it says instead.
std::optional<std::string> Disagreement(const PropertyItem* item, const std::string& group,
                                        const std::string& expected) {
    if (group == "-") {
        if (item == nullptr) return std::nullopt;
        return "present, exiftool has none";
    }
    if (item == nullptr) return std::string("absent");
    if (item->type == 2 || item->type == 7) {
        if (TrimTrailingBlanks(Text(*item)) == TrimTrailingBlanks(expected)) return std::nullopt;
        return "text '" + Text(*item) + "'";
    }
    const std::vector<double> got = Numbers(*item);
    const std::vector<std::string> want = Split(expected, ' ');
    bool same = got.size() == want.size();
    for (std::size_t i = 0; same && i < got.size(); ++i)
        same = SameNumber(got[i], want[i]);
    if (same) return std::nullopt;
    std::ostringstream out;
    out << "numbers";
    for (const double g : got)
        out << ' ' << g;
    return out.str();
}

TEST(ExifCorpusTest, ItemsMatchIndependentDecoder) {
    const std::filesystem::path corpus = CorpusDir();
    const auto rows = ReadCorpusTable("metadata.tsv");
    if (!rows) GTEST_SKIP() << "no corpus at " << corpus.string() << "; nothing compared";

    std::string currentPath;
    PropertyItemBlock block;
    HRESULT loaded = E_FAIL;
    int compared = 0;
    std::vector<std::string> failures;
    std::set<std::string> acceptedSeen;
    for (const TableRow& f : *rows) {
        if (f.size() < 5) continue;
        const std::string extension = f[0].substr(f[0].rfind('.') + 1);
        if (extension == "png" || extension == "gif") continue;  // JPEG and TIFF only
        if (f[0] != currentPath) {
            currentPath = f[0];
            block = {};
            loaded =
                ReadBuiltinPropertyItems(WideFromPath(corpus / PathFromUtf8(f[0])).c_str(), block);
        }
        const auto id = kTagIds.find(f[1]);
        ASSERT_NE(kTagIds.end(), id) << f[1];
        const PropertyItem* item = nullptr;
        for (std::uint32_t i = 0; loaded == S_OK && i < block.count && item == nullptr; ++i) {
            if (block.items.get()[i].id == id->second) item = &block.items.get()[i];
        }
        ++compared;
        const std::optional<std::string> problem = Disagreement(item, f[3], Unescape(f[4]));
        if (!problem) continue;
        const std::string key = f[0] + "\t" + f[1];
        if (kAcceptedExiftoolDisagreements.contains(key)) {
            acceptedSeen.insert(key);
            continue;
        }
        failures.push_back(key + " [" + f[3] + "]: exiftool '" + f[4] + "', built-in " + *problem);
    }
    std::cout << "[ exif     ] " << compared << " values compared, " << acceptedSeen.size()
              << " accepted disagreements\n";
    for (const auto& [key, reason] : kAcceptedExiftoolDisagreements) {
        EXPECT_TRUE(acceptedSeen.contains(key)) << "accepted but now agrees: " << key;
    }
    EXPECT_TRUE(failures.empty()) << failures.size() << " disagreements:\n" << JoinLines(failures);
}

}  // namespace
}  // namespace pixelfold::test
