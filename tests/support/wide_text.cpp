// tests/support/wide_text.cpp: test paths in the platform's UTF-16 form.
#include "support/wide_text.h"

#include <string>

#include "platform/utf8.h"

namespace pixelfold::test {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

WideString WideFromPath(const std::filesystem::path& path) {
    const std::u16string text = path.u16string();
    return WideString(text.begin(), text.end());
}

std::string Utf8FromWide(WideStringView text) {
    return Utf8FromUtf16(text);
}

}  // namespace pixelfold::test
