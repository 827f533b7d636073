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

}  // namespace pixelfold
