// module/object_map.h: the classes that the library serves, one row each.
#pragma once

#include <atomic>
#include <span>

#include "platform/platform.h"

namespace pixelfold {

using InstanceCreator = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);
using ClassObjectCreator = HRESULT (*)(InstanceCreator instanceCreator, REFIID iid, void** out);

struct ObjectMapEntry {
    const CLSID* clsid;
    HRESULT (*updateRegistry)(BOOL doRegister);  // runs the class's registration script
    ClassObjectCreator createClassObject;
    InstanceCreator createInstance;  // handed to createClassObject
    // The class object, made on first request and owned here (one reference) until detach.
    std::atomic<IUnknown*> cachedClassObject;
    const WCHAR* (*description)();
    const void* (*categoryMap)();
    void (*objectMain)(bool starting);  // called at process attach (true) and detach (false)
};

// The library's object map: ImageFormat, then ImageFile.
std::span<ObjectMapEntry> LibraryObjectMap() noexcept;

inline constexpr CLSID CLSID_ImageFormat = {
    0xA191D39B, 0x7240, 0x4DD8, {0x80, 0x9C, 0x01, 0x64, 0x87, 0x20, 0x03, 0xCC}};
inline constexpr CLSID CLSID_ImageFile = {
    0xBBB4672A, 0x1304, 0x43E6, {0xBB, 0xE9, 0xE8, 0xC7, 0x0B, 0xD8, 0x96, 0x97}};

}  // namespace pixelfold
