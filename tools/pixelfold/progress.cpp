// tools/pixelfold/progress.cpp: the progress line, redrawn at most ten times a second.
#include "tools/pixelfold/progress.h"

#include <cstdio>

#include "platform/dynamic_library.h"

namespace pixelfold::host {

Progress::Progress(std::size_t total)
    : total_(total), shown_(total > kFewFiles && StandardErrorIsTerminal()) {}

Progress::~Progress() {
    if (shown_) std::fprintf(stderr, "\r%60s\r", "");
}

void Progress::FileDone() {
    ++done_;
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < std::chrono::milliseconds(100) && done_ != total_) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, "\r%zu of %zu files, %.0f files/s   ", done_, total_,
                 seconds > 0 ? static_cast<double>(done_) / seconds : 0.0);
    std::fflush(stderr);
}

}  // namespace pixelfold::host
