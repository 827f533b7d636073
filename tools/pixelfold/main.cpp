// tools/pixelfold/main.cpp: the reference host. Loads the plug-in library and reads values
// from image files exactly as the host application does.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/host_threads.h"
#include "platform/utf8.h"
#include "tools/pixelfold/file_list.h"
#include "tools/pixelfold/name_choice.h"
#include "tools/pixelfold/name_list.h"
#include "tools/pixelfold/ordered_reads.h"
#include "tools/pixelfold/plugin_session.h"
#include "tools/pixelfold/report.h"
#include "tools/pixelfold/system_text.h"

namespace pixelfold::host {
namespace {

constexpr int kAllOpened = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageOrPlugin = 2;
constexpr int kInterrupted = 130;  // as a shell reports a program ended by SIGINT

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

// -j's value: a whole number from 1 to 1024.
bool ParseJobs(const std::string& text, unsigned& jobs) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    jobs = static_cast<unsigned>(std::stoul(text));
    return jobs >= 1 && jobs <= 1024;
}

// "12 files read, 1 could not be read, 3 skipped (2 .txt, 1 not a regular file), 1.2 s".
std::string SummaryLine(const RunOutcome& outcome, const Skipped& skipped, double seconds) {
    const auto count = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::size_t skippedFiles = skipped.notRegular;
    std::string reasons;
    for (const auto& [extension, n] : skipped.byExtension) {
        skippedFiles += n;
        reasons += (reasons.empty() ? "" : ", ") + std::to_string(n) + " " +
                   (extension.empty() ? std::string("without extension") : "." + extension);
    }
    if (skipped.notRegular > 0) {
        reasons += (reasons.empty() ? "" : ", ") +
                   count(skipped.notRegular, "not a regular file", "not regular files");
    }
    char time[32];
    std::snprintf(time, sizeof time, "%.1f s", seconds);
    return count(outcome.filesRead, "file read", "files read") + ", " +
           std::to_string(outcome.failures) + " could not be read, " +
           std::to_string(skippedFiles) + " skipped" +
           (reasons.empty() ? std::string() : " (" + reasons + ")") + ", " + time;
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
    bool summary = false;
    std::string jobsText = std::to_string(DefaultJobs());

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
    CLI::Option* namesOption =
        app.add_option("--names", nameList,
                       "Names to ask for, comma-separated, in this order (default: Width, "
                       "Height, Color Depth and the 217 metadata names; --list-names lists "
                       "them, with the standard's names of their tags, which are taken too)");
    app.add_flag("--all", all, "Also list the names the plug-in did not answer");
    CLI::Option* jsonOption = app.add_flag("--json", json, "One JSON object per file (JSON Lines)");
    app.add_flag("--csv", csv,
                 "CSV (RFC 4180): a header row, then one row per file with a cell per name "
                 "and an error column")
        ->excludes(jsonOption);
    app.add_option("-j,--jobs", jobsText,
                   "Files read at the same time, 1 to 1024 (default: the logical processors, at "
                   "most 8)")
        ->capture_default_str();
    app.add_flag("--summary", summary,
                 "End with a line of how many files were read, could not be read or were "
                 "skipped, however short the run (on a terminal, runs over a second do)");
    CLI::Option* filesFromOption =
        app.add_option("--files-from", filesFrom,
                       "Also read the paths listed in FILE, one per line (- for standard input)");
    app.add_flag("--null", nullSeparated,
                 "The list of --files-from is separated by NUL bytes (find -print0)")
        ->needs(filesFromOption);
    app.add_option("PATH", paths, "Image files or folders (walked recursively)");
    // A Windows path may begin with '/' (a root-relative path): only the options above are
    // options.
    app.allow_windows_style_options(false);
    std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    arguments.erase(arguments.begin());
    std::reverse(arguments.begin(), arguments.end());  // the order CLI11 takes
    try {
        app.parse(arguments);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e) == 0 ? kAllOpened : kUsageOrPlugin;
    } catch (const CLI::ParseError& e) {
        std::cerr << "pixelfold: " << e.what() << "\n"
                  << "Run 'pixelfold --help' for the options.\n";
        return kUsageOrPlugin;
    }
    unsigned jobs = 0;
    if (!ParseJobs(jobsText, jobs)) {
        std::cerr << "pixelfold: -j/--jobs: '" << jobsText
                  << "' is not a number of files from 1 to 1024\n";
        return kUsageOrPlugin;
    }
    if (version) return PrintVersions(plugin);
    const OutputMode mode = csv ? OutputMode::kCsv : json ? OutputMode::kJson : OutputMode::kText;
    if (listNames) {
        if (mode == OutputMode::kCsv) UseBinaryStandardOutput();
        std::cout << NameList(mode);
        return kAllOpened;
    }
    const NameChoice names = namesOption->count() > 0 ? ChooseNames(nameList) : AllNames();
    for (const std::string& error : names.errors)
        std::cerr << "pixelfold: " << error << "\n";
    if (!names.errors.empty()) return kUsageOrPlugin;
    if (paths.empty() && filesFrom.empty()) {
        paths.push_back(Utf8(Installed(here, "sample.jpg", "../share/pixelfold")));
        std::cerr << "pixelfold: no PATH given; reading the sample image " << paths.back() << "\n";
    }
    std::ifstream listFile;
    if (!filesFrom.empty() && filesFrom != "-") {
        listFile.open(std::filesystem::path(std::u8string(filesFrom.begin(), filesFrom.end())),
                      std::ios::binary);
        if (!listFile) {
            const std::string why = WhyFileCannotBeOpened(filesFrom);
            std::cerr << "pixelfold: --files-from: cannot read the list " << filesFrom << ": "
                      << (why.empty() ? "it cannot be opened" : SystemReason(why)) << "\n";
            return kUsageOrPlugin;
        }
    }
    if (filesFrom == "-") UseBinaryStandardInput();
    std::istream* list = filesFrom.empty() ? nullptr : filesFrom == "-" ? &std::cin : &listFile;

    PluginSession session(plugin, names.shown, names.asked);
    if (!session.error().empty()) {
        std::cerr << "pixelfold: " << session.error() << "\n";
        return kUsageOrPlugin;
    }
    const Report report(session, mode, all);
    // CSV rows end in CR LF themselves.
    if (mode == OutputMode::kCsv) UseBinaryStandardOutput();
    std::cout << report.Header();
    FileWalker walker(session.extensions());
    const char separator = nullSeparated ? '\0' : '\n';
    const auto started = std::chrono::steady_clock::now();
    CatchInterrupt();
    const auto walk = [&](const TakeFound& take) {
        for (const std::string& path : paths) {
            if (!walker.Walk(path, take)) return std::string();
        }
        if (list == nullptr) return std::string();
        const std::string stopped = ForEachListedPath(
            *list, separator, [&](const std::string& path) { return walker.Walk(path, take); });
        return stopped.empty() ? stopped : "--files-from " + filesFrom + ": " + stopped;
    };
    // One reader needs no other thread, unless the list comes from standard input, where the
    // walk may wait for a terminal that Ctrl-C cannot interrupt.
    const RunOutcome outcome = jobs == 1 && filesFrom != "-"
                                   ? ReadOneByOne(session, report, walk)
                                   : ReadInOrder(session, report, jobs, walk);
    if (outcome.interrupted) {
        // The walk may still be running on its own thread: end here, without unwinding.
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(kInterrupted);
    }
    std::cout.flush();
    if (!std::cout) {
        // A full disk, say: what was printed is not all there.
        const int error = errno;
        std::cerr << "pixelfold: standard output cannot be written"
                  << (error != 0 ? ": " + SystemReason(std::generic_category().message(error)) : "")
                  << "\n";
        return kUsageOrPlugin;
    }
    if (!outcome.stopped.empty()) {
        std::cerr << "pixelfold: " << outcome.stopped << "\n";
        return kUsageOrPlugin;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (summary || (seconds > 1.0 && StandardErrorIsTerminal()))
        std::cerr << "pixelfold: " << SummaryLine(outcome, walker.skipped(), seconds) << "\n";
    return outcome.failures > 0 ? kSomeFailed : kAllOpened;
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
