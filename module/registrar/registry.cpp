// module/registrar/registry.cpp: the key wrapper.
#include "module/registrar/registry.h"

#include <new>

namespace pixelfold {
namespace {

constexpr DWORD kNameCapacity = 1024;
constexpr REGSAM kReadWrite = 0x2001F;

}  // namespace

bool Registry::Open(HKEY parent, const WCHAR* subKey, REGSAM access) noexcept {
    Close();
    HKEY opened = nullptr;
    lastResult_ = RegOpenKeyExW(parent, subKey, 0, access, &opened);
    if (lastResult_ != ERROR_SUCCESS) return false;
    key_ = opened;
    return true;
}

void Registry::Close() noexcept {
    if (key_ == nullptr) return;
    lastResult_ = RegCloseKey(key_);
    key_ = nullptr;
}

bool Registry::DeleteTree(const WCHAR* subKey) noexcept {
    {
        Registry child;
        if (child.Open(key_, subKey, kReadWrite)) {
            WideString name;
            WideString keyClass;
            DWORD index = 0;
            while (child.EnumSubkey(index, name, keyClass, nullptr)) {
                // A deleted subkey's place is taken by the next one; one that stays is stepped
                // over.
                if (!child.DeleteTree(name.c_str())) ++index;
            }
        }
    }
    lastResult_ = RegDeleteKeyW(key_, subKey);
    return lastResult_ == ERROR_SUCCESS;
}

bool Registry::EnumSubkey(DWORD index, WideString& name, WideString& keyClass,
                          FILETIME* lastWrite) noexcept {
    WCHAR nameBuffer[kNameCapacity];
    WCHAR classBuffer[kNameCapacity];
    DWORD nameLength = kNameCapacity;
    DWORD classLength = kNameCapacity;
    FILETIME written{};
    lastResult_ = RegEnumKeyExW(key_, index, nameBuffer, &nameLength, nullptr, classBuffer,
                                &classLength, &written);
    if (lastResult_ != ERROR_SUCCESS) return false;
    try {
        name.assign(nameBuffer, nameLength);
        keyClass.assign(classBuffer, classLength);
    } catch (const std::bad_alloc&) {
        lastResult_ = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    if (lastWrite != nullptr) *lastWrite = written;
    return true;
}

}  // namespace pixelfold
