// platform/linux/bstr.cpp: BSTRs laid out as on Windows: a 32-bit byte length, the text, and
// a zero code unit, with the string pointer at the text.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/allocation.h"
#include "platform/linux/windows_api.h"

namespace {

constexpr std::size_t kPrefixBytes = sizeof(std::uint32_t);

// A string of `byteLength` bytes, followed by two zero bytes; the text is copied when given.
BSTR AllocateBytes(const void* text, std::size_t byteLength) {
    if (byteLength > std::numeric_limits<std::uint32_t>::max() - kPrefixBytes - sizeof(WCHAR) ||
        pixelfold::OtherAllocationFaultDue()) {
        return nullptr;
    }
    auto* block = static_cast<unsigned char*>(
        std::malloc(kPrefixBytes + byteLength + sizeof(WCHAR) + 1));  // +1: odd lengths
    if (block == nullptr) return nullptr;
    const auto length32 = static_cast<std::uint32_t>(byteLength);
    std::memcpy(block, &length32, kPrefixBytes);
    unsigned char* body = block + kPrefixBytes;
    if (text != nullptr) {
        std::memcpy(body, text, byteLength);
    } else {
        std::memset(body, 0, byteLength);
    }
    std::memset(body + byteLength, 0, sizeof(WCHAR) + 1);
    return reinterpret_cast<BSTR>(body);
}

unsigned char* BlockOf(BSTR text) {
    return reinterpret_cast<unsigned char*>(text) - kPrefixBytes;
}

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) return nullptr;
    std::size_t length = 0;
    while (text[length] != 0)
        ++length;
    return AllocateBytes(text, length * sizeof(WCHAR));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    return AllocateBytes(text, std::size_t{length} * sizeof(WCHAR));
}

BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length) {
    return AllocateBytes(bytes, length);
}

void SysFreeString(BSTR text) {
    if (text != nullptr) std::free(BlockOf(text));
}

UINT SysStringByteLen(BSTR text) {
    if (text == nullptr) return 0;
    std::uint32_t length = 0;
    std::memcpy(&length, BlockOf(text), kPrefixBytes);
    return length;
}

UINT SysStringLen(BSTR text) {
    return static_cast<UINT>(SysStringByteLen(text) / sizeof(WCHAR));
}
