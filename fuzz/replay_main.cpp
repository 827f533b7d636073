// fuzz/replay_main.cpp: runs a fuzz target over saved inputs without the fuzzer, so that every
// build (g++, Windows, sanitizers) replays the inputs that once crashed, hung or leaked. Each
// argument is a file or a folder of files; the run fails if a folder is missing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                  bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::set<std::filesystem::path> files;  // sorted: the same order on every run
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path given(argv[i]);
        if (std::filesystem::is_regular_file(given)) {
            files.insert(given);
        } else if (std::filesystem::is_directory(given)) {
            for (const auto& entry : std::filesystem::directory_iterator(given)) {
                const bool hidden = entry.path().filename().string().starts_with('.');
                if (entry.is_regular_file() && !hidden) files.insert(entry.path());
            }
        } else {
            std::fprintf(stderr, "no such file or folder: %s\n", argv[i]);
            return 2;
        }
    }
    for (const std::filesystem::path& file : files)
        Replay(file);
    std::printf("%zu passed, 0 failed\n", files.size());
    return 0;
}
