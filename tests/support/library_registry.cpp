// tests/support/library_registry.cpp: the registry that a loaded plug-in library writes to.
#include "support/library_registry.h"

namespace pixelfold::test {
namespace {

template <class F>
[[maybe_unused]] bool Bind(const DynamicLibrary& library, const char* name, F& function) {
    function = reinterpret_cast<F>(library.Find(name));
    return function != nullptr;
}

}  // namespace

bool LibraryRegistry([[maybe_unused]] const DynamicLibrary& library, RegistryCalls& calls) {
#if defined(_WIN32)
    calls = {&RegOpenKeyExW, &RegCreateKeyExW, &RegCloseKey,
             &RegEnumKeyExW, &RegEnumValueW,   &RegDeleteKeyW};
    return true;
#else
    return Bind(library, "RegOpenKeyExW", calls.open) &&
           Bind(library, "RegCreateKeyExW", calls.create) &&
           Bind(library, "RegCloseKey", calls.close) &&
           Bind(library, "RegEnumKeyExW", calls.enumKey) &&
           Bind(library, "RegEnumValueW", calls.enumValue) &&
           Bind(library, "RegDeleteKeyW", calls.deleteKey);
#endif
}

}  // namespace pixelfold::test
