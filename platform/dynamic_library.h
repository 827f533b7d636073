// platform/dynamic_library.h: what a host of the plug-in needs from the system: loading a
// library at run time, the functions for what crosses the plug-in's interfaces, and whether
// standard error is a terminal.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pixelfold {

// Makes every library the program loads from now on, and what those import, come from the
// system's own folder (on Windows; elsewhere the loader's paths are the system's already).
// Called first thing, before any library is loaded.
void LoadLibrariesFromSystemOnly() noexcept;

// A library loaded at run time, unloaded when this is destroyed.
class DynamicLibrary {
  public:
    // Loads the library at `path` (UTF-8; made absolute), its own imports from the system's
    // folder only on Windows. When that fails, `loaded()` is false and `error()`
    // says why.
    explicit DynamicLibrary(const std::string& path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool loaded() const noexcept { return handle_ != nullptr; }
    const std::string& error() const noexcept { return error_; }
    // The exported symbol `name`, or null.
    void* Find(const char* name) const noexcept;
    // The full path (UTF-8) of the file that was loaded; empty when nothing was.
    std::string FilePath() const;
    // The version the loaded file declares ("1.2.3"), or empty when it declares none.
    std::string FileVersion() const;

  private:
    void* handle_ = nullptr;
    std::string error_;
};

// The string, variant and task-memory functions for what crosses the interfaces: the system's
// on Windows, the plug-in library's own exports elsewhere.
struct HostRuntime {
    BSTR (*sysAllocString)(const OLECHAR*) = nullptr;
    void (*sysFreeString)(BSTR) = nullptr;
    UINT (*sysStringLen)(BSTR) = nullptr;
    HRESULT (*variantClear)(VARIANT*) = nullptr;
    void (*coTaskMemFree)(void*) = nullptr;
};

// False when one of them cannot be found.
bool BindHostRuntime(const DynamicLibrary& plugin, HostRuntime& runtime);

// The file name of the plug-in library as built beside a host program.
const char* PluginLibraryFileName() noexcept;

bool StandardErrorIsTerminal() noexcept;
bool StandardOutputIsTerminal() noexcept;

// Why the file at `path` (UTF-8) cannot be opened for reading, in the system's words ("Permission
// denied"); empty when it can be.
std::string WhyFileCannotBeOpened(const std::string& path);

// Standard input and output as bytes, with no translation of line ends or end-of-file marks
// (Windows' C run time translates them by default; elsewhere they are bytes already).
void UseBinaryStandardInput() noexcept;
void UseBinaryStandardOutput() noexcept;

// The program's arguments as UTF-8, the program name first (Windows hands `main` the ANSI
// code page; the command line itself is UTF-16).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// The running program's own file.
std::filesystem::path ExecutablePath();

}  // namespace pixelfold
