// tests/metadata/gdiplus_compare_test.cpp: on Windows, the built-in items of the corpus PNG,
// GIF and TIFF files against the items the platform's GDI+ returns for the same file. Under
// Wine, GDI+ is Wine's; where it is known to differ from Windows the difference is allowed
// for, with the reason.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "metadata/builtin_property_items.h"
#include "support/corpus_table.h"
#include "support/wide_text.h"

namespace pixelfold::test {
namespace {

#if !defined(_WIN32)
TEST(GdiplusCompareTest, BuiltinItemsEqualPlatformItems) {
    GTEST_SKIP() << "needs the platform's GDI+";
}
#else

struct Item {
    PROPID id;
    WORD type;
    std::vector<std::uint8_t> value;
    friend bool operator==(const Item&, const Item&) = default;
};

std::vector<Item> ToItems(const PropertyItem* records, std::uint32_t count) {
    std::vector<Item> items;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto* v = static_cast<const std::uint8_t*>(records[i].value);
        items.push_back({records[i].id, records[i].type, {v, v + records[i].length}});
    }
    return items;
}

// id/type/length, and the value in hex when it is short.
std::string Describe(const std::vector<Item>& items) {
    std::ostringstream out;
    for (const Item& item : items) {
        out << std::hex << " 0x" << item.id << "/" << item.type << "/" << std::dec
            << item.value.size();
        if (item.value.size() > 32) continue;
        out << std::hex << "=";
        for (const std::uint8_t b : item.value)
            out << unsigned{b} / 16 << unsigned{b} % 16;
        out << std::dec;
    }
    return out.str();
}

// The items as the platform's GDI+ gives them; nothing when it cannot open the file.
std::optional<std::vector<Item> > GdiplusItems(const WideString& path) {
    using namespace Gdiplus;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) return std::nullopt;
    std::optional<std::vector<Item> > result;
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap) == Ok) {
        UINT size = 0, count = 0;
        if (DllExports::GdipGetPropertySize(bitmap, &size, &count) == Ok) {
            std::vector<std::uint8_t> buffer(size + 1);
            auto* records = reinterpret_cast<PropertyItem*>(buffer.data());
            if (count == 0) {
                result.emplace();
            } else if (DllExports::GdipGetAllPropertyItems(bitmap, size, count, records) == Ok) {
                result = ToItems(records, count);
            }
        }
        DllExports::GdipDisposeImage(bitmap);
    }
    GdiplusShutdown(token);
    return result;
}

bool Has(const std::vector<Item>& items, PROPID id) {
    return std::any_of(items.begin(), items.end(), [&](const Item& i) { return i.id == id; });
}

void Drop(std::vector<Item>& items, PROPID id) {
    std::erase_if(items, [&](const Item& i) { return i.id == id; });
}

// Wine 8's GDI+ differs from Windows in these ways; the built-in reader follows Windows.
void AllowForWine(const std::string& extension, std::vector<Item>& builtin,
                  std::vector<Item>& platform) {
    if (extension == ".png") {
        // Windows always ends the list with the resolution items and reports tIME and hIST;
        // Wine 8 reports none of these.
        for (const PROPID id : {0x5110u, 0x5111u, 0x5112u, 0x0132u, 0x5113u}) {
            if (!Has(platform, id)) Drop(builtin, id);
        }
    } else if (extension == ".gif") {
        // Windows always reports the frame delays and the loop count; Wine 8 only for some
        // animations.
        for (const PROPID id : {0x5100u, 0x5101u}) {
            if (!Has(platform, id)) Drop(builtin, id);
        }
        // Windows ignores the background index without a global colour table; Wine does not.
        if (!Has(builtin, 0x5102)) Drop(platform, 0x5103);
    } else {
        // Embedded XMP, IPTC and Photoshop blocks of a TIFF are not items on Windows.
        for (const PROPID id : {0x02BCu, 0x83BBu, 0x8649u})
            Drop(platform, id);
    }
}

// Files that Wine's GDI+ answers differently in a way the rules above do not cover, and why.
const std::map<std::string, std::string> kWineDiffers = {
    {"pygif-test-suite/animation-multi-image.gif",
     "frames without a control block: Windows repeats the previous frame's delay, Wine gives 0"},
};

// Files on which Wine's image decoders crash the process; not opened through GDI+ here.
const std::set<std::string> kWineCrashes = {
    "pillow/no_palette.gif",
};

TEST(GdiplusCompareTest, BuiltinItemsEqualPlatformItems) {
    const std::filesystem::path corpus = CorpusDir();
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus.string();
    int compared = 0;
    std::vector<std::string> failures;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".png" && extension != ".gif" && extension != ".tif" &&
            extension != ".tiff")
            continue;
        const std::string relative =
            std::filesystem::relative(entry.path(), corpus).generic_string();
        if (kWineCrashes.contains(relative)) continue;
        const WideString path = WideFromPath(entry.path());
        const std::optional<std::vector<Item> > platform = GdiplusItems(path);
        if (!platform) continue;  // the platform cannot open it: nothing to compare
        PropertyItemBlock block;
        const HRESULT hr = ReadBuiltinPropertyItems(path.c_str(), block);
        ++compared;
        std::vector<Item> builtin =
            hr == S_OK ? ToItems(block.items.get(), block.count) : std::vector<Item>{};
        std::vector<Item> expected = *platform;
        AllowForWine(extension, builtin, expected);
        if (builtin == expected || kWineDiffers.contains(relative)) continue;
        failures.push_back(relative + "\n  built-in:" + Describe(builtin) +
                           "\n  platform:" + Describe(*platform));
    }
    std::cout << "[ gdiplus  ] " << compared << " files compared\n";
    std::string report;
    for (const std::string& f : failures)
        report += f + "\n";
    EXPECT_TRUE(failures.empty()) << failures.size() << " files differ:\n" << report;
}

#endif

}  // namespace
}  // namespace pixelfold::test
