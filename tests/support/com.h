// tests/support/com.h: holding and calling COM interfaces the way a host does: through their
// tables, by slot.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <utility>

#include "platform/com_calls.h"
#include "platform/platform.h"

namespace pixelfold::test {

// The function in slot `slot` of the interface's table, called with the interface pointer.
template <class R, class... Args>
R CallSlot(void* iface, std::size_t slot, Args... args) {
    using Fn = R(STDMETHODCALLTYPE*)(void*, Args...);
    void* const* table = *static_cast<void* const* const*>(iface);
    return reinterpret_cast<Fn>(table[slot])(iface, args...);
}

// The reference count, as AddRef and Release report it.
inline ULONG RefCountOf(void* iface) {
    AddRefOf(iface);
    return ReleaseOf(iface);
}

// One reference to an interface, released through its table.
template <class I>
class ComRef {
  public:
    ComRef() = default;
    explicit ComRef(I* iface) : iface_(iface) {}
    ComRef(ComRef&& other) noexcept : iface_(std::exchange(other.iface_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            iface_ = std::exchange(other.iface_, nullptr);
        }
        return *this;
    }
    ~ComRef() { reset(); }

    I* get() const { return iface_; }
    I* operator->() const { return iface_; }
    explicit operator bool() const { return iface_ != nullptr; }
    void** put() {
        reset();
        return reinterpret_cast<void**>(&iface_);
    }
    void reset() {
        if (iface_ != nullptr) ReleaseOf(std::exchange(iface_, nullptr));
    }

  private:
    I* iface_ = nullptr;
};

// An outer object for aggregation tests: counts its own references and hands every interface
// but IUnknown to the inner object it holds. Laid out as COM lays an object: its table first.
class TestOuter {
    struct Vtbl;

  public:
    IUnknown* unknown() { return reinterpret_cast<IUnknown*>(&vtbl_); }

  private:
    const Vtbl* vtbl_;  // first: where an IUnknown pointer points

  public:
    IUnknown* inner = nullptr;  // the aggregated object's own IUnknown, owned by the test
    std::atomic<ULONG> count{1};

    TestOuter() : vtbl_(&kVtbl) {}

  private:
    struct Vtbl {
        HRESULT(STDMETHODCALLTYPE* QueryInterface)(TestOuter* self, REFIID iid, void** out);
        ULONG(STDMETHODCALLTYPE* AddRef)(TestOuter* self);
        ULONG(STDMETHODCALLTYPE* Release)(TestOuter* self);
    };
    static HRESULT STDMETHODCALLTYPE QueryInterface(TestOuter* self, REFIID iid, void** out) {
        if (iid == IID_IUnknown) {
            *out = self->unknown();
            ++self->count;
            return S_OK;
        }
        return QueryInterfaceOf(self->inner, iid, out);
    }
    static ULONG STDMETHODCALLTYPE AddRef(TestOuter* self) { return ++self->count; }
    static ULONG STDMETHODCALLTYPE Release(TestOuter* self) { return --self->count; }
    static constexpr Vtbl kVtbl = {&QueryInterface, &AddRef, &Release};
};

}  // namespace pixelfold::test
