// tools/pixelfold/progress.h: a one-line progress indicator on standard error.
#pragma once

#include <chrono>
#include <cstddef>

namespace pixelfold::host {

// Shown only when standard error is a terminal and there are more than a few files; cleared
// when the run ends.
class Progress {
  public:
    explicit Progress(std::size_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void FileDone();

  private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kFewFiles = 5;

    std::size_t total_;
    std::size_t done_ = 0;
    bool shown_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
};

}  // namespace pixelfold::host
