// platform/linux/dynamic_library.cpp: dlopen, and the plug-in library's own exports of the
// string, variant and task-memory functions.
#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include <cstdint>
#include <cstring>

namespace pixelfold {

void LoadLibrariesFromSystemOnly() noexcept {}

void UseBinaryStandardInput() noexcept {}

void UseBinaryStandardOutput() noexcept {}

DynamicLibrary::DynamicLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) error_ = dlerror();
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* DynamicLibrary::Find(const char* name) const noexcept {
    return handle_ == nullptr ? nullptr : dlsym(handle_, name);
}

namespace {

// The loader's record of a loaded library (its file name and load address), or null.
const link_map* LinkMap(void* handle) noexcept {
    link_map* map = nullptr;
    if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
    return map;
}

}  // namespace

std::string DynamicLibrary::FilePath() const {
    const link_map* map = LinkMap(handle_);
    if (map == nullptr) return {};
    std::error_code error;
    const std::filesystem::path path = std::filesystem::canonical(map->l_name, error);
    return error ? std::string(map->l_name) : path.string();
}

namespace {

constexpr char kVersionNoteName[] = "Pixelfold";
constexpr std::uint32_t kVersionNoteType = 1;

struct VersionSearch {
    ElfW(Addr) base;
    std::string version;
};

std::uint32_t Word(const unsigned char* at) noexcept {
    std::uint32_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

constexpr std::size_t Padded(std::size_t size) noexcept {
    return (size + 3) & ~std::size_t{3};
}

// The version note among the notes in [at, end): name "Pixelfold", type 1, the version text.
std::string VersionInNotes(const unsigned char* at, const unsigned char* end) {
    constexpr std::size_t kHeader = 12;
    while (end - at >= static_cast<std::ptrdiff_t>(kHeader)) {
        const std::size_t nameSize = Word(at);
        const std::size_t textSize = Word(at + 4);
        const std::uint32_t type = Word(at + 8);
        const std::size_t available = static_cast<std::size_t>(end - at) - kHeader;
        if (Padded(nameSize) > available || Padded(textSize) > available - Padded(nameSize)) break;
        const unsigned char* name = at + kHeader;
        const unsigned char* text = name + Padded(nameSize);
        if (type == kVersionNoteType && nameSize == sizeof kVersionNoteName &&
            std::memcmp(name, kVersionNoteName, nameSize) == 0 && textSize > 0) {
            return std::string(reinterpret_cast<const char*>(text),
                               strnlen(reinterpret_cast<const char*>(text), textSize));
        }
        at = text + Padded(textSize);
    }
    return {};
}

int FindVersionNote(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<VersionSearch*>(data);
    if (info->dlpi_addr != search->base) return 0;
    for (ElfW(Half) i = 0; i < info->dlpi_phnum && search->version.empty(); ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_NOTE) continue;
        const auto* start =
            reinterpret_cast<const unsigned char*>(info->dlpi_addr + header.p_vaddr);
        search->version = VersionInNotes(start, start + header.p_memsz);
    }
    return 1;
}

}  // namespace

// Read from the version note the library carries in its loaded image (ELF has no version
// resource).
std::string DynamicLibrary::FileVersion() const {
    const link_map* map = LinkMap(handle_);
    if (map == nullptr) return {};
    VersionSearch search{map->l_addr, {}};
    dl_iterate_phdr(&FindVersionNote, &search);
    return search.version;
}

namespace {

template <class F>
bool Bind(const DynamicLibrary& library, const char* name, F& function) {
    function = reinterpret_cast<F>(library.Find(name));
    return function != nullptr;
}

}  // namespace

bool BindHostRuntime(const DynamicLibrary& plugin, HostRuntime& runtime) {
    return Bind(plugin, "SysAllocString", runtime.sysAllocString) &&
           Bind(plugin, "SysFreeString", runtime.sysFreeString) &&
           Bind(plugin, "SysStringLen", runtime.sysStringLen) &&
           Bind(plugin, "VariantClear", runtime.variantClear) &&
           Bind(plugin, "CoTaskMemFree", runtime.coTaskMemFree);
}

const char* PluginLibraryFileName() noexcept {
    return "libpixelfold.so";
}

std::string WhyFileCannotBeOpened(const std::string& path) {
    // Non-blocking, so that a FIFO does not wait for a writer.
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (file < 0) return std::generic_category().message(errno);
    close(file);
    return {};
}

bool StandardErrorIsTerminal() noexcept {
    return isatty(STDERR_FILENO) == 1;
}

bool StandardOutputIsTerminal() noexcept {
    return isatty(STDOUT_FILENO) == 1;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path ExecutablePath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

}  // namespace pixelfold
