// metadata/value_converters.cpp: property item values to VARIANTs and back.
#include "metadata/value_converters.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/hr_error.h"
#include "metadata/exif_date_text.h"
#include "metadata/property_item_list.h"
#include "metadata/property_tag_table.h"
#include "platform/allocation.h"
#include "platform/ansi_text.h"
#include "platform/unique.h"

namespace pixelfold {
namespace {

template <class T>
T LoadValue(const PropertyItem& item) {
    T value;
    std::memcpy(&value, item.value, sizeof value);
    return value;
}

// The length in bytes of a number item of `type`; 0 for a type that is not a number.
std::size_t NumberLength(WORD type) {
    switch (type) {
        case PropertyType::kByte:
            return 1;
        case PropertyType::kShort:
            return 2;
        case PropertyType::kLong:
        case PropertyType::kSLong:
            return 4;
        case PropertyType::kRational:
        case PropertyType::kSRational:
            return 8;
        default:
            return 0;
    }
}

void StoreI4(ValueRequest& request, LONG value) {
    VariantClear(&request.value);
    request.value.vt = VT_I4;
    request.value.lVal = value;
    request.found = 1;
}

void StoreR8(ValueRequest& request, double value) {
    VariantClear(&request.value);
    request.value.vt = VT_R8;
    request.value.dblVal = value;
    request.found = 1;
}

bool StoreNumber(ValueRequest& request, const PropertyItem& item) {
    switch (item.type) {
        case PropertyType::kByte:
            StoreI4(request, LoadValue<std::uint8_t>(item));
            return true;
        case PropertyType::kShort:
            StoreI4(request, LoadValue<std::uint16_t>(item));
            return true;
        case PropertyType::kLong:
            StoreI4(request, static_cast<LONG>(LoadValue<std::uint32_t>(item)));
            return true;
        case PropertyType::kSLong:
            StoreI4(request, LoadValue<std::int32_t>(item));
            return true;
        case PropertyType::kRational: {
            const auto n = LoadValue<std::array<std::uint32_t, 2> >(item);
            StoreR8(request, static_cast<double>(n[0]) / static_cast<double>(n[1]));
            return true;
        }
        case PropertyType::kSRational: {
            const auto n = LoadValue<std::array<std::int32_t, 2> >(item);
            StoreR8(request, static_cast<double>(n[0]) / static_cast<double>(n[1]));
            return true;
        }
        default:
            return false;
    }
}

// The bytes of an ASCII item up to its first zero byte, `length` bytes at most.
std::string_view AsciiText(const PropertyItem& item) {
    const auto* bytes = static_cast<const char*>(item.value);
    const void* zero = std::memchr(bytes, 0, item.length);
    const std::size_t size = zero == nullptr
                                 ? item.length
                                 : static_cast<std::size_t>(static_cast<const char*>(zero) - bytes);
    return {bytes, size};
}

// Each line feed becomes carriage return and line feed, one already preceded by a carriage
// return included.
WideString WidenLineFeeds(const WideString& text) {
    WideString out;
    out.reserve(text.size() + 8);
    for (const WCHAR c : text) {
        if (c == WCHAR{'\n'}) out.push_back(WCHAR{'\r'});
        out.push_back(c);
    }
    return out;
}

bool StoreText(ValueRequest& request, const PropertyItem& item) {
    if (item.value == nullptr) {
        VariantClear(&request.value);
        request.found = 1;
        return true;
    }
    WideString decoded;
    const HRESULT hr = DecodeAnsiText(AsciiText(item), decoded);
    if (FAILED(hr)) ThrowHr(hr);
    WideString text;
    try {
        text = WidenLineFeeds(decoded);
    } catch (const std::bad_alloc&) {
        ThrowHr(E_OUTOFMEMORY);
    }
    UniqueBstr value(NewBstr(text));
    if (!value) ThrowHr(E_OUTOFMEMORY);
    // Only now is the request changed: the old value goes, the new one takes its place.
    VariantClear(&request.value);
    request.value.vt = VT_BSTR;
    request.value.bstrVal = value.release();
    request.found = 1;
    return true;
}

}  // namespace

bool VariantFromItem(ValueRequest& request, const PropertyItem& item) {
    if (item.type == PropertyType::kAscii) return StoreText(request, item);
    const std::size_t length = NumberLength(item.type);
    if (length == 0 || item.length != length || item.value == nullptr) return false;
    return StoreNumber(request, item);
}

bool VariantFromDateItem(ValueRequest& request, const PropertyItem& item) {
    if (item.type != PropertyType::kAscii || item.value == nullptr) {
        return VariantFromItem(request, item);
    }
    SYSTEMTIME fields{};
    DATE date = 0.0;
    if (!ScanExifDateText(AsciiText(item), fields) || !ValidExifDate(fields, date)) {
        return VariantFromItem(request, item);
    }
    VariantClear(&request.value);
    request.value.vt = VT_DATE;
    request.value.date = date;
    request.found = 1;
    return true;
}

PropertyItem* NoItemFromVariant(const ValueRequest& /*request*/,
                                const PropertyTagInfo& /*row*/) noexcept {
    return nullptr;
}

PropertyItem* DateItemFromVariant(const ValueRequest& request,
                                  const PropertyTagInfo& row) noexcept {
    DATE date = 0.0;
    if (request.value.vt == VT_DATE) {
        date = request.value.date;
    } else {
        UniqueVariant converted;
        // The conversion only reads its source; some SDK headers declare it without const.
        VARIANT* source = const_cast<VARIANT*>(&request.value);
        if (FAILED(VariantChangeType(converted.get(), source, 0, VT_DATE))) {
            return nullptr;
        }
        date = converted->date;
    }
    SYSTEMTIME fields{};
    if (!VariantTimeToSystemTime(date, &fields)) return nullptr;
    const std::array<char, 20> text = FormatExifDateText(fields);

    std::unique_ptr<char, FreeCHeap> value(static_cast<char*>(NewHeapBlock(text.size())));
    std::unique_ptr<PropertyItem, FreeCHeap> item(
        static_cast<PropertyItem*>(NewHeapBlock(sizeof(PropertyItem))));
    if (!value || !item) return nullptr;
    std::memcpy(value.get(), text.data(), text.size());
    PropertyItem* made = new (item.get()) PropertyItem{};
    made->id = row.tag;
    made->length = static_cast<ULONG>(text.size());
    made->type = PropertyType::kAscii;
    made->value = value.release();
    return item.release();
}

void FreeItemFromVariant(PropertyItem* item) noexcept {
    if (item == nullptr) return;
    std::free(item->value);
    std::free(item);
}

}  // namespace pixelfold
