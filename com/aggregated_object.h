// com/aggregated_object.h: creating an object of the library plain or inside an outer
// object (aggregation), with the same protocol for both classes.
//
// A class T used here provides: `using RefCount` (std::atomic<ULONG> or ULONG), a constructor
// taking the outer IUnknown (null: standalone, T counts its own references), `FinalConstruct`
// and `InternalQueryInterface` (its interface table, references taken through the interfaces).
#pragma once

#include "com/module_lock.h"
#include "platform/allocation.h"
#include "platform/platform.h"

namespace pixelfold {

// Left in a reference count while its object is destroyed, so that references taken and
// dropped meanwhile cannot reach zero a second time.
inline constexpr ULONG kDestroyedRefCount = 0xC0000001;

// The object inside a wrapper with its own IUnknown table and count. The object's interfaces
// forward their IUnknown slots to the outer object; only this wrapper's count decides its life.
template <class T>
class AggregatedObject {
  public:
    explicit AggregatedObject(IUnknown* outer) noexcept : object_(outer) {}
    ~AggregatedObject() { count_ = kDestroyedRefCount; }
    AggregatedObject(const AggregatedObject&) = delete;
    AggregatedObject& operator=(const AggregatedObject&) = delete;

    IUnknown* unknown() noexcept { return reinterpret_cast<IUnknown*>(&vtbl_); }
    T& object() noexcept { return object_; }

    // IUnknown gives the wrapper itself; every other IID is the object's to answer.
    HRESULT QueryInterface(REFIID iid, void** out) noexcept { return Query(this, iid, out); }

  private:
    struct Vtbl {
        HRESULT(STDMETHODCALLTYPE* QueryInterface)(AggregatedObject* self, REFIID iid, void** out);
        ULONG(STDMETHODCALLTYPE* AddRef)(AggregatedObject* self);
        ULONG(STDMETHODCALLTYPE* Release)(AggregatedObject* self);
        void(STDMETHODCALLTYPE* Destroy)(AggregatedObject* self);
    };

    static HRESULT STDMETHODCALLTYPE Query(AggregatedObject* self, REFIID iid, void** out) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) {
            AddRef(self);
            *out = self->unknown();
            return S_OK;
        }
        return self->object_.InternalQueryInterface(iid, out);
    }
    static ULONG STDMETHODCALLTYPE AddRef(AggregatedObject* self) { return ++self->count_; }
    static ULONG STDMETHODCALLTYPE Release(AggregatedObject* self) {
        const ULONG count = --self->count_;
        if (count == 0) {
            // The library must not look unloadable while the object is torn down.
            AcquireModuleLock();
            self->vtbl_->Destroy(self);
            ReleaseModuleLock();
        }
        return count;
    }
    static void STDMETHODCALLTYPE Destroy(AggregatedObject* self) { delete self; }

    static constexpr Vtbl kVtbl = {&Query, &AddRef, &Release, &Destroy};

    const Vtbl* vtbl_ = &kVtbl;  // first: the wrapper's IUnknown
    typename T::RefCount count_{0};
    T object_;
};

// The two-way instance creator: a plain object for a null `outer`, otherwise the aggregated
// form. Construction takes a module lock, final construction runs, then the object is asked
// for `iid`; any failure destroys it again.
template <class T>
HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer == nullptr) {
        T* object = NewObject<T>(nullptr);
        if (object == nullptr) return E_OUTOFMEMORY;
        HRESULT hr = object->FinalConstruct();
        if (hr == S_OK) hr = object->InternalQueryInterface(iid, out);
        if (hr != S_OK) delete object;
        return hr;
    }
    auto* wrapper = NewObject<AggregatedObject<T> >(outer);
    if (wrapper == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = wrapper->object().FinalConstruct();
    if (hr == S_OK) hr = wrapper->QueryInterface(iid, out);
    if (hr != S_OK) delete wrapper;
    return hr;
}

}  // namespace pixelfold
