// tools/pixelfold/progress.cpp: the progress line, redrawn at most ten times a second.
#include "tools/pixelfold/progress.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "platform/dynamic_library.h"

namespace pixelfold::host {

namespace {
constexpr std::size_t kLineWidth = 70;
}  // namespace

Progress::Progress() : terminal_(StandardErrorIsTerminal()) {}

Progress::~Progress() {
    Clear();
}

void Progress::Clear() {
    if (!drawn_) return;
    std::cerr << '\r' << std::string(kLineWidth, ' ') << '\r' << std::flush;
    drawn_ = false;
}

void Progress::Finish(std::size_t total) {
    if (terminal_ && !totalShown_ && total != 0 && total == done_ && done_ > kFewFiles) Draw(total);
}

void Progress::FileDone(std::size_t total) {
    ++done_;
    if (!terminal_ || done_ <= kFewFiles) return;
    if (drawn_ && Clock::now() - lastDrawn_ < std::chrono::milliseconds(100) && done_ != total)
        return;
    Draw(total);
}

void Progress::Draw(std::size_t total) {
    const Clock::time_point now = Clock::now();
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0.0;
    char line[kLineWidth + 8];
    if (total != 0) {
        const double left = rate > 0 ? static_cast<double>(total - done_) / rate : 0.0;
        std::snprintf(line, sizeof line, "\r%zu of %zu files, %.0f%%, about %.0f s left   ", done_,
                      total, 100.0 * static_cast<double>(done_) / static_cast<double>(total), left);
    } else {
        std::snprintf(line, sizeof line, "\r%zu files, %.0f files/s   ", done_, rate);
    }
    std::cerr << line << std::flush;
    drawn_ = true;
    totalShown_ = total != 0 && done_ == total;
}

}  // namespace pixelfold::host
