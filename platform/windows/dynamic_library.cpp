// platform/windows/dynamic_library.cpp: LoadLibraryExW, and the system's OLE functions, all
// from System32.
#include "platform/dynamic_library.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "pixelfold/host.hpp"
#include "platform/windows/system_library.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace pixelfold {

void LoadLibrariesFromSystemOnly() noexcept {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The library by its full path, and what it imports from System32 only: a DLL planted in the
// program's folder or the current one is never mapped in its place. The loading is the public
// host layer's.
DynamicLibrary::DynamicLibrary(const std::string& path) {
    handle_ = host_detail::Load(path, error_);
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

namespace {

constexpr std::size_t kFixedInfoOffset = 40;  // after the header, the key and its padding
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr wchar_t kVersionInfoKey[] = L"VS_VERSION_INFO";

std::uint32_t LittleEndian32(const unsigned char* at) noexcept {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}

std::uint16_t LittleEndian16(const unsigned char* at) noexcept {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

}  // namespace

// The file version of the loaded library's own version resource, read from its mapped image
// (no file is opened, and no other DLL is needed), as "major.minor.patch" (and ".build" when
// that is not 0). The resource is a VS_VERSIONINFO block: its length, the length of its value,
// its type, the key "VS_VERSION_INFO" and, aligned to four bytes, the VS_FIXEDFILEINFO.
std::string DynamicLibrary::FileVersion() const {
    const HMODULE module = static_cast<HMODULE>(handle_);
    if (module == nullptr) return {};
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (found == nullptr) return {};
    const DWORD size = SizeofResource(module, found);
    const HGLOBAL loaded = LoadResource(module, found);
    const auto* block = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
    if (block == nullptr || size < kFixedInfoOffset + kFixedInfoSize) return {};
    if (LittleEndian16(block) > size || LittleEndian16(block + 2) < kFixedInfoSize) return {};
    for (std::size_t i = 0; i < std::size(kVersionInfoKey); ++i) {
        if (LittleEndian16(block + 6 + 2 * i) != kVersionInfoKey[i]) return {};
    }
    const unsigned char* fixed = block + kFixedInfoOffset;
    if (LittleEndian32(fixed) != kFixedInfoSignature) return {};
    const std::uint32_t fileVersionHigh = LittleEndian32(fixed + 8);
    const std::uint32_t fileVersionLow = LittleEndian32(fixed + 12);
    char version[24];
    const unsigned build = fileVersionLow & 0xFFFF;
    std::snprintf(version, sizeof version, build != 0 ? "%u.%u.%u.%u" : "%u.%u.%u",
                  unsigned{fileVersionHigh >> 16}, unsigned{fileVersionHigh & 0xFFFF},
                  unsigned{fileVersionLow >> 16}, build);
    return version;
}

// The system's OLE functions, from System32 (see system_library.h).
bool BindHostRuntime(const DynamicLibrary&, HostRuntime& runtime) {
    constexpr const wchar_t* kOleAutomation = L"oleaut32.dll";
    runtime.sysAllocString =
        SystemFunction<decltype(runtime.sysAllocString)>(kOleAutomation, "SysAllocString");
    runtime.sysFreeString =
        SystemFunction<decltype(runtime.sysFreeString)>(kOleAutomation, "SysFreeString");
    runtime.sysStringLen =
        SystemFunction<decltype(runtime.sysStringLen)>(kOleAutomation, "SysStringLen");
    runtime.variantClear =
        SystemFunction<decltype(runtime.variantClear)>(kOleAutomation, "VariantClear");
    runtime.coTaskMemFree =
        SystemFunction<decltype(runtime.coTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
    return runtime.sysAllocString && runtime.sysFreeString && runtime.sysStringLen &&
           runtime.variantClear && runtime.coTaskMemFree;
}

const char* PluginLibraryFileName() noexcept {
    return "pixelfold.dll";
}

void UseBinaryStandardInput() noexcept {
    _setmode(_fileno(stdin), _O_BINARY);
}

void UseBinaryStandardOutput() noexcept {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

std::string WhyFileCannotBeOpened(const std::string& path) {
    const std::wstring wide =
        std::filesystem::path(std::u8string(path.begin(), path.end())).wstring();
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::system_category().message(static_cast<int>(GetLastError()));
    }
    CloseHandle(file);
    return {};
}

bool StandardErrorIsTerminal() noexcept {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool StandardOutputIsTerminal() noexcept {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

std::vector<std::string> CommandLineArguments(int, char**) {
    static const auto split =
        SystemFunction<decltype(&CommandLineToArgvW)>(L"shell32.dll", "CommandLineToArgvW");
    int count = 0;
    wchar_t** arguments = split != nullptr ? split(GetCommandLineW(), &count) : nullptr;
    if (arguments == nullptr) throw std::runtime_error("the command line cannot be read");
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
