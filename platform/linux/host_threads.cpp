// platform/linux/host_threads.cpp: no apartments; SIGINT caught once.
#include "platform/host_threads.h"

#include <signal.h>

#include <atomic>

namespace pixelfold {
namespace {

std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void OnInterrupt(int) {
    interrupted.store(true, std::memory_order_relaxed);
}

}  // namespace

MultithreadedApartment::MultithreadedApartment() noexcept = default;
MultithreadedApartment::~MultithreadedApartment() = default;

void CatchInterrupt() noexcept {
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;  // the second SIGINT ends the program
    sigaction(SIGINT, &action, nullptr);
}

bool InterruptRequested() noexcept {
    return interrupted.load(std::memory_order_relaxed);
}

}  // namespace pixelfold
