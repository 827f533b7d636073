// platform/linux/linked_resources.h: the resources compiled into a binary. The build turns a
// binary's resource script into a generated source that defines LinkedResources(); a binary
// without one has none.
#pragma once

#include <cstdint>
#include <span>

namespace pixelfold {

struct LinkedResource {
    const char16_t* type;  // named type, upper case ("REGISTRY", "TYPELIB")
    std::uint16_t id;
    const unsigned char* data;
    std::uint32_t size;
};

std::span<const LinkedResource> LinkedResources() noexcept;

}  // namespace pixelfold
