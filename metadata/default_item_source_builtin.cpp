// metadata/default_item_source_builtin.cpp: builds that read property items themselves.
#include "metadata/builtin_item_source.h"
#include "metadata/load_property_items.h"

namespace pixelfold {

bool LoadPropertyItems(ProbedImage& image) noexcept {
    BuiltinItemSource source;
    return LoadPropertyItems(image, source);
}

}  // namespace pixelfold
