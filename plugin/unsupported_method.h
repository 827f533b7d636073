// plugin/unsupported_method.h: the answer of an interface method the plug-in does not support.
#pragma once

#include <initializer_list>

#include "platform/platform.h"

namespace pixelfold {

// E_POINTER when any of the pointer arguments the method tests is null, E_NOTIMPL otherwise.
inline HRESULT NotImplementedUnlessNull(std::initializer_list<const void*> tested) noexcept {
    for (const void* argument : tested) {
        if (argument == nullptr) return E_POINTER;
    }
    return E_NOTIMPL;
}

}  // namespace pixelfold
