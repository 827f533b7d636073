// platform/windows/host_threads.cpp: the multi-threaded apartment through ole32 from System32,
// and Ctrl-C or Ctrl-Break caught once by a console control handler.
#include "platform/host_threads.h"

#include <atomic>

#include "platform/windows/system_library.h"

namespace pixelfold {
namespace {

std::atomic<bool> interrupted{false};

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // The second request goes on to the default handler, which ends the program.
    return interrupted.exchange(true) ? FALSE : TRUE;
}

}  // namespace

MultithreadedApartment::MultithreadedApartment() noexcept {
    static const auto initialize =
        SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    joined_ = initialize != nullptr && SUCCEEDED(initialize(nullptr, COINIT_MULTITHREADED));
}

MultithreadedApartment::~MultithreadedApartment() {
    static const auto uninitialize =
        SystemFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    if (joined_ && uninitialize != nullptr) uninitialize();
}

void CatchInterrupt() noexcept {
    SetConsoleCtrlHandler(&OnControl, TRUE);
}

bool InterruptRequested() noexcept {
    return interrupted.load();
}

}  // namespace pixelfold
