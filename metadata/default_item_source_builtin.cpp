// metadata/default_item_source_builtin.cpp: builds that read property items themselves.
#include "metadata/builtin_item_source.h"
#include "metadata/load_property_items.h"

namespace pixelfold {

bool LoadPropertyItems(const WCHAR* path, PropertyItemBuffer& items, std::uint32_t& count,
                       bool& loaded) noexcept {
    BuiltinItemSource source;
    return LoadPropertyItems(path, items, count, loaded, source);
}

}  // namespace pixelfold
