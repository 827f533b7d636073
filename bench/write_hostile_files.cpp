// bench/write_hostile_files.cpp: writes the worst files for the property item readers, and an
// ordinary camera JPEG to compare them with, into a folder.
//
//     write_hostile_files FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>

#include "support/camera_jpeg.h"
#include "support/hostile_files.h"

namespace {

bool Write(const std::filesystem::path& file, const pixelfold::test::Bytes& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_hostile_files FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    bool written = Write(folder / "camera.jpg", pixelfold::test::MakeCameraJpeg().bytes);
    for (const pixelfold::test::HostileFile& file : pixelfold::test::HostileFiles())
        written = Write(folder / file.name, file.bytes) && written;
    if (!written) std::cerr << "write_hostile_files: cannot write into " << folder << "\n";
    return written ? 0 : 1;
}
