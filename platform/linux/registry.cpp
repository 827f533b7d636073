// platform/linux/registry.cpp: the registry as an in-process tree, one per process.
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/linux/windows_api.h"
#include "platform/wide_string.h"

struct HKEY__ {};

namespace {

using pixelfold::WideString;
using pixelfold::WideStringView;

WCHAR Fold(WCHAR c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + (u'a' - u'A')) : c;
}

bool SameName(WideStringView a, WideStringView b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](WCHAR x, WCHAR y) { return Fold(x) == Fold(y); });
}

bool FoldedLess(WideStringView a, WideStringView b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](WCHAR x, WCHAR y) { return Fold(x) < Fold(y); });
}

struct Value {
    WideString name;
    DWORD type;
    std::vector<BYTE> data;
};

// Windows keeps a registry tree at most this many levels of key below a root, and each key
// name to this many characters.
constexpr unsigned kMaxKeyDepth = 512;
constexpr std::size_t kMaxKeyNameLength = 255;

struct Key {
    WideString name;
    WideString keyClass;
    std::weak_ptr<Key> parent;
    unsigned depth = 0;                         // levels below the root; a root is 0
    std::vector<std::shared_ptr<Key>> subkeys;  // sorted by folded name, as Windows lists them
    std::vector<Value> values;                  // in the order written
    bool deleted = false;

    std::shared_ptr<Key> Find(WideStringView child) const {
        for (const auto& k : subkeys) {
            if (SameName(k->name, child)) return k;
        }
        return nullptr;
    }
    Value* FindValue(WideStringView valueName) {
        for (Value& v : values) {
            if (SameName(v.name, valueName)) return &v;
        }
        return nullptr;
    }
};

// A handle: one reference to a key, which stays valid (and answers ERROR_KEY_DELETED) after
// the key is deleted.
struct OpenKey : HKEY__ {
    std::shared_ptr<Key> key;
};

std::mutex registryLock;

std::array<std::shared_ptr<Key>, 7>& Roots() {
    static std::array<std::shared_ptr<Key>, 7> roots = [] {
        std::array<std::shared_ptr<Key>, 7> made;
        for (auto& root : made)
            root = std::make_shared<Key>();
        return made;
    }();
    return roots;
}

bool IsPredefined(HKEY key) {
    const auto value = reinterpret_cast<std::uintptr_t>(key);
    return value >= 0x80000000u && value <= 0x80000006u;
}

// The key behind a handle, or an error code.
LSTATUS Resolve(HKEY handle, std::shared_ptr<Key>& key) {
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if (IsPredefined(handle)) {
        key = Roots()[reinterpret_cast<std::uintptr_t>(handle) - 0x80000000u];
        return ERROR_SUCCESS;
    }
    key = static_cast<OpenKey*>(handle)->key;
    return key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

// Runs one registry call: running out of memory inside it is the call's failure, as on Windows,
// never an exception through the caller.
template <class Call>
LSTATUS Guarded(Call&& call) noexcept {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

std::vector<WideString> PathNames(LPCWSTR path) {
    std::vector<WideString> names;
    if (path == nullptr) return names;
    WideString current;
    for (const WCHAR* c = path; *c != 0; ++c) {
        if (*c == u'\\') {
            if (!current.empty()) names.push_back(current);
            current.clear();
        } else {
            current.push_back(*c);
        }
    }
    if (!current.empty()) names.push_back(current);
    return names;
}

HKEY NewHandle(std::shared_ptr<Key> key) {
    auto* handle = new OpenKey;
    handle->key = std::move(key);
    return handle;
}

// Copies `text` with its terminator into a buffer of `capacity` characters; the length without
// the terminator goes to `length`.
LSTATUS CopyName(const WideString& text, LPWSTR out, DWORD* length) {
    if (out == nullptr || length == nullptr) return ERROR_INVALID_PARAMETER;
    if (*length < text.size() + 1) return ERROR_MORE_DATA;
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = 0;
    *length = static_cast<DWORD>(text.size());
    return ERROR_SUCCESS;
}

LSTATUS CopyData(const Value& value, DWORD* type, BYTE* data, DWORD* size) {
    if (type != nullptr) *type = value.type;
    if (size == nullptr) return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    const auto needed = static_cast<DWORD>(value.data.size());
    if (data != nullptr && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && needed > 0) std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

void MarkDeleted(Key& key) {
    key.deleted = true;
    for (const auto& child : key.subkeys)
        MarkDeleted(*child);
}

// The key at `path` below the key behind `handle`.
LSTATUS FindKey(HKEY handle, LPCWSTR path, std::shared_ptr<Key>& key) {
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    for (const WideString& name : PathNames(path)) {
        key = key->Find(name);
        if (key == nullptr) return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

// RegCreateKeyExW: creates what is missing of `subKey` below the key behind `handle`; the new
// last key gets `keyClass`.
LSTATUS CreateKey(HKEY handle, LPCWSTR subKey, const WideString& keyClass, PHKEY result,
                  DWORD* disposition) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    const std::vector<WideString> names = PathNames(subKey);
    std::size_t existing = 0;  // the leading names that are there already
    for (; existing < names.size(); ++existing) {
        std::shared_ptr<Key> child = key->Find(names[existing]);
        if (child == nullptr) break;
        key = std::move(child);
    }
    // Nothing is created when the whole path does not fit below the depth limit.
    if (key->depth + (names.size() - existing) > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    const DWORD how = existing == names.size() ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    for (std::size_t i = existing; i < names.size(); ++i) {
        // As on Windows, the keys before an overlong name stay created.
        if (names[i].size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
        auto child = std::make_shared<Key>();
        child->name = names[i];
        if (i + 1 == names.size()) child->keyClass = keyClass;
        child->parent = key;
        child->depth = key->depth + 1;
        const auto at = std::find_if(key->subkeys.begin(), key->subkeys.end(), [&](const auto& k) {
            return FoldedLess(child->name, k->name);
        });
        key->subkeys.insert(at, child);
        key = std::move(child);
    }
    *result = NewHandle(std::move(key));
    if (disposition != nullptr) *disposition = how;
    return ERROR_SUCCESS;
}

// RegSetValueExW, which may run out of memory.
LSTATUS SetValue(HKEY handle, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
    const WideString valueName = name == nullptr ? WideString() : WideString(name);
    std::vector<BYTE> bytes(data, data + size);
    if (Value* existing = key->FindValue(valueName)) {
        existing->type = type;
        existing->data = std::move(bytes);
    } else {
        key->values.push_back(Value{valueName, type, std::move(bytes)});
    }
    return ERROR_SUCCESS;
}

// RegDeleteKeyExW, which may run out of memory (it splits the path).
LSTATUS DeleteKey(HKEY handle, LPCWSTR subKey) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = FindKey(handle, subKey, key); status != ERROR_SUCCESS) {
        return status;
    }
    const std::shared_ptr<Key> parent = key->parent.lock();
    if (parent == nullptr) return ERROR_ACCESS_DENIED;  // a root
    if (!key->subkeys.empty()) return ERROR_ACCESS_DENIED;
    std::erase(parent->subkeys, key);
    MarkDeleted(*key);
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY handle, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    return Guarded([&] {
        const std::lock_guard<std::mutex> lock(registryLock);
        std::shared_ptr<Key> key;
        if (const LSTATUS status = FindKey(handle, subKey, key); status != ERROR_SUCCESS) {
            return status;
        }
        *result = NewHandle(std::move(key));
        return LSTATUS{ERROR_SUCCESS};
    });
}

LSTATUS RegCreateKeyExW(HKEY handle, LPCWSTR subKey, DWORD, LPWSTR keyClass, DWORD, REGSAM,
                        const SECURITY_ATTRIBUTES*, PHKEY result, DWORD* disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    return Guarded([&] {
        return CreateKey(handle, subKey, keyClass == nullptr ? WideString() : WideString(keyClass),
                         result, disposition);
    });
}
LSTATUS RegCloseKey(HKEY handle) {
    if (handle == nullptr) return ERROR_INVALID_HANDLE;
    if (IsPredefined(handle)) return ERROR_SUCCESS;
    const std::lock_guard<std::mutex> lock(registryLock);
    delete static_cast<OpenKey*>(handle);
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY handle, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    return Guarded([&] { return SetValue(handle, name, type, data, size); });
}

LSTATUS RegQueryValueExW(HKEY handle, LPCWSTR name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    const Value* value = key->FindValue(name == nullptr ? WideStringView() : WideStringView(name));
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;
    return CopyData(*value, type, data, size);
}

LSTATUS RegDeleteValueW(HKEY handle, LPCWSTR name) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    const WideStringView valueName = name == nullptr ? WideStringView() : WideStringView(name);
    const auto at = std::find_if(key->values.begin(), key->values.end(),
                                 [&](const Value& v) { return SameName(v.name, valueName); });
    if (at == key->values.end()) return ERROR_FILE_NOT_FOUND;
    key->values.erase(at);
    return ERROR_SUCCESS;
}

// Keys have no last-write time (zero).
LSTATUS RegEnumKeyExW(HKEY handle, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*,
                      LPWSTR keyClass, DWORD* classLength, FILETIME* lastWrite) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    if (index >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    if (const LSTATUS status = CopyName(key->subkeys[index]->name, name, nameLength);
        status != ERROR_SUCCESS) {
        return status;
    }
    if (keyClass != nullptr && classLength != nullptr) {
        if (const LSTATUS status = CopyName(key->subkeys[index]->keyClass, keyClass, classLength);
            status != ERROR_SUCCESS) {
            return status;
        }
    }
    if (lastWrite != nullptr) *lastWrite = FILETIME{};
    return ERROR_SUCCESS;
}

LSTATUS RegEnumValueW(HKEY handle, DWORD index, LPWSTR name, DWORD* nameLength, DWORD*, DWORD* type,
                      BYTE* data, DWORD* size) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    if (index >= key->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& value = key->values[index];
    if (const LSTATUS status = CopyName(value.name, name, nameLength); status != ERROR_SUCCESS) {
        return status;
    }
    return CopyData(value, type, data, size);
}

LSTATUS RegQueryInfoKeyW(HKEY handle, LPWSTR, DWORD*, DWORD*, DWORD* subKeys,
                         DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values,
                         DWORD* maxValueNameLength, DWORD* maxValueLength, DWORD*, FILETIME*) {
    const std::lock_guard<std::mutex> lock(registryLock);
    std::shared_ptr<Key> key;
    if (const LSTATUS status = Resolve(handle, key); status != ERROR_SUCCESS) return status;
    std::size_t longestKey = 0, longestClass = 0, longestName = 0, longestValue = 0;
    for (const auto& k : key->subkeys) {
        longestKey = std::max(longestKey, k->name.size());
        longestClass = std::max(longestClass, k->keyClass.size());
    }
    for (const Value& v : key->values) {
        longestName = std::max(longestName, v.name.size());
        longestValue = std::max(longestValue, v.data.size());
    }
    if (subKeys != nullptr) *subKeys = static_cast<DWORD>(key->subkeys.size());
    if (maxSubKeyLength != nullptr) *maxSubKeyLength = static_cast<DWORD>(longestKey);
    if (maxClassLength != nullptr) *maxClassLength = static_cast<DWORD>(longestClass);
    if (values != nullptr) *values = static_cast<DWORD>(key->values.size());
    if (maxValueNameLength != nullptr) *maxValueNameLength = static_cast<DWORD>(longestName);
    if (maxValueLength != nullptr) *maxValueLength = static_cast<DWORD>(longestValue);
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteKeyExW(HKEY handle, LPCWSTR subKey, REGSAM, DWORD) {
    return Guarded([&] { return DeleteKey(handle, subKey); });
}

LSTATUS RegDeleteKeyW(HKEY handle, LPCWSTR subKey) {
    return RegDeleteKeyExW(handle, subKey, 0, 0);
}
