// tools/pixelfold/file_list.h: the files a run reads, found one at a time, so that reading
// can start while a slow folder is still being listed.
#pragma once

#include <functional>
#include <istream>
#include <set>
#include <string>
#include <vector>

namespace pixelfold::host {

// Takes a file; false stops the walk.
using TakeFile = std::function<bool(const std::string& path)>;

class FileWalker {
  public:
    // Folders are searched for files whose extension is one of `extensions` (case of A to Z
    // ignored).
    explicit FileWalker(const std::vector<std::string>& extensions);

    // `path` (UTF-8) as given when it is not a folder; a folder walked recursively, its files
    // in the sorted order of their paths. Only one folder's listing at a time per level of
    // depth is held. False when `take` stopped it.
    bool Walk(const std::string& path, const TakeFile& take) const;

  private:
    std::set<std::string> wanted_;
};

// Each path of a list, one per line (a carriage return before the line feed dropped) or, with
// `separator` '\0', ended by NUL bytes as `find -print0` writes them; empty entries are
// skipped. False when `take` stopped it.
bool ForEachListedPath(std::istream& list, char separator, const TakeFile& take);

}  // namespace pixelfold::host
