// tools/pixelfold/main.cpp: the reference host. Loads the plug-in library and reads values
// from image files exactly as the host application does.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "pixelfold/property_names.h"
#include "platform/dynamic_library.h"
#include "platform/utf8.h"
#include "tools/pixelfold/file_list.h"
#include "tools/pixelfold/plugin_session.h"
#include "tools/pixelfold/progress.h"
#include "tools/pixelfold/report.h"

namespace pixelfold::host {
namespace {

constexpr int kAllOpened = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageOrPlugin = 2;

std::vector<std::string> DefaultNames() {
    std::vector<std::string> names = {"Width", "Height", "Color Depth"};
    for (const PropertyTagRow& row : kPropertyTagRows)
        names.push_back(Utf8FromUtf16(row.name));
    return names;
}

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = list.find(',', start)) != std::string::npos;
         start = comma + 1) {
        parts.push_back(list.substr(start, comma - start));
    }
    parts.push_back(list.substr(start));
    return parts;
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A file installed with the program: beside it (a build folder, the Windows packages) or, in
// an installation under a root such as /usr, in `installedFolder` relative to the program's
// folder. The first that exists, or else the one beside the program.
std::filesystem::path Installed(const std::filesystem::path& here, const char* name,
                                const char* installedFolder) {
    const std::filesystem::path beside = here / name;
    const std::filesystem::path installed = (here / installedFolder / name).lexically_normal();
    std::error_code error;
    if (!std::filesystem::exists(beside, error) && std::filesystem::exists(installed, error))
        return installed;
    return beside;
}

// "pixelfold X.Y.Z", then the plug-in file that `plugin` loads and its version.
int PrintVersions(const std::string& plugin) {
    std::cout << "pixelfold " << PIXELFOLD_VERSION << "\n";
    const DynamicLibrary library(plugin);
    if (!library.loaded()) {
        std::cerr << "pixelfold: cannot load " << plugin << ": " << library.error() << "\n";
        return kUsageOrPlugin;
    }
    const std::string version = library.FileVersion();
    std::cout << "plug-in " << library.FilePath() << " "
              << (version.empty() ? "(no version)" : version) << "\n";
    return kAllOpened;
}

int Run(int argc, char** argv) {
    const std::filesystem::path here = ExecutablePath().parent_path();
    std::string plugin = Utf8(Installed(here, PluginLibraryFileName(), "../lib/pixelfold"));
    std::string nameList;
    std::vector<std::string> paths;
    bool json = false;
    bool all = false;
    bool version = false;

    CLI::App app(
        "Reads width, height, colour depth and metadata from image files through the "
        "Pixelfold plug-in, as its host application does.",
        "pixelfold");
    app.add_flag("--version", version,
                 "Print this program's version and the plug-in file it loads with its version");
    app.add_option("--plugin", plugin, "The plug-in library to load")->capture_default_str();
    app.add_option("--names", nameList,
                   "Names to ask for, comma-separated, in this order (default: Width, Height, "
                   "Color Depth and the 217 metadata names)");
    app.add_flag("--all", all, "Also list the names the plug-in did not answer");
    app.add_flag("--json", json, "One JSON object per file (JSON Lines)");
    app.add_option("PATH", paths, "Image files or folders (walked recursively)");
    std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    arguments.erase(arguments.begin());
    std::reverse(arguments.begin(), arguments.end());  // the order CLI11 takes
    try {
        app.parse(arguments);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kAllOpened : kUsageOrPlugin;
    }
    if (version) return PrintVersions(plugin);
    const std::vector<std::string> names = nameList.empty() ? DefaultNames() : Split(nameList);
    if (paths.empty()) {
        paths.push_back(Utf8(Installed(here, "sample.jpg", "../share/pixelfold")));
        std::cerr << "pixelfold: no PATH given; reading the sample image " << paths.back() << "\n";
    }

    PluginSession session(plugin, names);
    if (!session.error().empty()) {
        std::cerr << "pixelfold: " << session.error() << "\n";
        return kUsageOrPlugin;
    }
    const std::vector<std::string> files = ListFiles(paths, session.extensions());
    const Report report(session, json, all);
    int status = kAllOpened;
    std::vector<Answer> answers;
    {
        Progress progress(files.size());
        for (const std::string& file : files) {
            const HRESULT hr = session.Read(file, answers);
            if (SUCCEEDED(hr)) {
                report.Values(file, answers);
            } else {
                report.Failure(file, hr);
                status = kSomeFailed;
            }
            progress.FileDone();
        }
    }
    return status;
}

}  // namespace
}  // namespace pixelfold::host

int main(int argc, char** argv) {
    pixelfold::LoadLibrariesFromSystemOnly();
    std::ios::sync_with_stdio(false);  // output goes through std::cout and std::cerr only
    try {
        return pixelfold::host::Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "pixelfold: " << e.what() << "\n";
        return 2;
    }
}
