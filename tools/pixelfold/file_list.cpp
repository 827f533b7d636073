// tools/pixelfold/file_list.cpp: expanding folders into the image files inside them, and
// reading lists of paths.
#include "tools/pixelfold/file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

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

// A folder's entry, as small as it can be: a folder of a hundred thousand images is listed
// whole before its first file is taken.
struct Entry {
    std::string key;  // the name, and a separator after a folder's
    bool folder;
};

// A folder's image files and subfolders, sorted by name with a separator after the names of
// folders: walked depth first in this order, the whole paths come out sorted. Links to folders
// are not followed.
std::vector<Entry> SortedEntries(const fs::path& folder, const std::set<std::string>& wanted) {
    std::vector<Entry> entries;
    std::error_code error;
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::directory_iterator it(folder, options, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        const bool isFolder = it->is_directory(ignored) && !it->is_symlink(ignored);
        if (!isFolder &&
            !(it->is_regular_file(ignored) && wanted.contains(ExtensionOf(it->path())))) {
            continue;
        }
        std::string key = Utf8(it->path().filename());
        if (isFolder) key += static_cast<char>(fs::path::preferred_separator);
        entries.push_back(Entry{std::move(key), isFolder});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.key < b.key; });
    return entries;
}

}  // namespace

FileWalker::FileWalker(const std::vector<std::string>& extensions) {
    for (const std::string& e : extensions)
        wanted_.insert(LowerAscii(e));
}

bool FileWalker::Walk(const std::string& given, const TakeFile& take) const {
    std::error_code error;
    const fs::path root = FromUtf8(given);
    if (!fs::is_directory(root, error)) return take(given);

    // Depth first, each folder's entries in order: that is the sorted order of whole paths.
    struct Level {
        fs::path folder;
        std::vector<Entry> entries;
        std::size_t next = 0;
    };
    std::vector<Level> stack;
    stack.push_back(Level{root, SortedEntries(root, wanted_)});
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry& entry = level.entries[level.next++];
        if (entry.folder) {
            // `level` moves when the stack grows.
            fs::path folder = level.folder / FromUtf8(entry.key.substr(0, entry.key.size() - 1));
            std::vector<Entry> entries = SortedEntries(folder, wanted_);
            stack.push_back(Level{std::move(folder), std::move(entries)});
        } else if (!take(Utf8(level.folder / FromUtf8(entry.key)))) {
            return false;
        }
    }
    return true;
}

bool ForEachListedPath(std::istream& list, char separator, const TakeFile& take) {
    for (std::string path; std::getline(list, path, separator);) {
        if (separator == '\n' && !path.empty() && path.back() == '\r') path.pop_back();
        if (!path.empty() && !take(path)) return false;
    }
    return true;
}

}  // namespace pixelfold::host
