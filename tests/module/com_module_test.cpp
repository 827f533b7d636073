// tests/module/com_module_test.cpp: the module object's own operations.
#include "module/com_module.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "com/module_lock.h"
#include "module/registration.h"
#include "pixelfold/pixelfold.h"
#include "platform/unique.h"
#include "plugin/image_interfaces.h"
#include "support/registry_dump.h"

namespace pixelfold::test {
namespace {

TEST(ComModuleTest, LockCountMovesOneAtATimeAndReportsTheNewCount) {
    const std::int32_t before = g_pModule->ModuleLockCount();
    EXPECT_EQ(before + 1, g_pModule->AcquireModuleLock());
    EXPECT_EQ(before + 2, AcquireModuleLock());
    EXPECT_EQ(before + 2, ModuleLockCount());
    EXPECT_EQ(before + 1, ReleaseModuleLock());
    EXPECT_EQ(before, g_pModule->ReleaseModuleLock());
}

TEST(ComModuleTest, UnusedRegistrationOperationsFailAndNullOutPointersAreRefused) {
    EXPECT_EQ(E_FAIL, g_pModule->UpdateRegistryFromResourceD(WTEXT("REGISTRY"), TRUE, nullptr));
    EXPECT_EQ(E_FAIL, g_pModule->UpdateRegistryFromResourceD(101u, TRUE, nullptr));
    EXPECT_EQ(E_POINTER, g_pModule->GetGlobalInterfaceTable(nullptr));
}

TEST(ComModuleTest, ClassObjectsAreServedOnlyAfterAttach) {
    // The test program holds the module object but never attaches it: no map, no classes.
    void* out = &out;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              g_module.GetClassObjectFromMap(CLSID_ImageFormat, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
}

// The test program has no type library of its own; the library's is copied beside it as
// "pixelfold_tests.tlb", where the module looks next.
TEST(ComModuleTest, TypeLibraryComesFromTheTlbFileBesideTheModule) {
    BSTR* noPath = nullptr;
    ITypeLib* library = nullptr;
    EXPECT_EQ(E_POINTER, LoadModuleTypeLibrary(nullptr, noPath, &library));
    UniqueBstr path;
    ASSERT_EQ(S_OK, LoadModuleTypeLibrary(nullptr, path.put(), &library));
    const WideStringView loaded(path.get());
    EXPECT_TRUE(loaded.ends_with(WTEXT("pixelfold_tests.tlb")));

    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
    constexpr GUID kLibraryId = {
        0xB8295866, 0xE400, 0x4753, {0x99, 0x03, 0x97, 0x11, 0x58, 0x63, 0xC4, 0xF4}};
    EXPECT_TRUE(attributes->guid == kLibraryId);
    EXPECT_EQ(1, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    EXPECT_EQ(0u, attributes->lcid);
    library->ReleaseTLibAttr(attributes);
    UniqueBstr name;
    UniqueBstr description;
    UniqueBstr helpFile;
    ASSERT_EQ(S_OK, library->GetDocumentation(-1, name.put(), description.put(), nullptr,
                                              helpFile.put()));
    EXPECT_EQ(WideStringView(WTEXT("PIXELFOLDLib")), WideStringView(name.get()));
    EXPECT_EQ(WideStringView(WTEXT("Pixelfold 1.0 Type Library")),
              WideStringView(description.get()));
    EXPECT_EQ(nullptr, helpFile.get());
    void* unknown = nullptr;
    EXPECT_EQ(S_OK, library->QueryInterface(IID_IUnknown, &unknown));
    if (unknown != nullptr) static_cast<IUnknown*>(unknown)->Release();
    EXPECT_EQ(E_NOINTERFACE, library->QueryInterface(IID_IClassFactory, &unknown));
    library->Release();
}

std::string GuidDigits(const GUID& id) {
    char text[40];
    std::snprintf(text, sizeof text, "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned long>(id.Data1), id.Data2, id.Data3, id.Data4[0],
                  id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6],
                  id.Data4[7]);
    return text;
}

// The identifiers the code uses are the ones the type library and its registration declare,
// the host's interfaces have theirs, and on Linux, where the build defines COM's own, those
// are the published ones.
TEST(ComModuleTest, ClassAndInterfaceIdsAreTheOnesTheInterfaceDefinitionDeclares) {
    std::ifstream file(PIXELFOLD_SOURCE_DIR "/resources/pixelfold.idl");
    ASSERT_TRUE(file) << PIXELFOLD_SOURCE_DIR "/resources/pixelfold.idl";
    const std::string idl{std::istreambuf_iterator<char>(file), {}};
    const std::pair<GUID, const char*> ids[] = {{IID_IImageFormat, "IImageFormat Interface"},
                                                {IID_IImageFile, "IImageFile Interface"},
                                                {CLSID_ImageFormat, "ImageFormat Class"},
                                                {CLSID_ImageFile, "ImageFile Class"}};
    for (const auto& [id, help] : ids) {
        const std::string declared = "uuid(" + GuidDigits(id) + "), helpstring(\"" + help + "\")";
        EXPECT_NE(std::string::npos, idl.find(declared)) << declared;
    }
    EXPECT_EQ("E582AD85-DE1A-11D3-90FA-00C04F56B3AF", GuidDigits(IID_IVltFileFormat));
    EXPECT_EQ("BD69F871-9BC6-11D5-9174-00C04F56B3AF", GuidDigits(IID_IVltFileFormat2));
    EXPECT_EQ("E582AD87-DE1A-11D3-90FA-00C04F56B3AF", GuidDigits(IID_IVltFileNavigator));
#if !defined(_WIN32)
    EXPECT_EQ("00000000-0000-0000-C000-000000000046", GuidDigits(IID_IUnknown));
    EXPECT_EQ("00000001-0000-0000-C000-000000000046", GuidDigits(IID_IClassFactory));
    EXPECT_EQ("00000003-0000-0000-C000-000000000046", GuidDigits(IID_IMarshal));
#endif
}

// Two classes whose registration scripts log what they are asked and fail when told to.
struct ScriptedClasses {
    static inline std::string log;
    static inline int failing = -1;  // the row whose script fails

    static HRESULT Update(int row, BOOL doRegister) {
        if (!log.empty()) log += ' ';
        log += doRegister ? '+' : '-';
        log += static_cast<char>('0' + row);
        return row == failing ? DISP_E_EXCEPTION : S_OK;
    }
    static HRESULT UpdateFirst(BOOL doRegister) { return Update(0, doRegister); }
    static HRESULT UpdateSecond(BOOL doRegister) { return Update(1, doRegister); }
    static const WCHAR* Description() { return WTEXT("Scripted"); }
    static const void* NoCategories() { return nullptr; }
    static void Main(bool) {}
};

constexpr const WCHAR* kTypeLibraryKey = WTEXT("TypeLib\\{B8295866-E400-4753-9903-97115863C4F4}");

bool TypeLibraryRegistered() {
    return RegistryKeyExists(ProgramRegistry(), HKEY_CLASSES_ROOT, kTypeLibraryKey);
}

// The classes are registered in map order and the type library last; the first failing class
// stops everything after it, in either direction.
TEST(ComModuleTest, TheFirstFailingClassStopsRegistrationAndUnregistration) {
    struct Case {
        bool doRegister;
        int failing;
        HRESULT result;
        const char* log;
        bool typeLibraryAfter;  // it is registered before unregistering, and not before registering
    };
    ObjectMapEntry rows[] = {
        {&CLSID_ImageFormat,
         &ScriptedClasses::UpdateFirst,
         nullptr,
         nullptr,
         {},
         &ScriptedClasses::Description,
         &ScriptedClasses::NoCategories,
         &ScriptedClasses::Main},
        {&CLSID_ImageFile,
         &ScriptedClasses::UpdateSecond,
         nullptr,
         nullptr,
         {},
         &ScriptedClasses::Description,
         &ScriptedClasses::NoCategories,
         &ScriptedClasses::Main},
    };
    CComModule module;
    module.Attach(nullptr, rows);  // the test program, whose type library lies beside it
    for (const Case& c :
         {Case{true, -1, S_OK, "+0 +1", true}, Case{true, 0, DISP_E_EXCEPTION, "+0", false},
          Case{true, 1, DISP_E_EXCEPTION, "+0 +1", false}, Case{false, -1, S_OK, "-0 -1", false},
          Case{false, 0, DISP_E_EXCEPTION, "-0", true}}) {
        SCOPED_TRACE(testing::Message()
                     << (c.doRegister ? "register" : "unregister") << ", failing " << c.failing);
        if (c.doRegister) {
            (void)UnregisterTypeLibrary(nullptr);
        } else {
            ASSERT_EQ(S_OK, RegisterTypeLibrary(nullptr));
        }
        ScriptedClasses::log.clear();
        ScriptedClasses::failing = c.failing;
        EXPECT_EQ(c.result, c.doRegister ? module.RegisterServer(TRUE, nullptr)
                                         : module.UnregisterServer(TRUE, nullptr));
        EXPECT_EQ(c.log, ScriptedClasses::log);
        EXPECT_EQ(c.typeLibraryAfter, TypeLibraryRegistered());
    }
    (void)UnregisterTypeLibrary(nullptr);
}

}  // namespace
}  // namespace pixelfold::test
