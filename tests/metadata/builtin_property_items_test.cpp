// tests/metadata/builtin_property_items_test.cpp: the built-in property item reader on
// synthesized files: item ids, types, value bytes and order, and the one-block layout.
#include "metadata/builtin_property_items.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "support/bytes.h"
#include "support/temp_dir.h"
#include "support/tiff_builder.h"

namespace pixelfold::test {
namespace {

struct Item {
    PROPID id;
    WORD type;
    Bytes value;
    friend bool operator==(const Item&, const Item&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Item& item) {
        os << std::hex << "{0x" << item.id << ", type " << std::dec << item.type << ",";
        for (const std::uint8_t b : item.value)
            os << ' ' << std::hex << unsigned{b};
        return os << std::dec << "}";
    }
};

Bytes Le(std::initializer_list<std::uint32_t> values, std::size_t size) {
    Bytes b;
    for (const std::uint32_t v : values)
        for (std::size_t i = 0; i < size; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return b;
}
Bytes Text(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

class BuiltinItemsTest : public testing::Test {
  protected:
    // Reads `bytes` as a file named `name`; checks that the values are packed in item order
    // right after the records.
    std::vector<Item> Read(const std::string& name, const Bytes& bytes, HRESULT expected = S_OK) {
        dir_.Write(name, bytes);
        PropertyItemBlock block;
        EXPECT_EQ(expected, ReadBuiltinPropertyItems(dir_.WidePath(name).c_str(), block));
        std::vector<Item> items;
        const PropertyItem* records = block.items.get();
        auto* next = reinterpret_cast<const std::uint8_t*>(records + block.count);
        for (std::uint32_t i = 0; i < block.count; ++i) {
            EXPECT_EQ(next, records[i].value) << "item " << i << " is not packed";
            const auto* value = static_cast<const std::uint8_t*>(records[i].value);
            items.push_back(
                {records[i].id, records[i].type, Bytes(value, value + records[i].length)});
            next += records[i].length;
        }
        return items;
    }
    TempDir dir_;
};

// IFD0 (Make, Orientation, XResolution, Exif and GPS pointers), an Exif IFD with an Interop
// pointer, a GPS IFD, and IFD1 describing a 4-byte thumbnail.
Bytes ExifTiff(bool bigEndian) {
    const Bytes thumbnail{0xFF, 0xD8, 0xFF, 0xD9};
    auto build = [&](std::uint32_t thumbnailAt) {
        return BuildTiff(
            bigEndian,
            {
                {{{0x010F, 2, 5, {'C', 'a', 'n', 'o', 'n'}},  // no NUL in the file
                  {0x0112, 3, 1, {6}},
                  {0x8769, 4, 1, {}, 1},
                  {0x011A, 5, 1, {72, 1}},
                  {0x8825, 4, 1, {}, 2}},
                 3},
                {{{0x829A, 5, 1, {1, 250}}, {0xA005, 4, 1, {}, 4}, {0x9209, 8, 1, {0xFFFF}}}},
                {{{0x0000, 1, 4, {2, 3, 0, 0}}, {0x0006, 10, 1, {0xFFFFFFF6, 1}}}},
                {{{0x0103, 3, 1, {6}},
                  {0x0201, 4, 1, {thumbnailAt}},
                  {0x0202, 4, 1, {4}},
                  {0x9999, 3, 1, {1}},  // no thumbnail counterpart: left out
                  {0x011A, 5, 1, {180, 1}}}},
                {{{0x0001, 2, 4, {'R', '9', '8', 0}}}},
            },
            thumbnail);
    };
    const Bytes draft = build(0);
    return build(static_cast<std::uint32_t>(draft.size() - thumbnail.size()));
}

std::vector<Item> ExpectedExifItems() {
    return {
        {0x010F, 2, Text("Canon")},
        {0x0112, 3, Le({6}, 2)},
        {0x829A, 5, Le({1, 250}, 4)},
        {0x9209, 3, Le({0xFFFF}, 2)},
        {0x011A, 5, Le({72, 1}, 4)},
        {0x0000, 1, Bytes{2, 3, 0, 0}},
        {0x0006, 10, Le({0xFFFFFFF6, 1}, 4)},
        {0x501B, 1, Bytes{0xFF, 0xD8, 0xFF, 0xD9}},
        {0x5023, 3, Le({6}, 2)},
        {0x502D, 5, Le({180, 1}, 4)},
    };
}

Bytes Segment(std::uint8_t code, const Bytes& payload) {
    const std::size_t length = payload.size() + 2;
    Bytes b(4 + payload.size());
    b[0] = 0xFF;
    b[1] = code;
    b[2] = static_cast<std::uint8_t>(length >> 8);
    b[3] = static_cast<std::uint8_t>(length);
    std::copy(payload.begin(), payload.end(), b.begin() + 4);
    return b;
}

Bytes Jpeg(const std::vector<Bytes>& segments) {
    Bytes b{0xFF, 0xD8};
    for (const Bytes& s : segments)
        b.insert(b.end(), s.begin(), s.end());
    Append(b, {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0x00, 0x12, 0xFF, 0xD9});
    return b;
}

Bytes ExifSegment(bool bigEndian) {
    Bytes payload;
    AppendText(payload, "Exif");
    Append(payload, {0, 0});
    const Bytes tiff = ExifTiff(bigEndian);
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return Segment(0xE1, payload);
}

// The thumbnail directory's tags come back under GDI+'s thumbnail ids: each of the 28 pairs,
// as GDI+ documents them, for a SHORT value per tag.
TEST_F(BuiltinItemsTest, ThumbnailTagsAreRenumbered) {
    constexpr std::uint16_t kPairs[][2] = {
        {0x0100, 0x5020}, {0x0101, 0x5021}, {0x0102, 0x5022}, {0x0103, 0x5023}, {0x0106, 0x5024},
        {0x010E, 0x5025}, {0x010F, 0x5026}, {0x0110, 0x5027}, {0x0111, 0x5028}, {0x0112, 0x5029},
        {0x0115, 0x502A}, {0x0116, 0x502B}, {0x0117, 0x502C}, {0x011A, 0x502D}, {0x011B, 0x502E},
        {0x011C, 0x502F}, {0x0128, 0x5030}, {0x012D, 0x5031}, {0x0131, 0x5032}, {0x0132, 0x5033},
        {0x013B, 0x5034}, {0x013E, 0x5035}, {0x013F, 0x5036}, {0x0211, 0x5037}, {0x0212, 0x5038},
        {0x0213, 0x5039}, {0x0214, 0x503A}, {0x8298, 0x503B}};
    std::vector<TiffField> thumbnail;
    std::vector<Item> expected;
    for (const auto& [tag, id] : kPairs) {
        thumbnail.push_back({tag, 3, 1, {tag}});
        expected.push_back({id, 3, Le({tag}, 2)});
    }
    Bytes exif;
    AppendText(exif, "Exif");
    Append(exif, {0, 0});
    const Bytes tiff = BuildTiff(false, {{{{0x0112, 3, 1, {1}}}, 1}, {thumbnail}});
    exif.insert(exif.end(), tiff.begin(), tiff.end());
    const std::vector<Item> items = Read("thumbnail.jpg", Jpeg({Segment(0xE1, exif)}));
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(expected, std::vector<Item>(items.begin() + 1, items.end()));
}

TEST_F(BuiltinItemsTest, ExifInBothByteOrders) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        EXPECT_EQ(ExpectedExifItems(), Read("photo.jpg", Jpeg({ExifSegment(bigEndian)})));
    }
}

TEST_F(BuiltinItemsTest, JpegCommentAndTablesFollowExif) {
    Bytes dqt{0x00};  // table 0, 8-bit, values 1..64 in zig-zag order
    for (std::uint8_t v = 1; v <= 64; ++v)
        dqt.push_back(v);
    dqt.push_back(0x01);  // table 1, all 7
    dqt.insert(dqt.end(), 64, 7);
    Bytes comment;
    AppendText(comment, "hello");
    const std::vector<Item> items =
        Read("x.jpg", Jpeg({Segment(0xFE, comment), ExifSegment(false), Segment(0xDB, dqt)}));

    ASSERT_EQ(ExpectedExifItems().size() + 3, items.size());
    const std::size_t n = ExpectedExifItems().size();
    EXPECT_EQ((Item{0x9286, 2, Text("hello")}), items[n]);
    EXPECT_EQ((Item{0x5091, 3, Le(std::initializer_list<std::uint32_t>{7, 7, 7, 7}, 2)}.id),
              items[n + 1].id);
    EXPECT_EQ(Bytes(Le({7}, 2)), Bytes(items[n + 1].value.begin(), items[n + 1].value.begin() + 2));
    // Row-major order: row 0 holds zig-zag positions 0, 1, 5, 6, 14, 15, 27, 28.
    EXPECT_EQ(0x5090u, items[n + 2].id);
    EXPECT_EQ(Le({1, 2, 6, 7, 15, 16, 28, 29}, 2),
              Bytes(items[n + 2].value.begin(), items[n + 2].value.begin() + 16));
    EXPECT_EQ(128u, items[n + 2].value.size());
    // Reordering loses and repeats nothing: each of 1 to 64 once.
    std::vector<std::uint16_t> values;
    for (std::size_t at = 0; at + 1 < items[n + 2].value.size(); at += 2)
        values.push_back(
            static_cast<std::uint16_t>(items[n + 2].value[at] | items[n + 2].value[at + 1] << 8));
    std::ranges::sort(values);
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(i + 1, values[i]);

    dqt.resize(65);  // table 0 alone: the luminance table only
    const std::vector<Item> luminanceOnly = Read("y.jpg", Jpeg({Segment(0xDB, dqt)}));
    ASSERT_EQ(1u, luminanceOnly.size());
    EXPECT_EQ(0x5090u, luminanceOnly[0].id);
}

TEST_F(BuiltinItemsTest, TiffFileKeepsFileOrderAndConvertsTypes) {
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        const Bytes tiff =
            BuildTiff(bigEndian, {{{{0x0100, 3, 1, {640}},
                                    {0x0101, 4, 1, {480}},
                                    {0x02BC, 1, 3, {1, 2, 3}},  // XMP block
                                    {0xF001, 6, 2, {0xFE, 0x01}},
                                    {0xF002, 11, 1, {0x3F800000}},
                                    {0xF003, 2, 0, {}},                        // count 0
                                    {0x010E, 2, 6, {'a', 'b', 'c', 0, 0, 0}},  // padded
                                    {0xF005, 2, 6, {0, 0, 0, 0, 0, 0}},        // zeros only
                                    {0xF004, 99, 1, {1}}}}});                  // unknown type
        const Bytes floatBytes = bigEndian ? Bytes{0x3F, 0x80, 0, 0} : Bytes{0, 0, 0x80, 0x3F};
        EXPECT_EQ((std::vector<Item>{{0x0100, 3, Le({640}, 2)},
                                     {0x0101, 4, Le({480}, 4)},
                                     {0xF001, 1, Bytes{0xFE, 0x01}},
                                     {0xF002, 7, floatBytes},
                                     {0x010E, 2, Bytes{'a', 'b', 'c', 0}},
                                     {0xF005, 2, Bytes{0}}}),
                  Read("scan.tif", tiff));
    }
}

TEST_F(BuiltinItemsTest, DamagedStructuresKeepWhatWasRead) {
    // IFD0 points to itself as its Exif IFD, and its second value lies outside the file.
    Bytes tiff = BuildTiff(false, {{{{0x0100, 3, 1, {5}},
                                     {0x8769, 4, 1, {}, 0},
                                     {0x010F, 2, 8, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 0}},
                                     {0x0101, 3, 1, {7}}}}});
    tiff[2 + 8 + 2 * 12 + 8] = 0xF0;  // Make's value offset, now beyond the end
    EXPECT_EQ((std::vector<Item>{{0x0100, 3, Le({5}, 2)}, {0x0101, 3, Le({7}, 2)}}),
              Read("loop.tif", tiff));
    // A directory whose entry count runs past the end of the file.
    Bytes cut = BuildTiff(false, {{{{0x0100, 3, 1, {5}}, {0x0101, 3, 1, {7}}}}});
    cut.resize(8 + 2 + 12 + 6);
    EXPECT_EQ((std::vector<Item>{{0x0100, 3, Le({5}, 2)}}), Read("cut.tif", cut));
    // A JPEG cut inside its EXIF segment gives no EXIF items but still succeeds.
    const Bytes jpeg = ExifSegment(false);
    EXPECT_TRUE(Read("cut.jpg", Truncated(Jpeg({jpeg}), 40)).empty());
}

// A PNG chunk (the checksum is not read).
Bytes PngChunk(const char* type, const Bytes& data) {
    Bytes b;
    AppendBe32(b, static_cast<std::uint32_t>(data.size()));
    AppendText(b, type);
    b.insert(b.end(), data.begin(), data.end());
    AppendBe32(b, 0);
    return b;
}

const Bytes kPngSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Each text keyword GDI+ maps gives its item, in chunk order, as GDI+ documents them.
TEST_F(BuiltinItemsTest, PngTextKeywordsBecomeTheirItems) {
    const std::pair<const char*, PROPID> kKeywords[] = {
        {"Title", 0x0320},    {"Author", 0x013B}, {"Description", 0x010E}, {"Copyright", 0x8298},
        {"Software", 0x0131}, {"Source", 0x0110}, {"Comment", 0x9286}};
    Bytes png = kPngSignature;
    AppendBytes(png, PngChunk("IHDR", Bytes(13, 0)));
    std::vector<Item> expected;
    for (const auto& [keyword, id] : kKeywords) {
        Bytes text;
        AppendText(text, keyword);
        text.push_back(0);
        AppendText(text, "x");
        AppendBytes(png, PngChunk("tEXt", text));
        expected.push_back({id, 2, Text("x")});
    }
    AppendBytes(png, PngChunk("IEND", {}));
    const std::vector<Item> items = Read("texts.png", png);
    ASSERT_GE(items.size(), expected.size());
    EXPECT_EQ(expected, std::vector<Item>(items.begin(), items.begin() + 7));
}

TEST_F(BuiltinItemsTest, PngChunksThenResolution) {
    const auto chunk = PngChunk;
    Bytes png = kPngSignature;
    Bytes ihdr(13, 0);
    Bytes phys;
    AppendBe32(phys, 3780);
    AppendBe32(phys, 3780);
    phys.push_back(1);
    Bytes gama;
    AppendBe32(gama, 45455);
    Bytes text;
    AppendText(text, "Author");
    text.push_back(0);
    AppendText(text, "Ann");
    Bytes chrm;
    for (const std::uint32_t v : {31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u})
        AppendBe32(chrm, v);
    const Bytes hist{0x00, 0x01, 0x01, 0x02};
    for (const Bytes& c :
         {chunk("IHDR", ihdr), chunk("pHYs", phys), chunk("gAMA", gama), chunk("cHRM", chrm),
          chunk("tIME", {0x07, 0xB2, 1, 1, 0, 0, 0}), chunk("hIST", hist), chunk("tEXt", text),
          chunk("tEXt", text), chunk("gAMA", Bytes{0, 0, 0, 1}), chunk("IDAT", Bytes(50, 0xAA)),
          chunk("IEND", {})})
        AppendBytes(png, c);

    EXPECT_EQ((std::vector<Item>{{0x0301, 5, Le({100000, 45455}, 4)},
                                 {0x013E, 5, Le({31270, 100000, 32900, 100000}, 4)},
                                 {0x013F, 5,
                                  Le({64000, 100000, 33000, 100000, 30000, 100000, 60000, 100000,
                                      15000, 100000, 6000, 100000},
                                     4)},
                                 {0x0132, 2, Text("1970:01:01 00:00:00")},
                                 {0x5113, 3, Bytes{0x01, 0x00, 0x02, 0x01}},
                                 {0x013B, 2, Text("Ann")},
                                 {0x5110, 1, Bytes{1}},
                                 {0x5111, 4, Le({3780}, 4)},
                                 {0x5112, 4, Le({3780}, 4)}}),
              Read("image.png", png));
}

TEST_F(BuiltinItemsTest, PngResolutionNeedsMetres) {
    Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    AppendBe32(png, 9);
    AppendText(png, "pHYs");
    AppendBe32(png, 2);
    AppendBe32(png, 1);
    png.push_back(0);  // unit 0: aspect ratio only
    AppendBe32(png, 0);
    EXPECT_EQ((std::vector<Item>{
                  {0x5110, 1, Bytes{1}}, {0x5111, 4, Le({0}, 4)}, {0x5112, 4, Le({0}, 4)}}),
              Read("aspect.png", png));
}

TEST_F(BuiltinItemsTest, GifWithoutGlobalTable) {
    Bytes gif;
    AppendText(gif, "GIF87a");
    AppendLe16(gif, 1);
    AppendLe16(gif, 1);
    Append(gif, {0x00, 0x07, 0x00});  // no global table; a background index to ignore
    // A frame with a local table of 2 entries, then a comment after it, which does not count.
    Append(gif,
           {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x80, 9, 9, 9, 8, 8, 8, 0x02, 0x02, 0x44, 0x01, 0x00});
    Append(gif, {0x21, 0xFE, 0x01, 'x', 0x00});
    Append(gif, {0x21, 0xF9, 0x04, 0x00, 0x14, 0x00, 0x00, 0x00});  // delay 20 for frame 2
    Append(gif, {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B});
    EXPECT_EQ((std::vector<Item>{{0x5100, 4, Le({0, 20}, 4)}, {0x5101, 3, Le({1}, 2)}}),
              Read("plain.gif", gif));
}

TEST_F(BuiltinItemsTest, GifBlocks) {
    Bytes gif;
    AppendText(gif, "GIF89a");
    AppendLe16(gif, 2);
    AppendLe16(gif, 2);
    Append(gif, {0x80, 0x01, 0x00});  // global table of 2 entries, background 1
    Append(gif, {1, 2, 3, 4, 5, 6});  // the table
    Append(gif, {0x21, 0xFE, 0x04, 'h', 'i', 0, 0, 0x00});  // comment, its zeros dropped
    Append(gif, {0x21, 0xFF, 0x0B});
    AppendText(gif, "NETSCAPE2.0");
    Append(gif, {0x03, 0x01, 0x05, 0x01, 0x00});  // loop 261
    const Bytes image{0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00};
    Append(gif, {0x21, 0xF9, 0x04, 0x01, 0x0A, 0x00, 0x03, 0x00});  // delay 10, transparent 3
    gif.insert(gif.end(), image.begin(), image.end());
    gif.insert(gif.end(), image.begin(), image.end());  // no control block: keeps delay 10
    gif.push_back(0x3B);

    EXPECT_EQ((std::vector<Item>{{0x5100, 4, Le({10, 10}, 4)},
                                 {0x9286, 2, Text("hi")},
                                 {0x5101, 3, Le({261}, 2)},
                                 {0x5102, 1, Bytes{1, 2, 3, 4, 5, 6}},
                                 {0x5103, 1, Bytes{1}},
                                 {0x5104, 1, Bytes{3}}}),
              Read("anim.gif", gif));
}

// A comment keeps whole sub-blocks up to the first that reaches 1 MiB, none after it.
TEST_F(BuiltinItemsTest, GifCommentStopsAtOneMebibyte) {
    Bytes gif;
    AppendText(gif, "GIF89a");
    AppendLe16(gif, 1);
    AppendLe16(gif, 1);
    Append(gif, {0x00, 0x00, 0x00, 0x21, 0xFE});
    for (int i = 0; i < 4112; ++i) {  // 4,112 blocks of 255 bytes: 16 bytes short of 1 MiB
        gif.push_back(255);
        gif.insert(gif.end(), 255, 'a');
    }
    Append(gif, {16});
    gif.insert(gif.end(), 16, 'b');
    Append(gif, {1, 'c', 0x00});
    Append(gif, {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B});
    const std::vector<Item> items = Read("long-comment.gif", gif);
    const auto comment = std::ranges::find(items, PROPID{0x9286}, &Item::id);
    ASSERT_NE(items.end(), comment);
    EXPECT_EQ((1u << 20) + 1, comment->value.size());  // and the terminating zero
    EXPECT_EQ('b', comment->value[(1u << 20) - 1]);
}

TEST_F(BuiltinItemsTest, FormatIsFoundByContent) {
    EXPECT_TRUE(Read("image.bmp", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0}).empty());
    EXPECT_EQ(ExpectedExifItems(), Read("named.png", Jpeg({ExifSegment(false)})));
    Read("image.pcx", Bytes(128, 0x0A), E_FAIL);
    PropertyItemBlock block;
    EXPECT_EQ(E_FAIL, ReadBuiltinPropertyItems(dir_.WidePath("absent.jpg").c_str(), block));
}

}  // namespace
}  // namespace pixelfold::test
