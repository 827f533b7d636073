// metadata/png_items.cpp: chunk-derived property items of a PNG file.
#include "metadata/png_items.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bytes/endian.h"
#include "bytes/read_work.h"

namespace pixelfold {
namespace {

constexpr std::uint32_t kMaxChunkRead = 1u << 20;  // metadata chunks larger than this are skipped

struct TextKeyword {
    std::string_view keyword;
    PROPID id;
};
constexpr std::array<TextKeyword, 7> kTextKeywords = {{
    {"Title", 0x0320},
    {"Author", 0x013B},
    {"Description", 0x010E},
    {"Copyright", 0x8298},
    {"Software", 0x0131},
    {"Source", 0x0110},
    {"Comment", 0x9286},
}};

std::uint32_t Be32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
           std::uint32_t{b[at + 2]} << 8 | std::uint32_t{b[at + 3]};
}

// RATIONAL values: each pair numerator, denominator.
std::vector<std::uint8_t> Rationals(std::initializer_list<std::uint32_t> numbers) {
    return Le32Bytes(std::span(numbers.begin(), numbers.size()));
}

class PngChunks {
  public:
    explicit PngChunks(PropertyItemList& items) : items_(items) {}

    void Take(std::string_view type, std::span<const std::uint8_t> data) {
        if (type == "tIME" && data.size() >= 7 && First(type)) {
            char text[32];
            std::snprintf(text, sizeof text, "%04u:%02u:%02u %02u:%02u:%02u",
                          unsigned{data[0]} << 8 | data[1], unsigned{data[2]}, unsigned{data[3]},
                          unsigned{data[4]}, unsigned{data[5]}, unsigned{data[6]});
            const std::string_view view(text);
            std::vector<std::uint8_t> bytes(view.begin(), view.end());
            bytes.push_back(0);
            items_.Add(0x0132, PropertyType::kAscii, bytes);
        } else if (type == "gAMA" && data.size() >= 4 && First(type)) {
            items_.Add(0x0301, PropertyType::kRational, Rationals({100000, Be32(data, 0)}));
        } else if (type == "cHRM" && data.size() >= 32 && First(type)) {
            auto v = [&](std::size_t i) { return Be32(data, 4 * i); };
            items_.Add(0x013E, PropertyType::kRational, Rationals({v(0), 100000, v(1), 100000}));
            items_.Add(0x013F, PropertyType::kRational,
                       Rationals({v(2), 100000, v(3), 100000, v(4), 100000, v(5), 100000, v(6),
                                  100000, v(7), 100000}));
        } else if (type == "hIST" && First(type)) {
            std::vector<std::uint8_t> bytes;
            read_work::Allocated(data.size());
            for (std::size_t at = 0; at + 1 < data.size(); at += 2) {
                bytes.push_back(data[at + 1]);
                bytes.push_back(data[at]);
            }
            items_.Add(0x5113, PropertyType::kShort, bytes);
        } else if (type == "tEXt") {
            TakeText(data);
        } else if (type == "pHYs" && data.size() >= 9 && First(type)) {
            if (data[8] == 1) {
                xPerMetre_ = Be32(data, 0);
                yPerMetre_ = Be32(data, 4);
            }
        }
    }

    void Finish() {
        const std::array<std::uint8_t, 1> unit = {1};
        items_.Add(0x5110, PropertyType::kByte, unit);
        items_.Add(0x5111, PropertyType::kLong, Le32Bytes(std::span(&xPerMetre_, 1)));
        items_.Add(0x5112, PropertyType::kLong, Le32Bytes(std::span(&yPerMetre_, 1)));
    }

  private:
    bool First(std::string_view key) { return seen_.insert(std::string(key)).second; }

    void TakeText(std::span<const std::uint8_t> data) {
        const auto nul = std::find(data.begin(), data.end(), std::uint8_t{0});
        if (nul == data.end()) return;
        const std::string_view keyword(reinterpret_cast<const char*>(data.data()),
                                       static_cast<std::size_t>(nul - data.begin()));
        for (const TextKeyword& row : kTextKeywords) {
            if (row.keyword != keyword || !First("tEXt " + std::string(keyword))) continue;
            std::vector<std::uint8_t> text(nul + 1, data.end());
            read_work::Allocated(text.size());
            TerminateAscii(text);
            items_.Add(row.id, PropertyType::kAscii, text);
        }
    }

    PropertyItemList& items_;
    std::set<std::string> seen_;
    std::uint32_t xPerMetre_ = 0;
    std::uint32_t yPerMetre_ = 0;
};

bool Wanted(std::string_view type) {
    return type == "tIME" || type == "gAMA" || type == "cHRM" || type == "hIST" || type == "tEXt" ||
           type == "pHYs";
}

// Reads `length` bytes into `data` piece by piece, so that a chunk that declares more than
// the file holds never costs more memory than the file gives.
bool ReadChunkData(ByteStream& stream, std::uint32_t length, std::vector<std::uint8_t>& data) {
    constexpr std::size_t kPiece = 64 * 1024;
    data.clear();
    while (data.size() < length) {
        const std::size_t at = data.size();
        data.resize(at + std::min<std::size_t>(kPiece, length - at));
        read_work::Allocated(data.size() - at);
        if (!stream.ReadExact(std::span(data).subspan(at))) return false;
    }
    return true;
}

}  // namespace

void AddPngItems(ByteStream& stream, PropertyItemList& items) {
    PngChunks chunks(items);
    std::vector<std::uint8_t> data;
    for (;;) {
        std::array<std::uint8_t, 8> head{};
        if (!stream.ReadExact(head)) break;
        const std::uint32_t length = LoadU32BE<0>(head);
        const std::string_view type(reinterpret_cast<const char*>(&head[4]), 4);
        if (type == "IEND" || length > 0x7FFFFFFFu) break;
        if (Wanted(type) && length <= kMaxChunkRead) {
            if (!ReadChunkData(stream, length, data)) break;
            chunks.Take(type, data);
            stream.SkipForward(4);  // checksum
        } else {
            stream.SkipForward(length + 4);  // data and checksum; length is below 2^31
        }
    }
    chunks.Finish();
}

}  // namespace pixelfold
