// com/interface_map.h: the constant tables from which every object of the library answers
// QueryInterface, and the walk over them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace pixelfold {

// Asked for an interface that some other object provides (the aggregated marshaler).
using InterfaceFunction = HRESULT (*)(void* object, REFIID iid, void** out,
                                      std::uintptr_t argument);

struct InterfaceMapEntry {
    enum class Kind { kEnd, kOffset, kFunction };

    const IID* iid;           // null would match any IID
    std::uintptr_t argument;  // kOffset: where the interface's table pointer lies in the object
    Kind kind;
    InterfaceFunction function = nullptr;  // kFunction
};

// Rows for the tables: the first row answers IUnknown and must be an offset row; the last
// row ends the table.
constexpr InterfaceMapEntry OffsetEntry(const IID& iid, std::size_t offset) {
    return {&iid, offset, InterfaceMapEntry::Kind::kOffset};
}
constexpr InterfaceMapEntry FunctionEntry(const IID& iid, InterfaceFunction function,
                                          std::uintptr_t argument = 0) {
    return {&iid, argument, InterfaceMapEntry::Kind::kFunction, function};
}
constexpr InterfaceMapEntry EndEntry() {
    return {nullptr, 0, InterfaceMapEntry::Kind::kEnd};
}

template <std::size_t N>
constexpr bool IsWellFormedInterfaceMap(const InterfaceMapEntry (&rows)[N]) {
    return N >= 2 && rows[0].kind == InterfaceMapEntry::Kind::kOffset &&
           rows[N - 1].kind == InterfaceMapEntry::Kind::kEnd;
}

// The interface `iid` of `object` (never null: the object asking) from `table` (its static
// table), with one reference added through it. E_POINTER for a null `out`, E_NOINTERFACE (and
// `*out` null) when no row answers.
[[nodiscard]] HRESULT QueryInterfaceTable(void* object, const InterfaceMapEntry* table, REFIID iid,
                                          void** out) noexcept;

}  // namespace pixelfold
