// module/registration.h: the steps of the module's self-registration besides the class
// scripts: the module's file name, the type library, and component categories.
#pragma once

#include "platform/platform.h"

namespace pixelfold {

// The characters a module file name may take, terminator included.
inline constexpr DWORD kModuleNameCapacity = 260;

// The file name of `module` into `name`: the platform's last error when there is none,
// 0x8007007A when it does not fit.
HRESULT GetModuleName(HINSTANCE module, WCHAR (&name)[kModuleNameCapacity]) noexcept;

// The type library of `module`: from the module file, else from the ".tlb" file beside it.
// `path` receives the path it was loaded from.
HRESULT LoadModuleTypeLibrary(HINSTANCE module, BSTR* path, ITypeLib** library) noexcept;
HRESULT RegisterTypeLibrary(HINSTANCE module) noexcept;
HRESULT UnregisterTypeLibrary(HINSTANCE module) noexcept;

// Writes or removes the "Implemented Categories" and "Required Categories" of a class. The
// module's classes declare none (a null map), so nothing is done.
HRESULT RegisterClassCategories(REFCLSID clsid, const void* categoryMap, bool doRegister) noexcept;

}  // namespace pixelfold
