// tests/support/library_registry.h: the registry that a loaded plug-in library writes to.
#pragma once

#include "platform/dynamic_library.h"
#include "support/registry_dump.h"

namespace pixelfold::test {

// The calls of the registry that `library` writes to: the system's on Windows, the library's
// exports elsewhere (its in-process registry is its own). False when one is missing.
bool LibraryRegistry(const DynamicLibrary& library, RegistryCalls& calls);

}  // namespace pixelfold::test
