// tools/pixelfold/file_list.h: the files a run reads.
#pragma once

#include <string>
#include <vector>

namespace pixelfold::host {

// Each path as given when it is not a folder; each folder walked recursively for files whose
// extension (case of A to Z ignored) is one of `extensions`, in sorted order. UTF-8 paths.
std::vector<std::string> ListFiles(const std::vector<std::string>& paths,
                                   const std::vector<std::string>& extensions);

}  // namespace pixelfold::host
