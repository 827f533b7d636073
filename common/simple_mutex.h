// common/simple_mutex.h: a mutex that needs no run-time set-up, for state that must exist
// before any constructor has run (the module object). Waiters sleep; they do not spin.
#pragma once

#include <atomic>

namespace pixelfold {

class SimpleMutex {
  public:
    constexpr SimpleMutex() noexcept = default;
    SimpleMutex(const SimpleMutex&) = delete;
    SimpleMutex& operator=(const SimpleMutex&) = delete;

    void lock() noexcept {
        while (locked_.test_and_set(std::memory_order_acquire))
            locked_.wait(true, std::memory_order_relaxed);
    }
    void unlock() noexcept {
        locked_.clear(std::memory_order_release);
        locked_.notify_one();
    }

  private:
    std::atomic_flag locked_;
};

}  // namespace pixelfold
