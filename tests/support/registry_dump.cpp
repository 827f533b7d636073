// tests/support/registry_dump.cpp: reading and tidying the registry in tests.
#include "support/registry_dump.h"

#include <algorithm>

#include "platform/utf8.h"
#include "platform/wide_string.h"

namespace pixelfold::test {
namespace {

void Dump(const RegistryCalls& calls, HKEY key, const std::string& path,
          std::vector<std::string>& lines) {
    for (DWORD i = 0;; ++i) {
        WCHAR name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[4096];
        DWORD size = sizeof data;
        if (calls.enumValue(key, i, name, &nameLength, nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        std::string text = path + " @" + Utf8FromUtf16(WideStringView(name, nameLength)) + " " +
                           std::to_string(type) + " ";
        if (type == REG_SZ) {
            text += Utf8FromUtf16(WideStringView(reinterpret_cast<const WCHAR*>(data)));
        } else {
            for (DWORD b = 0; b < size; ++b) {
                text += "0123456789abcdef"[data[b] >> 4];
                text += "0123456789abcdef"[data[b] & 15];
            }
        }
        lines.push_back(text);
    }
    for (DWORD i = 0;; ++i) {
        WCHAR name[256];
        DWORD length = 256;
        if (calls.enumKey(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        const std::string child = path + "\\" + Utf8FromUtf16(WideStringView(name, length));
        lines.push_back(child);
        HKEY sub = nullptr;
        if (calls.open(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            Dump(calls, sub, child, lines);
            calls.close(sub);
        }
    }
}

}  // namespace

std::vector<std::string> DumpRegistry(const RegistryCalls& calls, HKEY root, const WCHAR* path) {
    std::vector<std::string> lines;
    HKEY key = nullptr;
    if (calls.open(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return lines;
    Dump(calls, key, "", lines);
    calls.close(key);
    std::sort(lines.begin(), lines.end());
    return lines;
}

bool RegistryKeyExists(const RegistryCalls& calls, HKEY root, const WCHAR* path) {
    HKEY key = nullptr;
    if (calls.open(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    calls.close(key);
    return true;
}

bool CreateRegistryKey(const RegistryCalls& calls, HKEY root, const WCHAR* path) {
    HKEY key = nullptr;
    if (calls.create(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                     nullptr) != ERROR_SUCCESS) {
        return false;
    }
    calls.close(key);
    return true;
}

bool DeleteRegistryKeyTree(const RegistryCalls& calls, HKEY root, const WCHAR* path) {
    HKEY key = nullptr;
    if (calls.open(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return true;
    for (;;) {
        WCHAR name[256];
        DWORD length = 256;
        if (calls.enumKey(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        if (!DeleteRegistryKeyTree(calls, key, name)) break;
    }
    calls.close(key);
    return calls.deleteKey(root, path) == ERROR_SUCCESS;
}

}  // namespace pixelfold::test
