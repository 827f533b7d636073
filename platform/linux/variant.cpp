// platform/linux/variant.cpp: VARIANT ownership and the conversion to VT_DATE.
#include <cmath>
#include <cstring>

#include "platform/com_calls.h"
#include "platform/linux/calendar.h"
#include "platform/linux/date_text.h"
#include "platform/linux/windows_api.h"

using namespace pixelfold::platform;

namespace {

bool IsScalarType(VARTYPE type) {
    switch (type) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_ERROR:
        case VT_BOOL:
        case VT_DECIMAL:
        case VT_I1:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
            return true;
        default:
            return false;
    }
}

bool IsOwningType(VARTYPE type) {
    return type == VT_BSTR || type == VT_UNKNOWN || type == VT_DISPATCH;
}

template <class T>
T Load(const void* storage) {
    T value;
    std::memcpy(&value, storage, sizeof value);
    return value;
}

// A number as a date: the range of dates, 1 January 100 to the end of 31 December 9999.
HRESULT DateFromNumber(double value, DATE* date) {
    if (!(value > kMinDate - 1.0 && value < kMaxDate + 1.0)) return DISP_E_OVERFLOW;
    *date = value;
    return S_OK;
}

// The value that `source` holds, or points at when it is VT_BYREF, as a date.
HRESULT ToDate(const VARIANT& source, DATE* date) {
    const bool byRef = (source.vt & VT_BYREF) != 0;
    const VARTYPE type = static_cast<VARTYPE>(source.vt & ~VT_BYREF);
    if (byRef && source.byref == nullptr) return E_INVALIDARG;
    // Every member of the value union starts at the same place.
    const void* storage = byRef ? source.byref : static_cast<const void*>(&source.llVal);
    switch (type) {
        case VT_EMPTY:
            *date = 0.0;
            return S_OK;
        case VT_DATE:
            *date = Load<DATE>(storage);
            return S_OK;
        case VT_I1:
            return DateFromNumber(Load<CHAR>(storage), date);
        case VT_UI1:
            return DateFromNumber(Load<BYTE>(storage), date);
        case VT_I2:
            return DateFromNumber(Load<SHORT>(storage), date);
        case VT_UI2:
            return DateFromNumber(Load<USHORT>(storage), date);
        case VT_I4:
            return DateFromNumber(Load<LONG>(storage), date);
        case VT_UI4:
            return DateFromNumber(Load<ULONG>(storage), date);
        case VT_INT:
            return DateFromNumber(Load<INT>(storage), date);
        case VT_UINT:
            return DateFromNumber(Load<UINT>(storage), date);
        case VT_I8:
            return DateFromNumber(static_cast<double>(Load<LONGLONG>(storage)), date);
        case VT_UI8:
            return DateFromNumber(static_cast<double>(Load<ULONGLONG>(storage)), date);
        case VT_R4:
            return DateFromNumber(Load<FLOAT>(storage), date);
        case VT_R8:
            return DateFromNumber(Load<DOUBLE>(storage), date);
        case VT_CY:  // a 64-bit integer of ten-thousandths
            return DateFromNumber(static_cast<double>(Load<LONGLONG>(storage)) / 10000.0, date);
        case VT_BOOL:
            return DateFromNumber(Load<VARIANT_BOOL>(storage), date);
        case VT_BSTR:
            return DateFromText(Load<BSTR>(storage), date);
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace

void VariantInit(VARIANT* variant) {
    variant->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* variant) {
    if (variant == nullptr) return E_INVALIDARG;
    const VARTYPE type = variant->vt;
    if ((type & VT_BYREF) == 0) {
        if (!IsScalarType(type) && !IsOwningType(type)) return DISP_E_BADVARTYPE;
        if (type == VT_BSTR) SysFreeString(variant->bstrVal);
        if ((type == VT_UNKNOWN || type == VT_DISPATCH) && variant->punkVal != nullptr) {
            pixelfold::ReleaseOf(variant->punkVal);
        }
    } else if (!IsScalarType(type & ~VT_BYREF) && !IsOwningType(type & ~VT_BYREF)) {
        return DISP_E_BADVARTYPE;
    }
    variant->vt = VT_EMPTY;
    return S_OK;
}

HRESULT VariantCopy(VARIANT* destination, const VARIANT* source) {
    if (destination == nullptr || source == nullptr) return E_INVALIDARG;
    if (destination == source) return S_OK;
    const VARTYPE type = source->vt;
    const VARTYPE base = static_cast<VARTYPE>(type & ~VT_BYREF);
    if (!IsScalarType(base) && !IsOwningType(base)) return DISP_E_BADVARTYPE;
    const HRESULT cleared = VariantClear(destination);
    if (cleared < 0) return cleared;
    if (type == VT_BSTR && source->bstrVal != nullptr) {
        const BSTR copy = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(source->bstrVal),
                                                SysStringByteLen(source->bstrVal));
        if (copy == nullptr) return E_OUTOFMEMORY;
        *destination = *source;
        destination->bstrVal = copy;
        return S_OK;
    }
    *destination = *source;
    if ((type == VT_UNKNOWN || type == VT_DISPATCH) && source->punkVal != nullptr) {
        pixelfold::AddRefOf(source->punkVal);
    }
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, USHORT /*flags*/,
                          VARTYPE type) {
    if (destination == nullptr || source == nullptr) return E_INVALIDARG;
    if (type != VT_DATE) return DISP_E_TYPEMISMATCH;
    DATE date = 0.0;
    const HRESULT converted = ToDate(*source, &date);
    if (converted < 0) return converted;
    const HRESULT cleared = VariantClear(destination);
    if (cleared < 0) return cleared;
    destination->vt = VT_DATE;
    destination->date = date;
    return S_OK;
}

HRESULT VarUI4FromStr(const OLECHAR* text, LCID, ULONG, ULONG* out) {
    if (text == nullptr || out == nullptr) return E_INVALIDARG;
    const auto isBlank = [](OLECHAR c) { return c == u' ' || c == u'\t'; };
    const OLECHAR* p = text;
    while (isBlank(*p))
        ++p;
    bool negative = false;
    if (*p == u'-' || *p == u'+') negative = *p++ == u'-';
    unsigned base = 10;
    if (p[0] == u'&' && (p[1] == u'H' || p[1] == u'h')) {
        base = 16;
        p += 2;
    }
    std::uint64_t value = 0;
    bool digits = false;
    for (;; ++p) {
        unsigned digit = 0;
        if (*p >= u'0' && *p <= u'9') {
            digit = static_cast<unsigned>(*p - u'0');
        } else if (base == 16 && *p >= u'a' && *p <= u'f') {
            digit = static_cast<unsigned>(*p - u'a' + 10);
        } else if (base == 16 && *p >= u'A' && *p <= u'F') {
            digit = static_cast<unsigned>(*p - u'A' + 10);
        } else {
            break;
        }
        digits = true;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu) return DISP_E_OVERFLOW;
    }
    while (isBlank(*p))
        ++p;
    if (!digits || *p != 0) return DISP_E_TYPEMISMATCH;
    if (negative && value != 0) return DISP_E_OVERFLOW;
    *out = static_cast<ULONG>(value);
    return S_OK;
}
