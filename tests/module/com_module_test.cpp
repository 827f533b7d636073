// tests/module/com_module_test.cpp: the module object's own operations.
#include "module/com_module.h"

#include <gtest/gtest.h>

#include "module/module_lock.h"

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

}  // namespace
}  // namespace pixelfold::test
