// tools/pixelfold/file_list.cpp: expanding folders into the image files inside them, and
// reading lists of paths.
#include "tools/pixelfold/file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "tools/pixelfold/system_text.h"

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

// One folder's listing: its image files and subfolders, sorted by name with a separator after
// the names of folders (walked depth first in this order, the whole paths come out sorted), and
// how many files it held. Links to folders are not followed.
struct Listing {
    std::vector<Entry> entries;
    std::size_t files = 0;  // entries that are not folders, read or not
    std::string error;      // why the folder could not be listed (whole or in part)
    bool accessDenied = false;
};

// Lists `folder`, counting in `skipped` what it passes over.
Listing ListFolder(const fs::path& folder, const std::set<std::string>& wanted, Skipped& skipped) {
    Listing listing;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const bool isFolder = it->is_directory(ignored) && !it->is_symlink(ignored);
        if (!isFolder) ++listing.files;
        if (!isFolder && !it->is_regular_file(ignored)) {
            ++skipped.notRegular;
            continue;
        }
        if (!isFolder && !wanted.contains(ExtensionOf(it->path()))) {
            ++skipped.byExtension[ExtensionOf(it->path())];
            continue;
        }
        std::string key = Utf8(it->path().filename());
        if (isFolder) key += static_cast<char>(fs::path::preferred_separator);
        listing.entries.push_back(Entry{std::move(key), isFolder});
    }
    if (error) {
        listing.error = SystemReason(error);
        listing.accessDenied = error == std::errc::permission_denied;
    }
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const Entry& a, const Entry& b) { return a.key < b.key; });
    return listing;
}

}  // namespace

FileWalker::FileWalker(const std::vector<std::string>& extensions) : extensions_(extensions) {
    for (const std::string& e : extensions)
        wanted_.insert(LowerAscii(e));
}

bool FileWalker::Serves(const std::string& path) const {
    return wanted_.contains(ExtensionOf(FromUtf8(path)));
}

bool FileWalker::Walk(const std::string& given, const TakeFound& take) {
    std::error_code error;
    const fs::path root = FromUtf8(given);
    const fs::file_status status = fs::status(root, error);
    if (!fs::exists(status)) {
        // A path whose folder cannot be searched is not known to be missing: the plug-in
        // tries it and the system's reason goes with its answer.
        const bool missing = !error || error == std::errc::no_such_file_or_directory ||
                             error == std::errc::not_a_directory;
        return take(Found{missing ? Found::Kind::kMissing : Found::Kind::kNamedFile, given, {}});
    }
    if (!fs::is_directory(status)) {
        std::string note;
        if (!Serves(given)) {
            note = given +
                   ": Width, Height and Color Depth are not read for this extension (they "
                   "show as 0); the plug-in reads them from " +
                   ExtensionList(extensions_) + " files";
        }
        return take(Found{Found::Kind::kNamedFile, given, note});
    }

    // Depth first, each folder's entries in order: that is the sorted order of whole paths.
    struct Level {
        fs::path folder;
        Listing listing;
        std::size_t next = 0;
    };
    std::size_t filesSeen = 0;
    std::size_t filesTaken = 0;
    std::vector<Level> stack;
    const auto enter = [&](fs::path folder) {
        Listing listing = ListFolder(folder, wanted_, skipped_);
        filesSeen += listing.files;
        if (!listing.error.empty() && !take(Found{Found::Kind::kWalkError, Utf8(folder),
                                                  listing.error, listing.accessDenied}))
            return false;
        stack.push_back(Level{std::move(folder), std::move(listing)});
        return true;
    };
    if (!enter(root)) return false;
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.listing.entries.size()) {
            stack.pop_back();
            continue;
        }
        const Entry& entry = level.listing.entries[level.next++];
        if (entry.folder) {
            // `level` moves when the stack grows.
            if (!enter(level.folder / FromUtf8(entry.key.substr(0, entry.key.size() - 1))))
                return false;
        } else {
            ++filesTaken;
            if (!take(Found{Found::Kind::kFile, Utf8(level.folder / FromUtf8(entry.key)), {}}))
                return false;
        }
    }
    if (filesSeen > 0 && filesTaken == 0) {
        return take(Found{Found::Kind::kNote, given,
                          given + ": " + std::to_string(filesSeen) +
                              (filesSeen == 1 ? " file" : " files") +
                              ", none with an extension the plug-in reads (" +
                              ExtensionList(extensions_) + "); name a file to read it anyway"});
    }
    return true;
}

std::string ForEachListedPath(std::istream& list, char separator,
                              const std::function<bool(const std::string&)>& take) {
    for (std::string path; std::getline(list, path, separator);) {
        if (separator == '\n' && path.find('\0') != std::string::npos) {
            return "the list holds a NUL byte: its paths end with NUL bytes (find -print0); "
                   "add --null";
        }
        if (separator == '\n' && !path.empty() && path.back() == '\r') path.pop_back();
        if (!path.empty() && !take(path)) return {};
    }
    return {};
}

std::string ExtensionList(const std::vector<std::string>& extensions) {
    std::string out;
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        if (i > 0) out += i + 1 == extensions.size() ? " and " : ", ";
        out += extensions[i];
    }
    return out;
}

}  // namespace pixelfold::host
