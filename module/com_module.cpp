// module/com_module.cpp: the module object's operations.
#include "module/com_module.h"

#include <mutex>

#include "common/hr_error.h"
#include "platform/com_calls.h"
#include "platform/global_interface_table.h"

namespace pixelfold {

namespace {

// The module object is never destroyed: its clean-up is Terminate, which the library's detach
// runs. On Linux the detach (a destructor function of the library) may come after the run
// time has destroyed the library's static objects at exit; an object that is never destroyed
// is still there for it.
union ModuleStorage {
    constexpr ModuleStorage() : module() {}
    ~ModuleStorage() {}
    CComModule module;
};
constinit ModuleStorage moduleStorage;

}  // namespace

CComModule& g_module = moduleStorage.module;
constinit CAtlModule* const g_pModule = &moduleStorage.module;

HRESULT CAtlModule::GetGlobalInterfaceTable(IUnknown** table) noexcept {
    if (table == nullptr) return E_POINTER;
    *table = nullptr;
    IUnknown* held = globalInterfaceTable_.load(std::memory_order_acquire);
    if (held == nullptr) {
        const std::lock_guard<SimpleMutex> lock(globalInterfaceTableLock_);
        held = globalInterfaceTable_.load(std::memory_order_relaxed);
        if (held == nullptr) {
            RETURN_IF_FAILED(CreateGlobalInterfaceTable(&held));
            globalInterfaceTable_.store(held, std::memory_order_release);
        }
    }
    AddRefOf(held);
    *table = held;
    return S_OK;
}

HRESULT CAtlModule::AddCommonReplacements(IRegistrarBase* registrar) noexcept {
    return registrar->AddReplacement(WTEXT("APPID"), WTEXT(""));
}

void CAtlModule::Term() noexcept {
    if (IUnknown* table = globalInterfaceTable_.exchange(nullptr)) ReleaseOf(table);
}

void CComModule::Attach(HINSTANCE module, std::span<ObjectMapEntry> objectMap) noexcept {
    module_ = module;
    objectMap_ = objectMap;
    attached_ = true;
    for (ObjectMapEntry& row : objectMap_)
        row.objectMain(true);
}

void CComModule::Terminate() noexcept {
    if (!attached_) return;
    for (ObjectMapEntry& row : objectMap_) {
        if (IUnknown* cached = row.cachedClassObject.exchange(nullptr)) ReleaseOf(cached);
        row.objectMain(false);
    }
    Term();
    attached_ = false;
}

HRESULT CComModule::GetClassObjectFromMap(REFCLSID clsid, REFIID iid, void** out) noexcept {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    for (ObjectMapEntry& row : objectMap_) {
        if (row.createClassObject == nullptr || !(*row.clsid == clsid)) continue;
        IUnknown* cached = row.cachedClassObject.load(std::memory_order_acquire);
        if (cached == nullptr) {
            // Read again under the lock, so that two threads asking at once make one object.
            const std::lock_guard<SimpleMutex> lock(classObjectLock_);
            cached = row.cachedClassObject.load(std::memory_order_relaxed);
            if (cached == nullptr) {
                void* made = nullptr;
                RETURN_IF_FAILED(row.createClassObject(row.createInstance, IID_IUnknown, &made));
                cached = static_cast<IUnknown*>(made);
                row.cachedClassObject.store(cached, std::memory_order_release);
            }
        }
        return QueryInterfaceOf(cached, iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace pixelfold
