// module/class_factory.cpp: the cached class object. The object map holds one reference, which
// keeps no module lock; every further reference holds one.
#include "module/class_factory.h"

#include <atomic>

#include "com/aggregated_object.h"
#include "com/interface_map.h"
#include "com/module_lock.h"
#include "platform/allocation.h"

namespace pixelfold {
namespace {

class ClassFactory;

struct ClassFactoryVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(ClassFactory* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(ClassFactory* self);
    ULONG(STDMETHODCALLTYPE* Release)(ClassFactory* self);
    HRESULT(STDMETHODCALLTYPE* CreateInstance)
    (ClassFactory* self, IUnknown* outer, REFIID iid, void** out);
    HRESULT(STDMETHODCALLTYPE* LockServer)(ClassFactory* self, BOOL lock);
    void(STDMETHODCALLTYPE* Destroy)(ClassFactory* self);
};

class ClassFactory {
  public:
    explicit ClassFactory(InstanceCreator creator) noexcept : creator_(creator) {}
    ~ClassFactory() { count_ = kDestroyedRefCount; }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT QueryInterface(REFIID iid, void** out) noexcept {
        return QueryInterfaceTable(this, kInterfaces, iid, out);
    }

  private:
    static HRESULT STDMETHODCALLTYPE Query(ClassFactory* self, REFIID iid, void** out) {
        return self->QueryInterface(iid, out);
    }
    static ULONG STDMETHODCALLTYPE AddRef(ClassFactory* self) {
        const ULONG count = ++self->count_;
        if (count == 2) AcquireModuleLock();
        return count;
    }
    static ULONG STDMETHODCALLTYPE Release(ClassFactory* self) {
        const ULONG count = --self->count_;
        if (count == 0) {
            self->vtbl_->Destroy(self);
        } else if (count == 1) {
            ReleaseModuleLock();
        }
        return count;
    }
    static HRESULT STDMETHODCALLTYPE CreateInstance(ClassFactory* self, IUnknown* outer, REFIID iid,
                                                    void** out) {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (outer != nullptr && !(iid == IID_IUnknown)) return CLASS_E_NOAGGREGATION;
        return self->creator_(outer, iid, out);
    }
    static HRESULT STDMETHODCALLTYPE LockServer(ClassFactory*, BOOL lock) {
        if (lock) {
            AcquireModuleLock();
        } else {
            ReleaseModuleLock();
        }
        return S_OK;
    }
    static void STDMETHODCALLTYPE Destroy(ClassFactory* self) { delete self; }

    static constexpr ClassFactoryVtbl kVtbl = {&Query,          &AddRef,     &Release,
                                               &CreateInstance, &LockServer, &Destroy};
    static const InterfaceMapEntry kInterfaces[];

    const ClassFactoryVtbl* vtbl_ = &kVtbl;  // IUnknown and IClassFactory
    std::atomic<ULONG> count_{0};
    InstanceCreator creator_;
};

constexpr InterfaceMapEntry ClassFactory::kInterfaces[] = {
    OffsetEntry(IID_IClassFactory, 0),
    EndEntry(),
};

}  // namespace

HRESULT CreateClassFactory(InstanceCreator instanceCreator, REFIID iid, void** out) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    auto* factory = NewObject<ClassFactory>(instanceCreator);
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, out);
    if (hr != S_OK) delete factory;
    return hr;
}

}  // namespace pixelfold
