// platform/host_threads.h: what a host that reads files on several threads needs from the
// system: each thread's COM apartment, and a user's request to stop (Ctrl-C).
#pragma once

namespace pixelfold {

// The calling thread in COM's multi-threaded apartment while this lives (on Windows; there is
// no apartment elsewhere).
class MultithreadedApartment {
  public:
    MultithreadedApartment() noexcept;
    ~MultithreadedApartment();
    MultithreadedApartment(const MultithreadedApartment&) = delete;
    MultithreadedApartment& operator=(const MultithreadedApartment&) = delete;

  private:
    bool joined_ = false;
};

// From now on the first Ctrl-C (SIGINT; on Windows Ctrl-C or Ctrl-Break) only sets the flag
// that `InterruptRequested` reads; a second one ends the program as usual.
void CatchInterrupt() noexcept;
bool InterruptRequested() noexcept;

}  // namespace pixelfold
