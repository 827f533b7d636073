// metadata/property_tag_table.cpp: the property tag table, constant data checked at compile
// time, and the lookup by name.
#include "metadata/property_tag_table.h"

#include <array>
#include <iterator>

#include "common/ascii_text.h"
#include "metadata/property_tag_rows.h"

namespace pixelfold {
namespace {

constexpr std::size_t kRowCount = std::size(kPropertyTagRows);

constexpr std::array<PropertyTagInfo, kRowCount> MakeTable() {
    std::array<PropertyTagInfo, kRowCount> table{};
    for (std::size_t i = 0; i < kRowCount; ++i) {
        const PropertyTagRow& r = kPropertyTagRows[i];
        table[i] = r.kind == kDate ? PropertyTagInfo{r.name, r.tag, r.attributes,
                                                     DateItemFromVariant, VariantFromDateItem}
                                   : PropertyTagInfo{r.name, r.tag, r.attributes, NoItemFromVariant,
                                                     VariantFromItem};
    }
    return table;
}

constexpr std::array<PropertyTagInfo, kRowCount> kPropertyTagTable = MakeTable();

// Compares NUL-terminated names after folding A to Z: negative, zero or positive.
constexpr int CompareFolded(const WCHAR* a, const WCHAR* b) noexcept {
    for (;; ++a, ++b) {
        const WCHAR x = FoldAsciiUpper(*a);
        const WCHAR y = FoldAsciiUpper(*b);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

// Strict order also rules out two names that differ only in case.
constexpr bool IsStrictlySortedByFoldedName() {
    for (std::size_t i = 1; i < kRowCount; ++i) {
        if (CompareFolded(kPropertyTagRows[i - 1].name, kPropertyTagRows[i].name) >= 0) {
            return false;
        }
    }
    return true;
}

constexpr bool TagsAreUnique() {
    for (std::size_t i = 0; i < kRowCount; ++i) {
        for (std::size_t j = i + 1; j < kRowCount; ++j) {
            if (kPropertyTagRows[i].tag == kPropertyTagRows[j].tag) return false;
        }
    }
    return true;
}

template <class Predicate>
constexpr std::size_t CountRows(Predicate predicate) {
    std::size_t count = 0;
    for (const PropertyTagRow& row : kPropertyTagRows) {
        if (predicate(row)) ++count;
    }
    return count;
}

static_assert(kRowCount == 217, "the table has 217 rows");
static_assert(IsStrictlySortedByFoldedName(), "rows stay in folded A-Z order, names unique");
static_assert(TagsAreUnique(), "a tag may appear in one row only");
static_assert(CountRows([](const PropertyTagRow& r) { return r.attributes == 0; }) == 7);
static_assert(CountRows([](const PropertyTagRow& r) { return r.attributes == 1; }) == 210);
static_assert(CountRows([](const PropertyTagRow& r) { return r.kind == kDate; }) == 5);
static_assert(CountRows([](const PropertyTagRow& r) {
                  return WideStringView(r.name).starts_with(WTEXT("PropertyTag"));
              }) == kRowCount,
              "every name starts with PropertyTag");

}  // namespace

std::span<const PropertyTagInfo> PropertyTagTable() noexcept {
    return kPropertyTagTable;
}

// Every name starts with this prefix (checked above); the search compares what follows it.
constexpr WideStringView kNamePrefix = WTEXT("PropertyTag");

// The rows are strictly sorted by folded name, so a binary search finds the same row as a walk
// from the first row would: the only one that matches.
const PropertyTagInfo* FindPropertyTag(const WCHAR* name) noexcept {
    if (name == nullptr) return nullptr;
    for (const WCHAR c : kNamePrefix) {
        if (FoldAsciiUpper(*name) != FoldAsciiUpper(c)) return nullptr;  // also at the NUL
        ++name;
    }
    std::size_t low = 0;
    std::size_t high = kPropertyTagTable.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int order = CompareFolded(kPropertyTagTable[middle].name + kNamePrefix.size(), name);
        if (order == 0) return &kPropertyTagTable[middle];
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return nullptr;
}

}  // namespace pixelfold
