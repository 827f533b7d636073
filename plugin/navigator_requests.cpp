// plugin/navigator_requests.cpp: answering the host's value requests.
#include <span>

#include "common/hr_error.h"
#include "metadata/property_tag_table.h"
#include "platform/ascii_text.h"
#include "plugin/image_file.h"
#include "plugin/image_property_items.h"

namespace pixelfold {
namespace {

const PropertyItem* FindItem(const BmpInfo& info, PROPID tag) noexcept {
    const std::span<const PropertyItem> items(info.propertyItems.get(),
                                              info.propertyItems ? info.propertyItemCount : 0);
    for (const PropertyItem& item : items) {
        if (item.id == tag) return &item;
    }
    return nullptr;
}

}  // namespace

HRESULT CImageFile::GetValues(std::int32_t stop, std::int32_t count,
                              ValueRequest* requests) noexcept {
    if (requests == nullptr) return E_POINTER;
    return HrBoundary([&] {
        for (std::int32_t i = 0; i < count; ++i) {
            AnswerRequest(requests[i]);
            if (stop != 0 && requests[i].found != 0) break;
        }
        return S_OK;
    });
}

HRESULT CImageFile::MarkRequestsUnanswered(std::int32_t count, ValueRequest* requests) noexcept {
    if (count <= 0) return S_OK;
    if (requests == nullptr) return E_POINTER;
    for (std::int32_t i = 0; i < count; ++i) {
        requests[i].found = 0;
        requests[i].attributes = 1;
    }
    return S_OK;
}

void CImageFile::AnswerRequest(ValueRequest& request) {
    request.found = 0;
    // Names are compared as NUL-terminated text; COM reads a null BSTR as empty.
    if (!TextEqualsIgnoringAsciiCase(request.group, WTEXT("Image"))) return;
    if (AnswerFromHeader(request)) return;
    AnswerFromMetadata(request);
}

bool CImageFile::AnswerFromHeader(ValueRequest& request) noexcept {
    const BSTR name = request.name;
    const BmpInfo& info = image_.info();
    std::int32_t value = 0;
    if (TextEqualsIgnoringAsciiCase(name, WTEXT("Width"))) {
        value = info.dims.width;
    } else if (TextEqualsIgnoringAsciiCase(name, WTEXT("Height"))) {
        value = info.dims.height;
    } else if (TextEqualsIgnoringAsciiCase(name, WTEXT("Color Depth"))) {
        value = info.dims.colorDepth;
    } else {
        return false;
    }
    // The header values count only once the file has been measured and is not empty. The
    // host's earlier value is overwritten, not released.
    request.value.vt = VT_I4;
    request.value.lVal = info.fileSize != 0 ? value : 0;
    request.found = 1;
    request.attributes = 1;
    return true;
}

void CImageFile::AnswerFromMetadata(ValueRequest& request) {
    if (!image_.propertyItemsLoaded() && !LoadPropertyItems(image_)) return;
    // Most files hold no items at all; they need no name looked up.
    if (!image_.info().propertyItems || image_.info().propertyItemCount == 0) return;
    const PropertyTagInfo* row = FindPropertyTag(request.name);
    if (row == nullptr) return;
    const PropertyItem* item = FindItem(image_.info(), row->tag);
    if (item == nullptr) return;
    row->toVariant(request, *item);
    request.attributes = row->attributes;
}

}  // namespace pixelfold
