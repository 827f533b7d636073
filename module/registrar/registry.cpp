// module/registrar/registry.cpp: the key wrapper.
#include "module/registrar/registry.h"

#include <new>

#include "platform/allocation.h"

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
    try {
        // A class longer than the buffer: the subkey is there, and is listed again with
        // buffers of the sizes the key reports.
        if (lastResult_ == ERROR_MORE_DATA) return EnumLongSubkey(index, name, keyClass, lastWrite);
        if (lastResult_ != ERROR_SUCCESS) return false;
        name.assign(nameBuffer, nameLength);
        keyClass.assign(classBuffer, classLength);
    } catch (const std::bad_alloc&) {
        lastResult_ = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    if (lastWrite != nullptr) *lastWrite = written;
    return true;
}

bool Registry::EnumLongSubkey(DWORD index, WideString& name, WideString& keyClass,
                              FILETIME* lastWrite) {
    DWORD longestName = 0;
    DWORD longestClass = 0;
    lastResult_ = RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, &longestName,
                                   &longestClass, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (lastResult_ != ERROR_SUCCESS) return false;
    if (AllocationFaultDue()) throw std::bad_alloc();
    WideString nameBuffer(std::size_t{longestName} + 1, WCHAR{0});
    WideString classBuffer(std::size_t{longestClass} + 1, WCHAR{0});
    DWORD nameLength = longestName + 1;
    DWORD classLength = longestClass + 1;
    FILETIME written{};
    lastResult_ = RegEnumKeyExW(key_, index, nameBuffer.data(), &nameLength, nullptr,
                                classBuffer.data(), &classLength, &written);
    if (lastResult_ != ERROR_SUCCESS) return false;
    name.assign(nameBuffer, 0, nameLength);
    keyClass.assign(classBuffer, 0, classLength);
    if (lastWrite != nullptr) *lastWrite = written;
    return true;
}

}  // namespace pixelfold
