// tools/pixelfold/main.cpp: the reference host. Loads the plug-in library and reads values
// from image files exactly as the host application does.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "pixelfold/property_names.h"
#include "platform/dynamic_library.h"
#include "platform/host_threads.h"
#include "platform/utf8.h"
#include "tools/pixelfold/file_list.h"
#include "tools/pixelfold/name_list.h"
#include "tools/pixelfold/ordered_reads.h"
#include "tools/pixelfold/plugin_session.h"
#include "tools/pixelfold/report.h"

namespace pixelfold::host {
namespace {

constexpr int kAllOpened = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageOrPlugin = 2;
constexpr int kInterrupted = 130;  // as a shell reports a program ended by SIGINT

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

// Logical processors, at most 8: more threads than that only wait for the same storage.
unsigned DefaultJobs() {
    const unsigned processors = std::thread::hardware_concurrency();
    return std::clamp(processors, 1u, 8u);
}

int Run(int argc, char** argv) {
    const std::filesystem::path here = ExecutablePath().parent_path();
    std::string plugin = Utf8(Installed(here, PluginLibraryFileName(), "../lib/pixelfold"));
    std::string nameList;
    std::string filesFrom;
    std::vector<std::string> paths;
    bool json = false;
    bool csv = false;
    bool nullSeparated = false;
    bool all = false;
    bool version = false;
    bool listNames = false;
    unsigned jobs = DefaultJobs();

    CLI::App app(
        "Reads width, height, colour depth and metadata from image files through the "
        "Pixelfold plug-in, as its host application does.",
        "pixelfold");
    app.add_flag("--version", version,
                 "Print this program's version and the plug-in file it loads with its version");
    app.add_flag("--list-names", listNames,
                 "Print every name the plug-in answers, with its tag, the standard's name of "
                 "the tag, its type and when it can be answered (docs/names.md), and stop");
    app.add_option("--plugin", plugin, "The plug-in library to load")->capture_default_str();
    app.add_option("--names", nameList,
                   "Names to ask for, comma-separated, in this order (default: Width, Height, "
                   "Color Depth and the 217 metadata names)");
    app.add_flag("--all", all, "Also list the names the plug-in did not answer");
    CLI::Option* jsonOption = app.add_flag("--json", json, "One JSON object per file (JSON Lines)");
    app.add_flag("--csv", csv,
                 "CSV (RFC 4180): a header row, then one row per file with a cell per name "
                 "and an error column")
        ->excludes(jsonOption);
    app.add_option("-j,--jobs", jobs,
                   "Files read at the same time (default: the logical processors, at most 8)")
        ->check(CLI::Range(1u, 1024u))
        ->capture_default_str();
    CLI::Option* filesFromOption =
        app.add_option("--files-from", filesFrom,
                       "Also read the paths listed in FILE, one per line (- for standard input)");
    app.add_flag("--null", nullSeparated,
                 "The list of --files-from is separated by NUL bytes (find -print0)")
        ->needs(filesFromOption);
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
    const OutputMode mode = csv ? OutputMode::kCsv : json ? OutputMode::kJson : OutputMode::kText;
    if (listNames) {
        if (mode == OutputMode::kCsv) UseBinaryStandardOutput();
        std::cout << NameList(mode);
        return kAllOpened;
    }
    const std::vector<std::string> names = nameList.empty() ? DefaultNames() : Split(nameList);
    if (paths.empty() && filesFrom.empty()) {
        paths.push_back(Utf8(Installed(here, "sample.jpg", "../share/pixelfold")));
        std::cerr << "pixelfold: no PATH given; reading the sample image " << paths.back() << "\n";
    }
    std::ifstream listFile;
    if (!filesFrom.empty() && filesFrom != "-") {
        listFile.open(std::filesystem::path(std::u8string(filesFrom.begin(), filesFrom.end())),
                      std::ios::binary);
        if (!listFile) {
            std::cerr << "pixelfold: cannot read the list " << filesFrom << "\n";
            return kUsageOrPlugin;
        }
    }
    if (filesFrom == "-") UseBinaryStandardInput();
    std::istream* list = filesFrom.empty() ? nullptr : filesFrom == "-" ? &std::cin : &listFile;

    PluginSession session(plugin, names);
    if (!session.error().empty()) {
        std::cerr << "pixelfold: " << session.error() << "\n";
        return kUsageOrPlugin;
    }
    const Report report(session, mode, all);
    // CSV rows end in CR LF themselves.
    if (mode == OutputMode::kCsv) UseBinaryStandardOutput();
    std::cout << report.Header();
    const FileWalker walker(session.extensions());
    const char separator = nullSeparated ? '\0' : '\n';
    CatchInterrupt();
    const RunOutcome outcome = ReadInOrder(session, report, jobs, [&](const TakeFile& take) {
        for (const std::string& path : paths) {
            if (!walker.Walk(path, take)) return;
        }
        if (list != nullptr) {
            ForEachListedPath(*list, separator,
                              [&](const std::string& path) { return walker.Walk(path, take); });
        }
    });
    if (outcome.interrupted) {
        // The walk may still be running on its own thread: end here, without unwinding.
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(kInterrupted);
    }
    return outcome.anyFailed ? kSomeFailed : kAllOpened;
}

}  // namespace
}  // namespace pixelfold::host

int main(int argc, char** argv) {
    pixelfold::LoadLibrariesFromSystemOnly();
    std::ios::sync_with_stdio(false);  // output goes through std::cout and std::cerr only
    // The list of --files-from is read on the walking thread while another writes std::cout,
    // which reading std::cin would otherwise flush.
    std::cin.tie(nullptr);
    try {
        return pixelfold::host::Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "pixelfold: " << e.what() << "\n";
        return 2;
    }
}
