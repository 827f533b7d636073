// tools/pixelfold/progress.cpp: the progress line, redrawn at most ten times a second.
#include "tools/pixelfold/progress.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/dynamic_library.h"

namespace pixelfold::host {

Progress::Progress() : terminal_(StandardErrorIsTerminal()) {}

Progress::~Progress() {
    if (drawn_) std::cerr << '\r' << std::string(60, ' ') << '\r' << std::flush;
}

void Progress::FileDone(std::size_t total) {
    ++done_;
    if (!terminal_ || done_ <= kFewFiles) return;
    const Clock::time_point now = Clock::now();
    if (now - lastDrawn_ < std::chrono::milliseconds(100) && done_ != total) return;
    lastDrawn_ = now;
    drawn_ = true;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0.0;
    char line[80];
    if (total != 0) {
        std::snprintf(line, sizeof line, "\r%zu of %zu files, %.0f files/s   ", done_, total, rate);
    } else {
        std::snprintf(line, sizeof line, "\r%zu files, %.0f files/s   ", done_, rate);
    }
    std::cerr << line << std::flush;
}

}  // namespace pixelfold::host
