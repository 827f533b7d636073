// tests/support/hostile_files.h: the worst small files for the property item readers, each
// built to make a reader do as much work as it can for its size: entries that declare values
// outside the file or share one large value, directory pointers that loop or multiply, and
// many segments, chunks, blocks and frames. Each is a complete image that a host can open.
#pragma once

#include <string>
#include <vector>

#include "support/bytes.h"

namespace pixelfold::test {

struct HostileFile {
    std::string name;  // with the extension the plug-in reads it by
    Bytes bytes;
};

std::vector<HostileFile> HostileFiles();

}  // namespace pixelfold::test
