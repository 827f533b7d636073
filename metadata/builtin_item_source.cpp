// metadata/builtin_item_source.cpp: the built-in reader behind the property item source steps.
#include "metadata/builtin_item_source.h"

#include "metadata/builtin_property_items.h"

namespace pixelfold {

static_assert(PropertyItemList::kMaxItems * sizeof(PropertyItem) +
                      PropertyItemList::kMaxValueBytes <=
                  0xFFFFFFFFu,
              "a block of items is measured in 32 bits");

bool BuiltinItemSource::OpenImage(const WCHAR* path) noexcept {
    open_ = SUCCEEDED(CollectBuiltinPropertyItems(path, items_));
    return open_;
}

bool BuiltinItemSource::QuerySize(std::uint32_t& totalBytes, std::uint32_t& count) noexcept {
    if (!open_) return false;
    totalBytes = static_cast<std::uint32_t>(items_.PackedSize());
    count = static_cast<std::uint32_t>(items_.size());
    return true;
}

bool BuiltinItemSource::ReadAll(std::uint32_t totalBytes, std::uint32_t count,
                                PropertyItem* block) noexcept {
    if (!open_ || block == nullptr || totalBytes != items_.PackedSize() || count != items_.size()) {
        return false;
    }
    items_.PackInto(block);
    return true;
}

void BuiltinItemSource::CloseImage() noexcept {
    items_ = PropertyItemList();
    open_ = false;
}

}  // namespace pixelfold
