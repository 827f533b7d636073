// metadata/property_tag_table.cpp: the property tag table, constant data checked at compile
// time, and the lookup by name.
#include "metadata/property_tag_table.h"

#include <array>
#include <cstdint>
#include <iterator>

#include "pixelfold/property_names.h"
#include "platform/ascii_text.h"

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

// Every name starts with this prefix (checked above); the lookup hashes and compares what
// follows it.
constexpr WideStringView kNamePrefix = WTEXT("PropertyTag");

constexpr std::size_t LengthOf(const WCHAR* name) noexcept {
    std::size_t length = 0;
    while (name[length] != 0)
        ++length;
    return length;
}

// The hash of a name (after the prefix) from its length and its first, middle and last code
// units, folded: cheap to take for every request, and spread well enough over these names
// (the probe bound below is checked when the table is made).
constexpr std::uint32_t HashFolded(const WCHAR* name, std::size_t length) noexcept {
    if (length == 0) return 0;
    const std::uint32_t first = FoldAsciiUpper(name[0]);
    const std::uint32_t middle = FoldAsciiUpper(name[length / 2]);
    const std::uint32_t last = FoldAsciiUpper(name[length - 1]);
    const std::uint32_t hash = static_cast<std::uint32_t>(length) * 0x9E3779B1u ^
                               first * 0x85EBCA77u ^ middle * 0xC2B2AE3Du ^ last * 0x27D4EB2Fu;
    return hash ^ (hash >> 15);
}

// The names after the prefix, folded, with their lengths: what a request is compared with.
constexpr std::size_t kLongestName = 32;
struct FoldedName {
    std::array<WCHAR, kLongestName> text{};
    std::size_t length = 0;
};

constexpr std::array<FoldedName, kRowCount> MakeFoldedNames() {
    std::array<FoldedName, kRowCount> names{};
    for (std::size_t row = 0; row < kRowCount; ++row) {
        const WCHAR* name = kPropertyTagRows[row].name + kNamePrefix.size();
        FoldedName& folded = names[row];
        folded.length = LengthOf(name);
        if (folded.length > kLongestName) throw "a name is longer than kLongestName";
        for (std::size_t i = 0; i < folded.length; ++i)
            folded.text[i] = FoldAsciiUpper(name[i]);
    }
    return names;
}

constexpr std::array<FoldedName, kRowCount> kFoldedNames = MakeFoldedNames();

// An open-addressed table of the rows by the hash of their folded names (after the prefix):
// each slot holds a row index plus one, 0 for empty.
constexpr std::size_t kSlotCount = 1024;  // a power of two, over four times the rows
struct NameSlots {
    std::array<std::uint8_t, kSlotCount> rowPlusOne{};
    std::size_t longestProbe = 0;
};

constexpr NameSlots MakeNameSlots() {
    NameSlots slots;
    for (std::size_t row = 0; row < kRowCount; ++row) {
        const FoldedName& name = kFoldedNames[row];
        std::size_t probe = 0;
        std::size_t slot = HashFolded(name.text.data(), name.length);
        while (slots.rowPlusOne[slot % kSlotCount] != 0) {
            ++slot;
            ++probe;
        }
        slots.rowPlusOne[slot % kSlotCount] = static_cast<std::uint8_t>(row + 1);
        if (probe > slots.longestProbe) slots.longestProbe = probe;
    }
    return slots;
}

constexpr NameSlots kNameSlots = MakeNameSlots();
static_assert(kRowCount < 255, "row indexes fit the slots");
static_assert(kNameSlots.longestProbe <= 4, "few collisions");

constexpr bool FoldedEquals(const FoldedName& row, const WCHAR* name, std::size_t length) {
    if (row.length != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (FoldAsciiUpper(name[i]) != row.text[i]) return false;
    }
    return true;
}

// Folded names are unique (asserted above), so the one row whose folded name equals the
// request's is the row that a walk from the first row would find.
const PropertyTagInfo* FindPropertyTag(const WCHAR* name) noexcept {
    if (name == nullptr) return nullptr;
    for (const WCHAR c : kNamePrefix) {
        if (FoldAsciiUpper(*name) != FoldAsciiUpper(c)) return nullptr;  // also at the NUL
        ++name;
    }
    // A longer name matches no row, however long it is.
    std::size_t length = 0;
    while (name[length] != 0) {
        if (++length > kLongestName) return nullptr;
    }
    const std::size_t start = HashFolded(name, length);
    for (std::size_t probe = 0; probe <= kNameSlots.longestProbe; ++probe) {
        const std::uint8_t rowPlusOne = kNameSlots.rowPlusOne[(start + probe) % kSlotCount];
        if (rowPlusOne == 0) return nullptr;
        if (FoldedEquals(kFoldedNames[rowPlusOne - 1u], name, length)) {
            return &kPropertyTagTable[rowPlusOne - 1u];
        }
    }
    return nullptr;
}

}  // namespace pixelfold
