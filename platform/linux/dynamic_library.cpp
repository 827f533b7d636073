// platform/linux/dynamic_library.cpp: dlopen, and the plug-in library's own exports of the
// string, variant and task-memory functions.
#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <unistd.h>

namespace pixelfold {

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

bool StandardErrorIsTerminal() noexcept {
    return isatty(STDERR_FILENO) == 1;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path ExecutablePath() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

}  // namespace pixelfold
