// bench/read_floor.cpp: the floor for reading image headers: for each file listed (one path
// per line in the file named by the argument), open it, read 64 bytes, close it. Prints the
// seconds taken, the list already in memory.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: read_floor FILE-LIST\n";
        return 2;
    }
    std::vector<std::string> files;
    std::ifstream list(argv[1]);
    for (std::string line; std::getline(list, line);)
        files.push_back(line);
    const auto start = std::chrono::steady_clock::now();
    std::size_t read = 0;
    char buffer[64];
    for (const std::string& file : files) {
        std::FILE* f = std::fopen(file.c_str(), "rb");
        if (f == nullptr) continue;
        read += std::fread(buffer, 1, sizeof buffer, f);
        std::fclose(f);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::cout << elapsed.count() << "\n";
    return read > 0 ? 0 : 1;
}
