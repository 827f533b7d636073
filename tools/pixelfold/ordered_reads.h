// tools/pixelfold/ordered_reads.h: files read on several threads, printed in the order they
// were found.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "tools/pixelfold/file_list.h"
#include "tools/pixelfold/plugin_session.h"
#include "tools/pixelfold/report.h"

namespace pixelfold::host {

struct RunOutcome {
    std::size_t filesRead = 0;
    std::size_t failures = 0;  // files and folders that could not be read
    bool interrupted = false;
    std::string stopped;  // why the walk stopped the run (a list that cannot be read), or empty
};

// Finds the files with `walk` on a thread of its own (it hands what it finds to the TakeFound
// it is given, stops when that answers false, and returns why it stopped the run, or empty),
// reads them on `jobs` threads, each with its own reader in the multi-threaded apartment, and
// prints each file's output in the order found, byte for byte what one thread would print,
// with the walk's errors and notes in their places. At most 32 times `jobs` files are found
// ahead of the one printed next, so memory does not grow with the number of files. Ctrl-C
// stops taking files; those being read are finished and printed.
RunOutcome ReadInOrder(const PluginSession& session, const Report& report, unsigned jobs,
                       const std::function<std::string(const TakeFound&)>& walk);

// The same on the calling thread alone, each file read and printed as it is found: what
// ReadInOrder prints with one reader, without handing each file between threads. Ctrl-C is
// seen between files, so the walk must not wait on a terminal.
RunOutcome ReadOneByOne(const PluginSession& session, const Report& report,
                        const std::function<std::string(const TakeFound&)>& walk);

}  // namespace pixelfold::host
