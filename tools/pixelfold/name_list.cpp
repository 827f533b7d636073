// tools/pixelfold/name_list.cpp: the names reference, made from the public header's two tables
// with the same texts as scripts/make-names-reference.py (a test compares the two).
#include "tools/pixelfold/name_list.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <vector>

#include "pixelfold/property_names.h"
#include "pixelfold/utf8.hpp"

namespace pixelfold::host {
namespace {

constexpr std::size_t kColumns = 9;
using Row = std::array<std::string, kColumns>;

constexpr std::array<const char*, kColumns> kHeadings = {
    "name",     "tag", "standard name", "standard type", "values", "answers with", "attributes",
    "answered", "why"};

const char* TypeText(TagType type) {
    switch (type) {
        case TagType::kByte:
            return "BYTE";
        case TagType::kAscii:
            return "ASCII";
        case TagType::kShort:
            return "SHORT";
        case TagType::kLong:
            return "LONG";
        case TagType::kRational:
            return "RATIONAL";
        case TagType::kUndefined:
            return "UNDEFINED";
        case TagType::kSLong:
            return "SLONG";
        case TagType::kSRational:
            return "SRATIONAL";
        case TagType::kShortOrLong:
            return "SHORT or LONG";
        case TagType::kByteOrShort:
            return "BYTE or SHORT";
        case TagType::kAnyNumber:
            return "the samples' type";
    }
    return "";
}

const char* AnsweredText(Answered answered) {
    switch (answered) {
        case Answered::kAlways:
            return "always";
        case Answered::kWhenOneValue:
            return "one value only";
        case Answered::kWhenText:
            return "as text only";
        case Answered::kNever:
            return "never";
    }
    return "";
}

// The VARIANT type of the answer for the standard's type.
const char* AnswersWith(const PropertyTagReference& r, bool isDate) {
    if (r.answered == Answered::kNever) return "-";
    if (r.answered == Answered::kWhenText || r.type == TagType::kAscii)
        return isDate ? "VT_DATE or VT_BSTR" : "VT_BSTR";
    if (r.type == TagType::kRational || r.type == TagType::kSRational) return "VT_R8";
    if (r.type == TagType::kAnyNumber) return "VT_I4 or VT_R8";
    return "VT_I4";
}

const PropertyTagReference* ReferenceOf(std::uint32_t tag) {
    for (const PropertyTagReference& r : kPropertyTagReferences) {
        if (r.tag == tag) return &r;
    }
    return nullptr;
}

std::vector<Row> Rows() {
    std::vector<Row> rows = {
        {"Width", "-", "-", "-", "1", "VT_I4", "1", "always",
         "from the header: the image's width in pixels"},
        {"Height", "-", "-", "-", "1", "VT_I4", "1", "always",
         "from the header: the image's height in pixels"},
        {"Color Depth", "-", "-", "-", "1", "VT_I4", "1", "always",
         "from the header: bits per pixel"},
    };
    for (const PropertyTagRow& row : kPropertyTagRows) {
        const PropertyTagReference* r = ReferenceOf(row.tag);
        if (r == nullptr) continue;  // the header's test keeps the two tables in step
        char tag[8];
        std::snprintf(tag, sizeof tag, "0x%04X", static_cast<unsigned>(row.tag));
        const std::string standard = *r->standardName != '\0' ? r->standardName : "none (GDI+)";
        rows.push_back({Utf8FromUtf16(row.name), tag, standard, TypeText(r->type), r->count,
                        AnswersWith(*r, row.kind == kDate), std::to_string(row.attributes),
                        AnsweredText(r->answered), r->why});
    }
    return rows;
}

}  // namespace

std::string NameList(OutputMode mode) {
    const std::vector<Row> rows = Rows();
    std::string out;
    if (mode == OutputMode::kJson) {
        for (const Row& row : rows) {
            nlohmann::ordered_json line = nlohmann::ordered_json::object();
            for (std::size_t c = 0; c < kColumns; ++c)
                line[kHeadings[c]] = row[c];
            out += line.dump() + '\n';
        }
        return out;
    }
    if (mode == OutputMode::kCsv) {
        const auto appendRow = [&out](const auto& cells) {
            for (std::size_t c = 0; c < kColumns; ++c) {
                if (c > 0) out += ',';
                AppendCsvField(cells[c], out);
            }
            out += "\r\n";
        };
        appendRow(std::array<std::string, kColumns>{kHeadings[0], kHeadings[1], kHeadings[2],
                                                    kHeadings[3], kHeadings[4], kHeadings[5],
                                                    kHeadings[6], kHeadings[7], kHeadings[8]});
        for (const Row& row : rows)
            appendRow(row);
        return out;
    }
    std::array<std::size_t, kColumns> width{};
    for (std::size_t c = 0; c < kColumns; ++c)
        width[c] = std::string(kHeadings[c]).size();
    for (const Row& row : rows) {
        for (std::size_t c = 0; c < kColumns; ++c)
            width[c] = std::max(width[c], row[c].size());
    }
    const auto appendLine = [&](const auto& cells) {
        std::string line;
        for (std::size_t c = 0; c < kColumns; ++c) {
            const std::string cell = cells[c];
            line += cell;
            if (c + 1 < kColumns) line += std::string(width[c] - cell.size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + '\n';
    };
    appendLine(kHeadings);
    for (const Row& row : rows)
        appendLine(row);
    return out;
}

}  // namespace pixelfold::host
