// platform/ansi_text.cpp: ANSI text to UTF-16 through MultiByteToWideChar.
#include "platform/ansi_text.h"

#include <climits>
#include <new>

#include "platform/allocation.h"

namespace pixelfold {
namespace {

HRESULT LastErrorAsHresult() {
    if (GetLastError() == ERROR_NOT_ENOUGH_MEMORY) return E_OUTOFMEMORY;
    return HResultFromLastError();
}

}  // namespace

HRESULT DecodeAnsiText(std::string_view bytes, WideString& out) noexcept {
    if (bytes.empty()) {
        out.clear();
        return S_OK;
    }
    if (bytes.size() > INT_MAX) return E_OUTOFMEMORY;
    const int byteCount = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), byteCount, nullptr, 0);
    if (needed <= 0) return LastErrorAsHresult();
    if (AllocationFaultDue()) return E_OUTOFMEMORY;
    try {
        WideString decoded(static_cast<std::size_t>(needed), WCHAR{0});
        const int written =
            MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), byteCount, decoded.data(), needed);
        if (written <= 0) return LastErrorAsHresult();
        decoded.resize(static_cast<std::size_t>(written));
        out = std::move(decoded);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace pixelfold
