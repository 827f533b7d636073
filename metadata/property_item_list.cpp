// metadata/property_item_list.cpp: property items laid out in one C heap block.
#include "metadata/property_item_list.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace pixelfold {

bool PropertyItemList::Fits(std::size_t bytes) const noexcept {
    return items_.size() < kMaxItems && bytes <= kMaxValueBytes - values_.size();
}

bool PropertyItemList::Add(PROPID id, WORD type, std::span<const std::uint8_t> value) {
    if (!Fits(value.size())) return false;
    if (values_.capacity() == 0) values_.reserve(kInitialValueBytes);
    items_.push_back(Entry{id, type, values_.size(), value.size()});
    values_.insert(values_.end(), value.begin(), value.end());
    return true;
}

std::size_t PropertyItemList::PackedSize() const noexcept {
    return items_.size() * sizeof(PropertyItem) + values_.size();
}

void PropertyItemList::PackInto(void* block) const noexcept {
    auto* records = static_cast<PropertyItem*>(block);
    auto* values = static_cast<std::uint8_t*>(block) + items_.size() * sizeof(PropertyItem);
    if (!values_.empty()) std::memcpy(values, values_.data(), values_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const Entry& e = items_[i];
        PropertyItem* record = new (&records[i]) PropertyItem{};
        record->id = e.id;
        record->length = static_cast<ULONG>(e.length);
        record->type = e.type;
        record->value = values + e.offset;
    }
}

PropertyItemBlock PropertyItemList::Pack() const {
    PropertyItemBlock block;
    if (items_.empty()) return block;
    void* memory = std::malloc(PackedSize());
    if (memory == nullptr) throw std::bad_alloc();
    PackInto(memory);
    block.items.reset(static_cast<PropertyItem*>(memory));
    block.count = static_cast<std::uint32_t>(items_.size());
    return block;
}

}  // namespace pixelfold
