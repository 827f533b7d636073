// fuzz/date_text.cpp: feeds arbitrary text to the EXIF date text scan (with the calendar check
// and the formatting back) and to the platform's text-to-date variant conversion.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "metadata/exif_date_text.h"
#include "platform/platform.h"
#include "platform/unique.h"
#include "platform/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pixelfold;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SYSTEMTIME fields{};
    DATE date = 0;
    if (ScanExifDateText(text, fields) && ValidExifDate(fields, date)) {
        (void)FormatExifDateText(fields);
    }

    const WideString wide = Utf16FromUtf8(text);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    VARIANT converted;
    VariantInit(&converted);
    (void)VariantChangeType(&converted, &source, 0, VT_DATE);
    VariantClear(&converted);
    VariantClear(&source);
    return 0;
}
