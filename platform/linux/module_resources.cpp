// platform/linux/module_resources.cpp: module file names and the resources compiled into the
// calling binary.
#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "platform/ascii_text.h"
#include "platform/linux/linked_resources.h"
#include "platform/linux/utf16.h"
#include "platform/platform.h"
#include "platform/utf8.h"
#include "platform/wide_string.h"

namespace pixelfold {

// A binary without a resource script has no resources; the generated source overrides this.
__attribute__((weak)) std::span<const LinkedResource> LinkedResources() noexcept {
    return {};
}

namespace {

// The handle of the binary that holds this code: where it is loaded.
HMODULE OwnModule() noexcept {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&OwnModule), &info) == 0) return nullptr;
    return info.dli_fbase;
}

// Where the program itself is loaded: the first object the dynamic linker lists.
const void* ProgramBase() noexcept {
    const void* base = nullptr;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* out) {
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type != PT_LOAD) continue;
                *static_cast<const void**>(out) =
                    reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
                break;
            }
            return 1;
        },
        &base);
    return base;
}

// The file behind a module handle, or empty when there is none.
std::string ModulePath(HMODULE module) {
    Dl_info info{};
    if (module != nullptr) {
        if (dladdr(module, &info) == 0 || info.dli_fbase != module) return {};
    }
    if (module == nullptr || module == ProgramBase() || info.dli_fname == nullptr) {
        // The program: the dynamic linker names it as it was started, not by its full path.
        char buffer[4096];
        const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
        return std::string(buffer, static_cast<std::size_t>(length));
    }
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved) == nullptr) return {};
    return resolved;
}

}  // namespace
}  // namespace pixelfold

using namespace pixelfold;

DWORD GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size) {
    std::string path;
    WideString wide;
    try {
        path = ModulePath(module);
        if (!path.empty()) wide = Utf16FromFileName(path);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (path.empty()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (wide.size() >= size) {
        std::copy_n(wide.begin(), size - 1, name);
        name[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(wide.begin(), wide.end(), name);
    name[wide.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(wide.size());
}

HMODULE LoadLibraryExW(LPCWSTR path, HANDLE, DWORD flags) {
    constexpr DWORD dataFile = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE |
                               LOAD_LIBRARY_AS_IMAGE_RESOURCE;
    if (path == nullptr || (flags & dataFile) == 0 || (flags & ~dataFile) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::optional<std::string> name;
    std::string ownPath;
    const HMODULE own = OwnModule();
    try {
        name = platform::FileNameFromUtf16(path);
        ownPath = ModulePath(own);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    struct stat wanted {};
    if (!name || stat(name->c_str(), &wanted) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    struct stat ownFile {};
    if (ownPath.empty() || stat(ownPath.c_str(), &ownFile) != 0 ||
        ownFile.st_dev != wanted.st_dev || ownFile.st_ino != wanted.st_ino) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    return own;
}

BOOL FreeLibrary(HMODULE module) {
    if (module != OwnModule()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (module != nullptr && module != OwnModule()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    // Types given by number are not among the linked resources, and names are numbers.
    if (type == nullptr || IS_INTRESOURCE(type) || name == nullptr || !IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    const auto id = static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(name));
    bool typeFound = false;
    for (const LinkedResource& resource : LinkedResources()) {
        if (!EqualsIgnoringAsciiCase(resource.type, type)) continue;
        typeFound = true;
        if (resource.id == id) return &resource;
    }
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    if (resource == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return static_cast<const LinkedResource*>(resource)->data;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    if (resource == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<const LinkedResource*>(resource)->size;
}

const void* LockResource(HGLOBAL data) {
    return data;
}
