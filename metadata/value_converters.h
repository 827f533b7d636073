// metadata/value_converters.h: the conversions between an image's property items and the
// VARIANTs that answer value requests, one pair per row of the property tag table.
#pragma once

#include "pixelfold/pixelfold.h"
#include "platform/property_item.h"

namespace pixelfold {

struct PropertyTagInfo;

// Item to variant: stores the value in `request` (its value and found flag only) and answers
// true, or answers false and leaves the request as it was. Numbers are answered only when the
// item holds exactly one; text is decoded from the ANSI code page with each line feed widened
// to carriage return and line feed. Running out of memory throws HrError(E_OUTOFMEMORY) and
// leaves the request as it was.
bool VariantFromItem(ValueRequest& request, const PropertyItem& item);
// As VariantFromItem, but EXIF date text ("2021:07:14 09:05:33") that is a valid calendar
// date-time is answered as VT_DATE.
bool VariantFromDateItem(ValueRequest& request, const PropertyItem& item);

// Variant to item, for a write path: a new item under the row's tag, or null. Only reads the
// request. Release a result with FreeItemFromVariant.
PropertyItem* NoItemFromVariant(const ValueRequest& request, const PropertyTagInfo& row) noexcept;
// The request's value as a date, as a 20-byte ASCII item of EXIF date text; null when the
// value cannot be read as a date or memory runs out.
PropertyItem* DateItemFromVariant(const ValueRequest& request, const PropertyTagInfo& row) noexcept;
void FreeItemFromVariant(PropertyItem* item) noexcept;

using ItemToVariantConverter = bool (*)(ValueRequest& request, const PropertyItem& item);
using VariantToItemConverter = PropertyItem* (*)(const ValueRequest& request,
                                                 const PropertyTagInfo& row) noexcept;

}  // namespace pixelfold
