// tools/pixelfold/system_text.h: the system's reasons, as words that fit in a message.
#pragma once

#include <string>
#include <system_error>

namespace pixelfold::host {

// "permission denied": the system's text with its first letter in lower case and no full stop
// or line break at the end.
inline std::string SystemReason(std::string text) {
    while (!text.empty() &&
           (text.back() == '.' || text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && !(text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

inline std::string SystemReason(const std::error_code& error) {
    return SystemReason(error.message());
}

}  // namespace pixelfold::host
