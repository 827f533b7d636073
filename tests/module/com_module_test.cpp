// tests/module/com_module_test.cpp: the module object's own operations.
#include "module/com_module.h"

#include <gtest/gtest.h>

#include "com/module_lock.h"
#include "module/registration.h"
#include "pixelfold/pixelfold.h"
#include "platform/unique.h"

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
    library->Release();
}

}  // namespace
}  // namespace pixelfold::test
