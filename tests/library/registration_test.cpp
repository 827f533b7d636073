// tests/library/registration_test.cpp: the built library registering and unregistering itself
// through its exports, as an installer calls them: the classes, the type library, the proxies
// and the host's key of file formats.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "module/exports.h"
#include "platform/dynamic_library.h"
#include "platform/utf8.h"
#include "support/library_registry.h"
#include "support/temp_dir.h"

namespace pixelfold::test {
namespace {

constexpr const WCHAR* kClassKeys[] = {
    WTEXT("Pixelfold.ImageFormat.1"),
    WTEXT("Pixelfold.ImageFormat"),
    WTEXT("CLSID\\{A191D39B-7240-4DD8-809C-0164872003CC}"),
    WTEXT("Pixelfold.ImageFile.1"),
    WTEXT("Pixelfold.ImageFile"),
    WTEXT("CLSID\\{BBB4672A-1304-43E6-BBE9-E8C70BD89697}"),
};
constexpr const WCHAR* kTypeLibraryKey = WTEXT("TypeLib\\{B8295866-E400-4753-9903-97115863C4F4}");
constexpr const WCHAR* kProxyKeys[] = {
    WTEXT("Interface\\{E451172D-F168-4767-BA4E-7930744493E3}"),
    WTEXT("Interface\\{B45338F9-9FAE-4F34-920B-0C89177EB87B}"),
    WTEXT("CLSID\\{E451172D-F168-4767-BA4E-7930744493E3}"),
};
constexpr const WCHAR* kFileFormats =
    WTEXT("Software\\Velmora\\Applications\\Orbenfile\\FileFormats");
constexpr const WCHAR* kRemovedEntry = WTEXT(
    "Software\\Velmora\\Applications\\Orbenfile\\FileFormats\\"
    "{A6260D70-CA17-11D5-9179-00C04F56B3AF}");

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// What one class's script writes: its two ProgID keys and its class key.
std::vector<std::vector<std::string>> ClassRows(const std::string& name, const std::string& clsid,
                                                const std::string& model,
                                                const std::string& module) {
    const std::string progId = "Pixelfold." + name;
    const std::string description = name + " Class";
    return {
        Sorted({" @ 1 " + description, "\\CLSID", "\\CLSID @ 1 " + clsid}),
        Sorted({" @ 1 " + description, "\\CLSID", "\\CLSID @ 1 " + clsid, "\\CurVer",
                "\\CurVer @ 1 " + progId + ".1"}),
        Sorted({" @ 1 " + description, "\\ProgID", "\\ProgID @ 1 " + progId + ".1",
                "\\VersionIndependentProgID", "\\VersionIndependentProgID @ 1 " + progId,
                "\\InprocServer32", "\\InprocServer32 @ 1 " + module,
                "\\InprocServer32 @ThreadingModel 1 " + model, "\\TypeLib",
                "\\TypeLib @ 1 {B8295866-E400-4753-9903-97115863C4F4}"}),
    };
}

class Installer {
  public:
    explicit Installer(const std::string& path) : library_(path) {}

    ::testing::AssertionResult Ready() {
        if (!library_.loaded()) return ::testing::AssertionFailure() << library_.error();
        register_ = reinterpret_cast<DllRegisterServerFunction>(library_.Find("DllRegisterServer"));
        unregister_ =
            reinterpret_cast<DllRegisterServerFunction>(library_.Find("DllUnregisterServer"));
        if (register_ == nullptr || unregister_ == nullptr || !LibraryRegistry(library_, calls_)) {
            return ::testing::AssertionFailure() << "an export is missing";
        }
        return ::testing::AssertionSuccess();
    }
    HRESULT Register() const { return register_(); }
    HRESULT Unregister() const { return unregister_(); }
    const RegistryCalls& registry() const { return calls_; }

    std::vector<std::string> Dump(const WCHAR* path) const {
        return DumpRegistry(calls_, HKEY_CLASSES_ROOT, path);
    }
    // The library file as registration wrote it.
    std::string ModulePath() const {
        const std::vector<std::string> lines =
            Dump(WTEXT("CLSID\\{A191D39B-7240-4DD8-809C-0164872003CC}\\InprocServer32"));
        const std::string prefix = " @ 1 ";
        for (const std::string& line : lines) {
            if (line.starts_with(prefix)) return line.substr(prefix.size());
        }
        return {};
    }

  private:
    DynamicLibrary library_;
    DllRegisterServerFunction register_ = nullptr;
    DllRegisterServerFunction unregister_ = nullptr;
    RegistryCalls calls_;
};

class RegistrationTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(installer_.Ready()) << PIXELFOLD_LIBRARY;
        installer_.Unregister();
    }
    void TearDown() override {
        installer_.Unregister();
        DeleteRegistryKeyTree(installer_.registry(), HKEY_CLASSES_ROOT,
                              WTEXT("Pixelfold.ImageFormat"));
    }
    Installer installer_{PIXELFOLD_LIBRARY};
};

TEST_F(RegistrationTest, WritesTheClassesTheTypeLibraryAndTheProxiesAndRemovesThemAgain) {
    ASSERT_EQ(S_OK, installer_.Register());
    const std::string module = installer_.ModulePath();
    ASSERT_TRUE(std::filesystem::path(module).filename() ==
                std::filesystem::path(PIXELFOLD_LIBRARY).filename())
        << module;

    auto expected =
        ClassRows("ImageFormat", "{A191D39B-7240-4DD8-809C-0164872003CC}", "Both", module);
    const auto file =
        ClassRows("ImageFile", "{BBB4672A-1304-43E6-BBE9-E8C70BD89697}", "Apartment", module);
    expected.insert(expected.end(), file.begin(), file.end());
    for (std::size_t i = 0; i < std::size(kClassKeys); ++i)
        EXPECT_EQ(expected[i], installer_.Dump(kClassKeys[i])) << Utf8FromUtf16(kClassKeys[i]);

    // The platform's own rows for the type library; the help folder is the library's folder.
    const std::string folder = module.substr(0, module.find_last_of("\\/"));
    EXPECT_EQ(Sorted({"\\1.0", "\\1.0 @ 1 Pixelfold 1.0 Type Library", "\\1.0\\0",
                      "\\1.0\\0\\win64", "\\1.0\\0\\win64 @ 1 " + module, "\\1.0\\FLAGS",
                      "\\1.0\\FLAGS @ 1 8", "\\1.0\\HELPDIR", "\\1.0\\HELPDIR @ 1 " + folder}),
              installer_.Dump(kTypeLibraryKey));
    // The platform's own rows for the proxies.
    const std::string factory = "{E451172D-F168-4767-BA4E-7930744493E3}";
    for (const auto& [key, name] :
         {std::pair{kProxyKeys[0], "IImageFormat"}, std::pair{kProxyKeys[1], "IImageFile"}}) {
        EXPECT_EQ(Sorted({std::string(" @ 1 ") + name, "\\NumMethods", "\\NumMethods @ 1 3",
                          "\\ProxyStubClsid32", "\\ProxyStubClsid32 @ 1 " + factory}),
                  installer_.Dump(key));
    }
    EXPECT_EQ(Sorted({" @ 1 PSFactoryBuffer", "\\InProcServer32", "\\InProcServer32 @ 1 " + module,
                      "\\InProcServer32 @ThreadingModel 1 Both"}),
              installer_.Dump(kProxyKeys[2]));

    EXPECT_EQ(S_OK, installer_.Unregister());
    for (const WCHAR* key : kClassKeys)
        EXPECT_TRUE(installer_.Dump(key).empty());
    for (const WCHAR* key : kProxyKeys)
        EXPECT_TRUE(installer_.Dump(key).empty());
    EXPECT_FALSE(RegistryKeyExists(installer_.registry(), HKEY_CLASSES_ROOT, kTypeLibraryKey));
    EXPECT_TRUE(RegistryKeyExists(installer_.registry(), HKEY_CLASSES_ROOT, WTEXT("CLSID")));
    // Removing it again finds the class keys absent (no error there), but the type library's
    // unregistration refuses a library that is not registered.
    EXPECT_EQ(E_INVALIDARG, installer_.Unregister());
}

TEST_F(RegistrationTest, RegisteringTwiceEqualsOnceAndRenewsOnlyTheClassKey) {
    ASSERT_EQ(S_OK, installer_.Register());
    std::vector<std::vector<std::string>> once;
    for (const WCHAR* key : kClassKeys)
        once.push_back(installer_.Dump(key));

    const RegistryCalls& calls = installer_.registry();
    ASSERT_TRUE(CreateRegistryKey(calls, HKEY_CLASSES_ROOT,
                                  WTEXT("CLSID\\{A191D39B-7240-4DD8-809C-0164872003CC}\\Stale")));
    ASSERT_TRUE(CreateRegistryKey(calls, HKEY_CLASSES_ROOT, WTEXT("Pixelfold.ImageFormat\\Stale")));
    ASSERT_EQ(S_OK, installer_.Register());
    for (std::size_t i = 0; i < std::size(kClassKeys); ++i) {
        std::vector<std::string> expected = once[i];
        if (i == 1) {
            expected.push_back("\\Stale");
            expected = Sorted(expected);
        }
        EXPECT_EQ(expected, installer_.Dump(kClassKeys[i])) << Utf8FromUtf16(kClassKeys[i]);
    }

    // A key that keeps a subkey the script does not name stays (with its own value), emptied
    // of what the script named.
    EXPECT_EQ(S_OK, installer_.Unregister());
    EXPECT_EQ((std::vector<std::string>{" @ 1 ImageFormat Class", "\\Stale"}),
              installer_.Dump(WTEXT("Pixelfold.ImageFormat")));
}

TEST_F(RegistrationTest, RemovesTheEarlierReleasesEntryFromTheHostsKeyWhenThere) {
    const RegistryCalls& calls = installer_.registry();
    const WideString nested = WideString(kRemovedEntry) + WTEXT("\\Level1\\Level2\\Level3");
    ASSERT_TRUE(CreateRegistryKey(calls, HKEY_LOCAL_MACHINE, nested.c_str()));
    ASSERT_TRUE(CreateRegistryKey(calls, HKEY_LOCAL_MACHINE,
                                  (WideString(kRemovedEntry) + WTEXT("\\Sibling")).c_str()));
    const WideString other = WideString(kFileFormats) + WTEXT("\\Other");
    ASSERT_TRUE(CreateRegistryKey(calls, HKEY_LOCAL_MACHINE, other.c_str()));

    ASSERT_EQ(S_OK, installer_.Register());
    EXPECT_FALSE(RegistryKeyExists(calls, HKEY_LOCAL_MACHINE, kRemovedEntry));
    EXPECT_TRUE(RegistryKeyExists(calls, HKEY_LOCAL_MACHINE, other.c_str()));

    ASSERT_TRUE(DeleteRegistryKeyTree(calls, HKEY_LOCAL_MACHINE, WTEXT("Software\\Velmora")));
    EXPECT_EQ(S_OK, installer_.Register()) << "the same result without the host's key";
    EXPECT_FALSE(RegistryKeyExists(calls, HKEY_LOCAL_MACHINE, kFileFormats));
}

TEST(RegistrationPathTest, AQuoteInTheLibraryPathIsWrittenUnchanged) {
    const TempDir folder;
    const std::filesystem::path source(PIXELFOLD_LIBRARY);
    const std::filesystem::path quoted = folder.path() / "it's here";
    std::filesystem::create_directories(quoted);
    std::filesystem::copy_file(source, quoted / source.filename());
    {
        Installer installer((quoted / source.filename()).string());
        ASSERT_TRUE(installer.Ready());
        ASSERT_EQ(S_OK, installer.Register());
        const std::string module = installer.ModulePath();
        EXPECT_NE(std::string::npos, module.find("it's here")) << module;
        EXPECT_EQ(S_OK, installer.Unregister());
        EXPECT_FALSE(RegistryKeyExists(installer.registry(), HKEY_CLASSES_ROOT, kClassKeys[2]));
    }
}

// A library whose path does not fit 260 characters cannot record where it is: registration
// fails before its first step and writes nothing, the host's key left as it was.
TEST(RegistrationPathTest, ALibraryPathOf260CharactersOrMoreRegistersNothing) {
    const TempDir folder;
    const std::filesystem::path source(PIXELFOLD_LIBRARY);
    std::filesystem::path deep = folder.path();
    while (deep.string().size() + source.filename().string().size() < 270)
        deep /= std::string(40, 'd');
    std::filesystem::create_directories(deep);
    std::filesystem::copy_file(source, deep / source.filename());
    Installer installer((deep / source.filename()).string());
    if (!installer.Ready())
        GTEST_SKIP() << "the system does not load a library from so long a path";
    const RegistryCalls& calls = installer.registry();
    ASSERT_TRUE(CreateRegistryKey(calls, HKEY_LOCAL_MACHINE, kRemovedEntry));

    EXPECT_EQ(static_cast<HRESULT>(0x8007007Au), installer.Register());  // insufficient buffer
    for (const WCHAR* key : kClassKeys)
        EXPECT_FALSE(RegistryKeyExists(calls, HKEY_CLASSES_ROOT, key));
    for (const WCHAR* key : kProxyKeys)
        EXPECT_FALSE(RegistryKeyExists(calls, HKEY_CLASSES_ROOT, key));
    EXPECT_FALSE(RegistryKeyExists(calls, HKEY_CLASSES_ROOT, kTypeLibraryKey));
    EXPECT_TRUE(RegistryKeyExists(calls, HKEY_LOCAL_MACHINE, kRemovedEntry));
    EXPECT_TRUE(DeleteRegistryKeyTree(calls, HKEY_LOCAL_MACHINE, WTEXT("Software\\Velmora")));
}

#if defined(_WIN32)
// The DLL's resources as an installer and the registration code read them.
TEST(RegistrationResourceTest, ScriptsAreTheFilesByteForByteAndTheVersionMarksSelfRegistration) {
    const WideString dll = Utf16FromUtf8(PIXELFOLD_LIBRARY);
    const HMODULE module = LoadLibraryExW(reinterpret_cast<const wchar_t*>(dll.c_str()), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    for (const auto& [id, file] : {std::pair{101, "image_format.rgs"}, {102, "image_file.rgs"}}) {
        std::ifstream in(std::string(PIXELFOLD_SOURCE_DIR "/resources/") + file, std::ios::binary);
        const std::string expected((std::istreambuf_iterator<char>(in)), {});
        const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
        ASSERT_NE(nullptr, resource) << id;
        const std::string bytes(
            static_cast<const char*>(LockResource(LoadResource(module, resource))),
            SizeofResource(module, resource));
        EXPECT_EQ(expected, bytes) << file;
        EXPECT_TRUE(bytes.starts_with("HKCR\r\n{\r\n\tPixelfold.")) << file;
    }
    EXPECT_NE(nullptr, FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"));
    FreeLibrary(module);

    DWORD handle = 0;
    const DWORD size =
        GetFileVersionInfoSizeW(reinterpret_cast<const wchar_t*>(dll.c_str()), &handle);
    ASSERT_NE(0u, size);
    std::vector<BYTE> version(size);
    ASSERT_TRUE(GetFileVersionInfoW(reinterpret_cast<const wchar_t*>(dll.c_str()), 0, size,
                                    version.data()));
    void* value = nullptr;
    UINT length = 99;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\OLESelfRegister",
                               &value, &length));
    ASSERT_LE(length, 1u) << "empty text, at most its terminator";
    if (length == 1) {
        EXPECT_EQ(L'\0', *static_cast<const wchar_t*>(value));
    }
}
#endif

}  // namespace
}  // namespace pixelfold::test
