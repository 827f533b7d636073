// platform/com_calls.h: IUnknown's three methods called through the object's table, as COM
// defines the call, whatever language or class implemented the object (hosts, the outer object
// of an aggregate, and the plug-in's own hand-laid objects alike).
#pragma once

#include "platform/platform.h"

namespace pixelfold {

struct UnknownTable {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(void* self, REFIID iid, void** out);
    ULONG(STDMETHODCALLTYPE* AddRef)(void* self);
    ULONG(STDMETHODCALLTYPE* Release)(void* self);
};

inline const UnknownTable& TableOf(void* object) noexcept {
    return **static_cast<const UnknownTable* const*>(object);
}

inline HRESULT QueryInterfaceOf(void* object, REFIID iid, void** out) noexcept {
    return TableOf(object).QueryInterface(object, iid, out);
}
inline ULONG AddRefOf(void* object) noexcept {
    return TableOf(object).AddRef(object);
}
inline ULONG ReleaseOf(void* object) noexcept {
    return TableOf(object).Release(object);
}

// IClassFactory::CreateInstance, the slot after IUnknown's three.
inline HRESULT CreateInstanceOf(void* factory, IUnknown* outer, REFIID iid, void** out) noexcept {
    struct ClassFactoryTable {
        UnknownTable unknown;
        HRESULT(STDMETHODCALLTYPE* CreateInstance)
        (void* self, IUnknown* outer, REFIID iid, void** out);
    };
    return (*static_cast<const ClassFactoryTable* const*>(factory))
        ->CreateInstance(factory, outer, iid, out);
}

}  // namespace pixelfold
