// tools/pixelfold/file_list.cpp: expanding folders into the image files inside them.
#include "tools/pixelfold/file_list.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace pixelfold::host {
namespace {

namespace fs = std::filesystem;

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The extension without its dot, lower case.
std::string ExtensionOf(const fs::path& path) {
    std::string extension = LowerAscii(Utf8(path.extension()));
    if (!extension.empty()) extension.erase(0, 1);
    return extension;
}

fs::path FromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

std::vector<std::string> ListFiles(const std::vector<std::string>& paths,
                                   const std::vector<std::string>& extensions) {
    std::set<std::string> wanted;
    for (const std::string& e : extensions)
        wanted.insert(LowerAscii(e));
    std::vector<std::string> files;
    for (const std::string& given : paths) {
        std::error_code error;
        const fs::path path = FromUtf8(given);
        if (!fs::is_directory(path, error)) {
            files.push_back(given);
            continue;
        }
        std::vector<std::string> found;
        const auto options = fs::directory_options::skip_permission_denied;
        for (fs::recursive_directory_iterator it(path, options, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_regular_file(error) && wanted.contains(ExtensionOf(it->path()))) {
                found.push_back(Utf8(it->path()));
            }
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

}  // namespace pixelfold::host
