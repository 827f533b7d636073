// platform/linux/dll_entry.cpp: the library entry point, called as the Windows loader calls
// it: with process attach when the library is loaded and process detach when it is unloaded.
#include <dlfcn.h>

#include "platform/platform.h"

extern "C" BOOL DllMain(HINSTANCE module, DWORD reason, void* reserved);

namespace {

// The library's handle: the address at which it is loaded, as on Windows.
HINSTANCE OwnModule() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&OwnModule), &info) == 0) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

__attribute__((constructor)) void AttachProcess() {
    DllMain(OwnModule(), DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void DetachProcess() {
    DllMain(OwnModule(), DLL_PROCESS_DETACH, nullptr);
}

}  // namespace
