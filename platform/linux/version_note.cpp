// platform/linux/version_note.cpp: the library's version as an ELF note in its loaded image,
// where a host reads it (DynamicLibrary::FileVersion); Windows has the version resource.
#include <cstdint>

#include "pixelfold_version.h"

namespace {

struct VersionNote {
    std::uint32_t nameSize;
    std::uint32_t textSize;
    std::uint32_t type;
    char name[12];  // "Pixelfold" and its terminator, padded to four bytes
    char text[(sizeof PIXELFOLD_VERSION_TEXT + 3) / 4 * 4];
};

[[gnu::used, gnu::section(".note.pixelfold.version")]] alignas(4) const VersionNote kVersionNote = {
    sizeof "Pixelfold", sizeof PIXELFOLD_VERSION_TEXT, 1, "Pixelfold", PIXELFOLD_VERSION_TEXT};

}  // namespace
