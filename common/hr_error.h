// common/hr_error.h: failures carried as HRESULTs inside the plug-in, and the one boundary
// where they turn back into result codes.
#pragma once

#include <exception>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/platform.h"

namespace pixelfold {

// Raised by deep helpers (header checks, allocations); never crosses an interface method.
class HrError final : public std::exception {
  public:
    explicit HrError(HRESULT hr) noexcept : hr_(hr) {}
    HRESULT code() const noexcept { return hr_; }
    const char* what() const noexcept override { return "HRESULT failure"; }

  private:
    HRESULT hr_;
};

[[noreturn]] inline void ThrowHr(HRESULT hr) {
    throw HrError(hr);
}

// Runs `body` and returns its result; an HrError becomes its code, std::bad_alloc becomes
// E_OUTOFMEMORY and anything else E_UNEXPECTED.
template <class Fn>
[[nodiscard]] HRESULT HrBoundary(Fn&& body) noexcept {
    try {
        return std::forward<Fn>(body)();
    } catch (const HrError& e) {
        return e.code();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace pixelfold

// Returns the HRESULT of `expr` from the enclosing function when it is a failure. Refuses any
// argument that is not an HRESULT (a BOOL or a DWORD) at compile time.
#define RETURN_IF_FAILED(expr)                                                                    \
    do {                                                                                          \
        static_assert(std::is_same_v<std::decay_t<decltype(expr)>, HRESULT>, "HRESULT expected"); \
        const HRESULT hrTemp_ = (expr);                                                           \
        if (FAILED(hrTemp_)) return hrTemp_;                                                      \
    } while (false)
