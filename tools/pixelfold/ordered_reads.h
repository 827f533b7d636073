// tools/pixelfold/ordered_reads.h: files read on several threads, printed in the order they
// were found.
#pragma once

#include <functional>

#include "tools/pixelfold/file_list.h"
#include "tools/pixelfold/plugin_session.h"
#include "tools/pixelfold/report.h"

namespace pixelfold::host {

struct RunOutcome {
    bool anyFailed = false;
    bool interrupted = false;
};

// Finds the files with `walk` on a thread of its own (it hands each to the TakeFile it is
// given, and stops when that answers false), reads them on `jobs` threads, each with its own
// reader in the multi-threaded apartment, and prints each file's output in the order found,
// byte for byte what one thread would print. At most a few times `jobs` files are found ahead
// of the one printed next, so memory does not grow with the number of files. Ctrl-C stops
// taking files; those being read are finished and printed.
RunOutcome ReadInOrder(const PluginSession& session, const Report& report, unsigned jobs,
                       const std::function<void(const TakeFile&)>& walk);

}  // namespace pixelfold::host
