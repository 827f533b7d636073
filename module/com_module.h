// module/com_module.h: the module object: the library's one instance of shared state (its lock
// count, object map, class-object lock and handles), built before the entry point first runs
// and living until the library is unloaded.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "common/simple_mutex.h"
#include "module/object_map.h"
#include "module/registrar/reg_object.h"
#include "platform/platform.h"

namespace pixelfold {

// A name and its text for a registration script; a list of them ends with a null name.
struct RegistryReplacement {
    const WCHAR* name;
    const WCHAR* text;
};

// The module's operations, in the order of its table.
class CAtlModule {
  public:
    constexpr CAtlModule() = default;
    virtual ~CAtlModule() = default;
    CAtlModule(const CAtlModule&) = delete;
    CAtlModule& operator=(const CAtlModule&) = delete;

    // Atomic; each returns the new count.
    virtual std::int32_t AcquireModuleLock() noexcept { return ++lockCount_; }
    virtual std::int32_t ReleaseModuleLock() noexcept { return --lockCount_; }
    virtual std::int32_t ModuleLockCount() noexcept { return lockCount_.load(); }
    // The process's global interface table, made on first call; one reference for the caller.
    virtual HRESULT GetGlobalInterfaceTable(IUnknown** table) noexcept;
    // Adds the replacements every registration script may use ("APPID", empty).
    virtual HRESULT AddCommonReplacements(IRegistrarBase* registrar) noexcept;
    // Two registration-from-resource operations that the library does not use: E_FAIL.
    virtual HRESULT UpdateRegistryFromResourceD(const WCHAR*, BOOL, RegistryReplacement*) noexcept {
        return E_FAIL;
    }
    virtual HRESULT UpdateRegistryFromResourceD(UINT, BOOL, RegistryReplacement*) noexcept {
        return E_FAIL;
    }
    // Runs the module's registration script `resource` (type "REGISTRY") in the register or
    // unregister pass, with "Module" and "Module_Raw" naming the library file and the extra
    // pairs of `replacements` (ended by a null name; may be null).
    virtual HRESULT UpdateRegistryFromResourceS(UINT resourceId, BOOL doRegister,
                                                RegistryReplacement* replacements) noexcept = 0;
    virtual HRESULT UpdateRegistryFromResourceS(const WCHAR* resourceName, BOOL doRegister,
                                                RegistryReplacement* replacements) noexcept = 0;

  protected:
    // Releases what the module made for itself (the global interface table).
    void Term() noexcept;

  private:
    std::atomic<std::int32_t> lockCount_{0};
    std::atomic<IUnknown*> globalInterfaceTable_{nullptr};
    SimpleMutex globalInterfaceTableLock_;
};

class CComModule final : public CAtlModule {
  public:
    constexpr CComModule() = default;
    ~CComModule() override { Terminate(); }

    // Process attach: records the handle, installs the map and tells each class it starts.
    void Attach(HINSTANCE module, std::span<ObjectMapEntry> objectMap) noexcept;
    // Process detach: releases the cached class objects, tells each class it ends, then lets go
    // of what the module made. Later calls do nothing.
    void Terminate() noexcept;

    // The class object of `clsid` from the object map, made and cached on first request;
    // CLASS_E_CLASSNOTAVAILABLE when no row serves it.
    HRESULT GetClassObjectFromMap(REFCLSID clsid, REFIID iid, void** out) noexcept;

    HINSTANCE moduleHandle() const noexcept { return module_; }

    HRESULT UpdateRegistryFromResourceS(UINT resourceId, BOOL doRegister,
                                        RegistryReplacement* replacements) noexcept override;
    HRESULT UpdateRegistryFromResourceS(const WCHAR* resourceName, BOOL doRegister,
                                        RegistryReplacement* replacements) noexcept override;

    // Registers the classes of the object map (only `clsid`'s when given) and, with
    // `typeLibrary`, the module's type library. The first failure is returned at once.
    HRESULT RegisterServer(BOOL typeLibrary, const CLSID* clsid) noexcept;
    // The reverse: each class's categories and script, then the type library.
    HRESULT UnregisterServer(BOOL typeLibrary, const CLSID* clsid) noexcept;

  private:
    std::span<ObjectMapEntry> objectMap_;
    SimpleMutex classObjectLock_;
    HINSTANCE module_ = nullptr;
    bool attached_ = false;
};

// The one module object, and the pointer through which every object of the library reaches it.
extern CComModule& g_module;
extern CAtlModule* const g_pModule;

}  // namespace pixelfold
