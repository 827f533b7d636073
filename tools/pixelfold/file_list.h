// tools/pixelfold/file_list.h: what a run reads, found one at a time in walk order, so that
// reading can start while a slow folder is still being listed; and what it passes over.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace pixelfold::host {

// One thing a walk found.
struct Found {
    enum class Kind {
        kFile,       // a file in a walked folder: read it
        kNamedFile,  // a path the user named that is no folder: read it (`message`: a note)
        kMissing,    // a path the user named that does not exist
        kWalkError,  // a folder that could not be listed, or an entry not examined: `message`
        kNote,       // a remark for standard error, in walk order: `message`
    };
    Kind kind = Kind::kFile;
    std::string path;
    std::string message;        // kNamedFile: a note on it, or empty
    bool accessDenied = false;  // kWalkError: the system refused access
};

// Takes what was found; false stops the walk.
using TakeFound = std::function<bool(Found)>;

// What walks passed over: files whose extension the plug-in does not serve (by extension,
// lower case, "" for none), and entries that are not regular files (FIFOs, sockets, devices).
struct Skipped {
    std::map<std::string, std::size_t> byExtension;
    std::size_t notRegular = 0;
};

class FileWalker {
  public:
    // Folders are searched for files whose extension is one of `extensions` (case of A to Z
    // ignored).
    explicit FileWalker(const std::vector<std::string>& extensions);

    // A path the user named (UTF-8): a folder walked recursively, its files in the sorted order
    // of their paths (only one listing per level of depth is held); anything else as named.
    // A folder that holds files but none to read gets a note. False when `take` stopped it.
    bool Walk(const std::string& path, const TakeFound& take);

    // Whether the plug-in serves the extension of `path`.
    bool Serves(const std::string& path) const;
    const Skipped& skipped() const { return skipped_; }

  private:
    std::vector<std::string> extensions_;
    std::set<std::string> wanted_;
    Skipped skipped_;
};

// Each path of a list, one per line (a carriage return before the line feed dropped) or, with
// `separator` '\0', ended by NUL bytes as `find -print0` writes them; empty entries are
// skipped. Returns why the list cannot be read as such (a NUL byte in a list of lines), or
// empty; stops early, with nothing to say, when `take` answers false.
std::string ForEachListedPath(std::istream& list, char separator,
                              const std::function<bool(const std::string&)>& take);

// A comma-separated list of the extensions: "bmp, pcx, jpg, gif and png".
std::string ExtensionList(const std::vector<std::string>& extensions);

}  // namespace pixelfold::host
