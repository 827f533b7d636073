// platform/linux/registry_text.cpp: writing text values.
#include "platform/linux/registry_text.h"

#include "platform/unique.h"

namespace pixelfold {

LSTATUS SetRegistryText(HKEY root, const WideString& path, const WCHAR* name,
                        const WideString& text) {
    UniqueHkey key;
    const LSTATUS created = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                            KEY_WRITE, nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS) return created;
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

}  // namespace pixelfold
