// tests/support/temp_dir.h: a private folder for one test, removed with everything in it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "probe/probed_image.h"

namespace pixelfold::test {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `bytes` to the file `name` in the folder and returns its full path.
    std::filesystem::path Write(const std::string& name,
                                const std::vector<std::uint8_t>& bytes) const;
    // The UTF-16 form of `name` in the folder, whether or not it exists.
    WideString WidePath(const std::string& name) const;

  private:
    std::filesystem::path path_;
};

}  // namespace pixelfold::test
