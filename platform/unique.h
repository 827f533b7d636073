// platform/unique.h: one owner per platform resource.
#pragma once

#include <cstdio>
#include <utility>

#include "platform/com_calls.h"
#include "platform/platform.h"

namespace pixelfold {

// Owns one handle-like value and closes it with `Close`; `Invalid` means "owns nothing".
template <class T, void (*Close)(T), T Invalid = T{}>
class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(T value) noexcept : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid; }
    [[nodiscard]] T release() noexcept { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) noexcept {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }
    // For out-parameters: frees what is held before handing out the address.
    T* put() noexcept {
        reset();
        return &value_;
    }

  private:
    T value_ = Invalid;
};

inline void CloseCrtFile(std::FILE* file) {
    std::fclose(file);
}
using UniqueCrtFile = UniqueResource<std::FILE*, &CloseCrtFile>;

inline void ReleaseInterface(IUnknown* object) {
    ReleaseOf(object);
}
using UniqueUnknown = UniqueResource<IUnknown*, &ReleaseInterface>;

inline void CloseRegistryKey(HKEY key) {
    RegCloseKey(key);
}
using UniqueHkey = UniqueResource<HKEY, &CloseRegistryKey>;

inline void FreeBstr(BSTR text) {
    SysFreeString(text);
}
using UniqueBstr = UniqueResource<BSTR, &FreeBstr>;

// Owns what a VARIANT holds; empty when made, cleared when destroyed.
class UniqueVariant {
  public:
    UniqueVariant() noexcept { VariantInit(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&value_); }

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }
    VARIANT* operator->() noexcept { return &value_; }
    const VARIANT* operator->() const noexcept { return &value_; }

  private:
    VARIANT value_;
};

}  // namespace pixelfold
