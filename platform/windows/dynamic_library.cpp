// platform/windows/dynamic_library.cpp: LoadLibraryW, and the system's OLE functions.
#include "platform/dynamic_library.h"

#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace pixelfold {

DynamicLibrary::DynamicLibrary(const std::string& path) {
    const std::wstring wide =
        std::filesystem::path(std::u8string(path.begin(), path.end())).wstring();
    handle_ = LoadLibraryW(wide.c_str());
    if (handle_ != nullptr) return;
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    error_ = "error " + std::to_string(code);
    if (text != nullptr) {
        const std::u8string message = std::filesystem::path(text).u8string();
        error_ += ": " + std::string(message.begin(), message.end());
        while (!error_.empty() && (error_.back() == '\n' || error_.back() == '\r'))
            error_.pop_back();
        LocalFree(text);
    }
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* DynamicLibrary::Find(const char* name) const noexcept {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

namespace {

// The full path of a loaded module; empty when it cannot be had.
std::wstring ModuleFileName(HMODULE module) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

}  // namespace

std::string DynamicLibrary::FilePath() const {
    if (handle_ == nullptr) return {};
    const std::u8string text =
        std::filesystem::path(ModuleFileName(static_cast<HMODULE>(handle_))).u8string();
    return std::string(text.begin(), text.end());
}

// The file version of the library's version resource, as "major.minor.patch" (and ".build"
// when that is not 0).
std::string DynamicLibrary::FileVersion() const {
    if (handle_ == nullptr) return {};
    const std::wstring path = ModuleFileName(static_cast<HMODULE>(handle_));
    if (path.empty()) return {};
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    if (size == 0) return {};
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return {};
    }
    char version[24];
    const unsigned build = LOWORD(fixed->dwFileVersionLS);
    std::snprintf(version, sizeof version, build != 0 ? "%u.%u.%u.%u" : "%u.%u.%u",
                  unsigned{HIWORD(fixed->dwFileVersionMS)},
                  unsigned{LOWORD(fixed->dwFileVersionMS)},
                  unsigned{HIWORD(fixed->dwFileVersionLS)}, build);
    return version;
}

bool BindHostRuntime(const DynamicLibrary&, HostRuntime& runtime) {
    runtime.sysAllocString = &SysAllocString;
    runtime.sysFreeString = &SysFreeString;
    runtime.sysStringLen = &SysStringLen;
    runtime.variantClear = &VariantClear;
    runtime.coTaskMemFree = &CoTaskMemFree;
    return true;
}

const char* PluginLibraryFileName() noexcept {
    return "pixelfold.dll";
}

bool StandardErrorIsTerminal() noexcept {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        const std::u8string text = std::filesystem::path(arguments[i]).u8string();
        out.emplace_back(text.begin(), text.end());
    }
    LocalFree(arguments);
    return out;
}

std::filesystem::path ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace pixelfold
