// fuzz/plugin.cpp: the whole plug-in as a host drives it, through the library's exports only.
// The input becomes a file (the first byte picks its extension: bmp, pcx, gif, png or jpg);
// the format object opens a navigator on it, which is asked every name twice (the property
// items loaded once, then read again), and is released.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "pixelfold/pixelfold.h"
#include "pixelfold/property_names.h"
#include "platform/com_calls.h"
#include "platform/dynamic_library.h"
#include "platform/utf8.h"

namespace {

using namespace pixelfold;

// The library, its format object and the request array, made once per process.
struct Plugin {
    Plugin() : library(PIXELFOLD_LIBRARY) {
        const auto getClassObject =
            reinterpret_cast<DllGetClassObjectFunction>(library.Find("DllGetClassObject"));
        if (getClassObject == nullptr || !BindHostRuntime(library, runtime)) std::abort();
        void* factory = nullptr;
        void* object = nullptr;
        if (FAILED(getClassObject(CLSID_ImageFormat, IID_IClassFactory, &factory)) ||
            FAILED(CreateInstanceOf(factory, nullptr, IID_IVltFileFormat, &object))) {
            std::abort();
        }
        ReleaseOf(factory);
        format = static_cast<IVltFileFormat*>(object);

        std::vector<const OLECHAR*> names = {WTEXT("Width"), WTEXT("Height"), WTEXT("Color Depth")};
        for (const PropertyTagRow& row : kPropertyTagRows)
            names.push_back(row.name);
        for (const OLECHAR* name : names) {
            ValueRequest request{};
            request.name = runtime.sysAllocString(name);
            request.group = runtime.sysAllocString(WTEXT("Image"));
            requests.push_back(request);
        }
        std::random_device random;
        file =
            std::filesystem::temp_directory_path() / ("pixelfold-fuzz-" + std::to_string(random()));
    }
    // Gives back everything the requests hold, the answers to the last input included, so that
    // a leak reported at exit is the plug-in's.
    ~Plugin() {
        for (ValueRequest& request : requests) {
            runtime.sysFreeString(request.name);
            runtime.sysFreeString(request.group);
            runtime.variantClear(&request.value);
        }
        if (format != nullptr) ReleaseOf(format);
    }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    DynamicLibrary library;
    HostRuntime runtime;
    IVltFileFormat* format = nullptr;
    std::vector<ValueRequest> requests;
    std::filesystem::path file;  // without its extension
};

void AskEveryName(Plugin& plugin, IVltFileNavigator* navigator) {
    for (ValueRequest& request : plugin.requests) {
        plugin.runtime.variantClear(&request.value);
        request.found = 0;
        request.attributes = 0;
    }
    (void)navigator->lpVtbl->GetValues(navigator, 0, 0, 0,
                                       static_cast<std::int32_t>(plugin.requests.size()),
                                       plugin.requests.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Plugin plugin;
    if (size == 0) return 0;
    // The header readers' order (fuzz/header_readers.cpp), so that seeds serve both targets.
    constexpr const char* kExtensions[] = {".bmp", ".pcx", ".gif", ".png", ".jpg"};
    std::filesystem::path path = plugin.file;
    path += kExtensions[data[0] % std::size(kExtensions)];
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    const std::u8string utf8 = path.u8string();
    const WideString widePath = Utf16FromFileName(std::string(utf8.begin(), utf8.end()));
    IVltFileNavigator* navigator = nullptr;
    if (SUCCEEDED(
            plugin.format->lpVtbl->OpenNavigator(plugin.format, widePath.c_str(), 0, &navigator))) {
        AskEveryName(plugin, navigator);
        AskEveryName(plugin, navigator);
        ReleaseOf(navigator);
    }
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return 0;
}
