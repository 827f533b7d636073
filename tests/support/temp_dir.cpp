// tests/support/temp_dir.cpp: a private folder for one test, removed with everything in it.
#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <stdexcept>

#include "support/wide_text.h"

namespace pixelfold::test {

TempDir::TempDir() {
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = base / ("pixelfold-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name,
                                     const std::vector<std::uint8_t>& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
    return file;
}

WideString TempDir::WidePath(const std::string& name) const {
    return WideFromPath(path_ / name);
}

}  // namespace pixelfold::test
