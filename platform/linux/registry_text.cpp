// platform/linux/registry_text.cpp: writing text values and deleting whole keys.
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

LSTATUS DeleteRegistryTree(HKEY root, const WideString& path) {
    {
        UniqueHkey key;
        const LSTATUS opened = RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, key.put());
        if (opened != ERROR_SUCCESS) return opened;
        WCHAR name[256];
        DWORD length = 256;
        while (RegEnumKeyExW(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS) {
            const LSTATUS deleted = DeleteRegistryTree(key.get(), WideString(name, length));
            if (deleted != ERROR_SUCCESS) return deleted;
            length = 256;
        }
    }
    return RegDeleteKeyW(root, path.c_str());
}

}  // namespace pixelfold
