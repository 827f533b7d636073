// tests/platform/registry_test.cpp: the registry rules the plug-in relies on. The same tests run
// against Windows' registry (Wine's) and the in-process stand-in, under a private key that each
// test removes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/registry_keys.h"
#include "platform/unique.h"
#include "platform/wide_string.h"

namespace pixelfold::test {
namespace {

// Stops at the first key it cannot delete, rather than listing it again and again.
bool DeleteTree(HKEY parent, const WideString& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return false;
    }
    for (;;) {
        WCHAR child[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            !DeleteTree(key, child)) {
            break;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS;
}

class RegistryTest : public testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        const std::string name = "Software\\PixelfoldTests\\run" + std::to_string(random());
        path_ = WideString(name.begin(), name.end());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr,
                                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                                 &root_, nullptr));
    }
    void TearDown() override {
        RegCloseKey(root_);
        DeleteTree(HKEY_CURRENT_USER, path_);
        DeleteTree(HKEY_CURRENT_USER, WTEXT("Software\\PixelfoldTests"));
    }

    LONG Create(const WCHAR* path, HKEY* key, DWORD* disposition = nullptr) {
        return RegCreateKeyExW(root_, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                               nullptr, key, disposition);
    }

    WideString path_;
    HKEY root_ = nullptr;
};

TEST_F(RegistryTest, KeysAreFoundWithoutRegardToCase) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, Create(WTEXT("CLSID\\{Abc}\\InprocServer32"), &key, &disposition));
    EXPECT_EQ(REG_CREATED_NEW_KEY, disposition);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, Create(WTEXT("clsid\\{ABC}"), &key, &disposition));
    EXPECT_EQ(REG_OPENED_EXISTING_KEY, disposition);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(root_, WTEXT("CLSID\\{abc}\\INPROCSERVER32"), 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(root_, WTEXT("CLSID\\{xyz}"), 0, KEY_READ, &key));
}

#if !defined(_WIN32)
// Windows keeps a tree at most 512 levels of key deep (Wine sets no limit, so this runs on
// the stand-in only). The test's own key is 3 levels below the root.
TEST_F(RegistryTest, KeysStandAtMost512LevelsBelowARoot) {
    UniqueHkey key;
    for (int level = 4; level <= 512; ++level) {
        HKEY next = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key ? key.get() : root_, WTEXT("a"), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &next, nullptr))
            << level;
        key.reset(next);
    }
    HKEY deeper = nullptr;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExW(key.get(), WTEXT("a"), 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &deeper, nullptr));
    // A path that does not fit creates nothing of itself.
    WideString path = WTEXT("b");
    for (int level = 5; level <= 513; ++level)
        path += WTEXT("\\b");
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Create(path.c_str(), &deeper));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(root_, WTEXT("b"), 0, KEY_READ, &deeper));
}
#endif

TEST_F(RegistryTest, ValuesKeepTheTypeTheyWereWrittenWith) {
    const WCHAR text[] = WTEXT("Both");
    const DWORD number = 0x12345678;
    const BYTE multi[] = {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root_, nullptr, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(text), sizeof text));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root_, WTEXT("Number"), 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&number), 4));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root_, WTEXT("Empty"), 0, REG_BINARY, nullptr, 0));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(root_, WTEXT("Multi"), 0, REG_MULTI_SZ, multi, 10));

    struct Expected {
        const WCHAR* name;
        DWORD type;
        DWORD size;
    };
    for (const Expected& e :
         {Expected{nullptr, REG_SZ, sizeof text}, Expected{WTEXT("number"), REG_DWORD, 4},
          Expected{WTEXT("EMPTY"), REG_BINARY, 0}, Expected{WTEXT("Multi"), REG_MULTI_SZ, 10}}) {
        DWORD type = 0;
        BYTE data[64] = {};
        DWORD size = sizeof data;
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(root_, e.name, nullptr, &type, data, &size));
        EXPECT_EQ(e.type, type);
        EXPECT_EQ(e.size, size);
    }
    DWORD size = 2;
    BYTE small[2];
    EXPECT_EQ(ERROR_MORE_DATA,
              RegQueryValueExW(root_, WTEXT("Number"), nullptr, nullptr, small, &size));
    EXPECT_EQ(4u, size);

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(root_, WTEXT("NUMBER")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(root_, WTEXT("Number")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExW(root_, WTEXT("Number"), nullptr, nullptr, nullptr, nullptr));
}

TEST_F(RegistryTest, AKeyWithSubkeysIsNotDeletedByThePlainDeletion) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Create(WTEXT("Parent\\Child"), &key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(root_, WTEXT("Parent")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(root_, WTEXT("Parent\\Nobody")));

    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(root_, WTEXT("Parent"), 0, KEY_ALL_ACCESS, &key));
    DWORD subkeys = 9, values = 9;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(1u, subkeys);
    EXPECT_EQ(0u, values);
    WCHAR name[256];
    DWORD length = 256;
    ASSERT_EQ(ERROR_SUCCESS,
              RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(WideString(WTEXT("Child")), WideString(name, length));
    length = 256;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumKeyExW(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);

    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(root_, WTEXT("parent\\CHILD")));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(root_, WTEXT("Parent")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(root_, WTEXT("Parent"), 0, KEY_READ, &key));
}

// Each key name is at most 255 characters: a longer one is refused (the keys of the path before
// it are made), so that every name fits the 256 characters by which keys are listed and
// deleted.
TEST_F(RegistryTest, KeyNamesAreAtMost255Characters) {
    const WideString longest(255, WCHAR{'k'});
    const WideString tooLong(300, WCHAR{'k'});
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Create(tooLong.c_str(), &key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, Create((WTEXT("New\\") + tooLong).c_str(), &key));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(root_, WTEXT("New"), 0, KEY_READ, &key));
    RegCloseKey(key);
    for (const WideString& name : {WideString(WTEXT("a")), longest, WideString(WTEXT("z"))}) {
        ASSERT_EQ(ERROR_SUCCESS, Create((WTEXT("Tree\\") + name).c_str(), &key));
        RegCloseKey(key);
    }
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(root_, WTEXT("Tree")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(root_, WTEXT("Tree"), 0, KEY_READ, &key));
}

TEST_F(RegistryTest, AHandleToADeletedKeyReportsIt) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, Create(WTEXT("Gone"), &key));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(root_, WTEXT("Gone")));
    const DWORD number = 1;
    EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExW(key, WTEXT("x"), 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&number), 4));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}

}  // namespace
}  // namespace pixelfold::test
