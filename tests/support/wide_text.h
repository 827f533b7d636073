// tests/support/wide_text.h: test paths in the platform's UTF-16 form.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "probe/probed_image.h"

namespace pixelfold::test {

// A path from UTF-8 text, as the corpus lists its files.
std::filesystem::path PathFromUtf8(std::string_view utf8);
WideString WideFromPath(const std::filesystem::path& path);
// UTF-16 text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(WideStringView text);

}  // namespace pixelfold::test
