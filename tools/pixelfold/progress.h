// tools/pixelfold/progress.h: a one-line progress indicator on standard error.
#pragma once

#include <chrono>
#include <cstddef>

namespace pixelfold::host {

// Shown only when standard error is a terminal, once more than a few files are done; cleared
// before any output is written (and drawn again after), and when the run ends.
class Progress {
  public:
    Progress();
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Takes the line off the terminal, so that output starts at the beginning of a line.
    void Clear();
    // One more file done; `total` is the number of files of the run, or 0 while the walk that
    // finds them is still going.
    void FileDone(std::size_t total);
    // The run has ended with `total` files: the line shows them all done, if it did not yet
    // (the walk may end after the last file was printed).
    void Finish(std::size_t total);

  private:
    using Clock = std::chrono::steady_clock;

    // Draws the line for `done_` of `total` files (0: not known yet).
    void Draw(std::size_t total);
    static constexpr std::size_t kFewFiles = 5;

    bool terminal_;
    bool drawn_ = false;
    bool totalShown_ = false;
    std::size_t done_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
};

}  // namespace pixelfold::host
