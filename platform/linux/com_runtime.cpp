// platform/linux/com_runtime.cpp: COM task memory and the free-threaded marshaler.
#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/allocation.h"
#include "platform/com_calls.h"
#include "platform/linux/windows_api.h"

namespace {

// An aggregated object with a non-delegating unknown of its own and an IMarshal whose
// IUnknown forwards to the outer object, as COM aggregation requires.
class FreeThreadedMarshaler {
  public:
    explicit FreeThreadedMarshaler(IUnknown* outer)
        : inner_(*this), marshal_(*this), outer_(outer) {}

    IUnknown* inner() { return &inner_; }

  private:
    class Inner final : public IUnknown {
      public:
        explicit Inner(FreeThreadedMarshaler& owner) : owner_(owner) {}
        HRESULT QueryInterface(REFIID iid, void** out) override {
            if (out == nullptr) return E_POINTER;
            if (iid == IID_IUnknown) {
                *out = static_cast<IUnknown*>(this);
            } else if (iid == IID_IMarshal) {
                *out = static_cast<IMarshal*>(&owner_.marshal_);
            } else {
                *out = nullptr;
                return E_NOINTERFACE;
            }
            pixelfold::AddRefOf(*out);
            return S_OK;
        }
        ULONG AddRef() override { return ++owner_.count_; }
        ULONG Release() override {
            const ULONG count = --owner_.count_;
            if (count == 0) delete &owner_;
            return count;
        }

      private:
        FreeThreadedMarshaler& owner_;
    };

    class Marshal final : public IMarshal {
      public:
        explicit Marshal(FreeThreadedMarshaler& owner) : owner_(owner) {}
        HRESULT QueryInterface(REFIID iid, void** out) override {
            return pixelfold::QueryInterfaceOf(owner_.outer_, iid, out);
        }
        ULONG AddRef() override { return pixelfold::AddRefOf(owner_.outer_); }
        ULONG Release() override { return pixelfold::ReleaseOf(owner_.outer_); }
        HRESULT GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID*) override {
            return E_NOTIMPL;
        }
        HRESULT GetMarshalSizeMax(REFIID, void*, DWORD, void*, DWORD, DWORD*) override {
            return E_NOTIMPL;
        }
        HRESULT MarshalInterface(void*, REFIID, void*, DWORD, void*, DWORD) override {
            return E_NOTIMPL;
        }
        HRESULT UnmarshalInterface(void*, REFIID, void**) override { return E_NOTIMPL; }
        HRESULT ReleaseMarshalData(void*) override { return E_NOTIMPL; }
        HRESULT DisconnectObject(DWORD) override { return E_NOTIMPL; }

      private:
        FreeThreadedMarshaler& owner_;
    };

    Inner inner_;
    Marshal marshal_;
    IUnknown* outer_;
    std::atomic<ULONG> count_{1};
};

}  // namespace

void* CoTaskMemAlloc(std::size_t bytes) {
    if (pixelfold::OtherAllocationFaultDue()) return nullptr;
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void CoTaskMemFree(void* block) {
    std::free(block);
}

HRESULT CoCreateFreeThreadedMarshaler(IUnknown* outer, IUnknown** marshaler) {
    if (marshaler == nullptr) return E_INVALIDARG;
    *marshaler = nullptr;
    if (outer == nullptr) return E_INVALIDARG;
    auto* created = new (std::nothrow) FreeThreadedMarshaler(outer);
    if (created == nullptr) return E_OUTOFMEMORY;
    *marshaler = created->inner();
    return S_OK;
}
