// tools/pixelfold/progress.cpp: the progress line, redrawn at most ten times a second.
#include "tools/pixelfold/progress.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/dynamic_library.h"

namespace pixelfold::host {

Progress::Progress(std::size_t total)
    : total_(total), shown_(total > kFewFiles && StandardErrorIsTerminal()) {}

Progress::~Progress() {
    if (shown_) std::cerr << '\r' << std::string(60, ' ') << '\r' << std::flush;
}

void Progress::FileDone() {
    ++done_;
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < std::chrono::milliseconds(100) && done_ != total_) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    char line[80];
    std::snprintf(line, sizeof line, "\r%zu of %zu files, %.0f files/s   ", done_, total_,
                  seconds > 0 ? static_cast<double>(done_) / seconds : 0.0);
    std::cerr << line << std::flush;
}

}  // namespace pixelfold::host
