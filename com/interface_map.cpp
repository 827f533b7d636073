// com/interface_map.cpp: the QueryInterface table walk.
#include "com/interface_map.h"
#include "platform/com_calls.h"

namespace pixelfold {
namespace {

void* InterfaceAt(void* object, std::uintptr_t offset) {
    return static_cast<char*>(object) + offset;
}

HRESULT Hand(void* iface, void** out) {
    AddRefOf(iface);
    *out = iface;
    return S_OK;
}

}  // namespace

HRESULT QueryInterfaceTable(void* object, const InterfaceMapEntry* table, REFIID iid,
                            void** out) noexcept {
    if (out == nullptr) return E_POINTER;
    if (iid == IID_IUnknown) return Hand(InterfaceAt(object, table[0].argument), out);
    for (const InterfaceMapEntry* row = table; row->kind != InterfaceMapEntry::Kind::kEnd; ++row) {
        if (row->iid != nullptr && !(*row->iid == iid)) continue;
        if (row->kind == InterfaceMapEntry::Kind::kOffset) {
            return Hand(InterfaceAt(object, row->argument), out);
        }
        const HRESULT hr = row->function(object, iid, out, row->argument);
        if (hr == S_OK) return S_OK;
        if (row->iid != nullptr && FAILED(hr)) {
            *out = nullptr;
            return hr;
        }
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

}  // namespace pixelfold
