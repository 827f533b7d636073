// tests/library/library_test.cpp: the built library loaded at run time and used only through
// its exports, as a host uses it: class objects, unloading, aggregation, the proxy layer.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "module/exports.h"
#include "module/object_map.h"
#include "pixelfold/pixelfold.h"
#include "platform/dynamic_library.h"
#include "support/com.h"
#include "support/temp_dir.h"

namespace pixelfold::test {
namespace {

constexpr CLSID kProxyStubClsid = {
    0xE451172D, 0xF168, 0x4767, {0xBA, 0x4E, 0x79, 0x30, 0x74, 0x44, 0x93, 0xE3}};
constexpr IID kIPSFactoryBuffer = {
    0xD5F569D0, 0x593B, 0x101A, {0xB5, 0x69, 0x08, 0x00, 0x2B, 0x2D, 0xBF, 0x7A}};
constexpr CLSID kUnknownClsid = {
    0x12345678, 0x1234, 0x1234, {0x12, 0x34, 0x12, 0x34, 0x12, 0x34, 0x12, 0x34}};

// IClassFactory's slots after IUnknown.
constexpr std::size_t kCreateInstance = 3;
constexpr std::size_t kLockServer = 4;

// Each test loads the library afresh, so that it starts with no class object cached.
class LibraryTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library_.loaded()) << PIXELFOLD_LIBRARY << ": " << library_.error();
        getClassObject_ =
            reinterpret_cast<DllGetClassObjectFunction>(library_.Find("DllGetClassObject"));
        canUnloadNow_ = reinterpret_cast<DllCanUnloadNowFunction>(library_.Find("DllCanUnloadNow"));
        ASSERT_NE(nullptr, getClassObject_);
        ASSERT_NE(nullptr, canUnloadNow_);
        ASSERT_TRUE(BindHostRuntime(library_, runtime_));
    }

    ComRef<IUnknown> ClassObject(const CLSID& clsid) {
        ComRef<IUnknown> factory;
        EXPECT_EQ(S_OK, getClassObject_(clsid, IID_IClassFactory, factory.put()));
        return factory;
    }
    bool CanUnload() { return canUnloadNow_() == S_OK; }

    DynamicLibrary library_{PIXELFOLD_LIBRARY};
    DllGetClassObjectFunction getClassObject_ = nullptr;
    DllCanUnloadNowFunction canUnloadNow_ = nullptr;
    HostRuntime runtime_;
};

TEST_F(LibraryTest, TheSameClassObjectEveryTime) {
    const ComRef<IUnknown> first = ClassObject(CLSID_ImageFormat);
    const ComRef<IUnknown> second = ClassObject(CLSID_ImageFormat);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), second.get());
    const ComRef<IUnknown> file = ClassObject(CLSID_ImageFile);
    EXPECT_NE(first.get(), file.get());

    ComRef<IUnknown> unknown;
    EXPECT_EQ(S_OK, QueryInterfaceOf(first.get(), IID_IUnknown, unknown.put()));
    EXPECT_EQ(first.get(), unknown.get());
    void* none = &none;
    EXPECT_EQ(E_NOINTERFACE, QueryInterfaceOf(first.get(), IID_IVltFileFormat, &none));
    EXPECT_EQ(nullptr, none);
}

TEST_F(LibraryTest, UnloadableOnlyWhileNothingIsAlive) {
    EXPECT_TRUE(CanUnload()) << "right after loading";
    ComRef<IUnknown> factory = ClassObject(CLSID_ImageFormat);
    EXPECT_FALSE(CanUnload()) << "a class object is held";
    ComRef<IVltFileFormat> format;
    ASSERT_EQ(S_OK,
              CallSlot<HRESULT>(factory.get(), kCreateInstance, static_cast<IUnknown*>(nullptr),
                                &IID_IVltFileFormat, format.put()));
    factory.reset();
    EXPECT_FALSE(CanUnload()) << "a format object is alive";
    format.reset();
    EXPECT_TRUE(CanUnload()) << "the class object stays cached, holding no lock";

    factory = ClassObject(CLSID_ImageFile);
    EXPECT_EQ(S_OK, CallSlot<HRESULT>(factory.get(), kLockServer, BOOL{TRUE}));
    factory.reset();
    EXPECT_FALSE(CanUnload()) << "locked";
    factory = ClassObject(CLSID_ImageFile);
    EXPECT_EQ(S_OK, CallSlot<HRESULT>(factory.get(), kLockServer, BOOL{FALSE}));
    factory.reset();
    EXPECT_TRUE(CanUnload());
}

TEST_F(LibraryTest, NavigatorFromItsClassObjectIsNeverOpened) {
    ComRef<IVltFileNavigator> navigator;
    {
        const ComRef<IUnknown> factory = ClassObject(CLSID_ImageFile);
        ASSERT_EQ(S_OK,
                  CallSlot<HRESULT>(factory.get(), kCreateInstance, static_cast<IUnknown*>(nullptr),
                                    &IID_IVltFileNavigator, navigator.put()));
    }
    ValueRequest request{};
    request.name = runtime_.sysAllocString(WTEXT("Width"));
    request.group = runtime_.sysAllocString(WTEXT("Image"));
    EXPECT_EQ(S_OK, CallSlot<HRESULT>(navigator.get(), 10, INT_PTR{0}, 0, INT_PTR{0}, 1, &request));
    EXPECT_EQ(1, request.found);
    EXPECT_EQ(VT_I4, request.value.vt);
    EXPECT_EQ(0, request.value.lVal);
    runtime_.sysFreeString(request.name);
    runtime_.sysFreeString(request.group);
    runtime_.variantClear(&request.value);
    navigator.reset();
    EXPECT_TRUE(CanUnload());
}

TEST_F(LibraryTest, AggregationOnlyForIUnknown) {
    for (const CLSID* clsid : {&CLSID_ImageFormat, &CLSID_ImageFile}) {
        const ComRef<IUnknown> factory = ClassObject(*clsid);
        TestOuter outer;
        ComRef<IUnknown> inner;
        ASSERT_EQ(S_OK, CallSlot<HRESULT>(factory.get(), kCreateInstance, outer.unknown(),
                                          &IID_IUnknown, inner.put()));
        outer.inner = inner.get();
        EXPECT_FALSE(CanUnload());
        ComRef<IUnknown> identity;
        void* anyInterface = nullptr;
        const IID& iid = clsid == &CLSID_ImageFormat ? IID_IVltFileFormat : IID_IVltFileNavigator;
        ASSERT_EQ(S_OK, QueryInterfaceOf(inner.get(), iid, &anyInterface));
        ASSERT_EQ(S_OK, QueryInterfaceOf(anyInterface, IID_IUnknown, identity.put()));
        EXPECT_EQ(outer.unknown(), identity.get());
        ReleaseOf(anyInterface);
        identity.reset();
        inner.reset();

        void* refused = &refused;
        EXPECT_EQ(CLASS_E_NOAGGREGATION,
                  CallSlot<HRESULT>(factory.get(), kCreateInstance, outer.unknown(),
                                    &IID_IVltFileFormat, &refused));
        EXPECT_EQ(nullptr, refused);
        EXPECT_EQ(1u, outer.count);
    }
    EXPECT_TRUE(CanUnload());
}

TEST_F(LibraryTest, UnknownClassAndNullPointers) {
    void* out = &out;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject_(kUnknownClsid, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    const ComRef<IUnknown> factory = ClassObject(CLSID_ImageFormat);
    EXPECT_EQ(E_POINTER,
              CallSlot<HRESULT>(factory.get(), kCreateInstance, static_cast<IUnknown*>(nullptr),
                                &IID_IUnknown, static_cast<void**>(nullptr)));
}

TEST_F(LibraryTest, ProxyStubClassIsTheProxyLayers) {
    ComRef<IUnknown> factory;
    ASSERT_EQ(S_OK, getClassObject_(kProxyStubClsid, kIPSFactoryBuffer, factory.put()));
    ComRef<IUnknown> unknown;
    EXPECT_EQ(S_OK, QueryInterfaceOf(factory.get(), IID_IUnknown, unknown.put()));
    unknown.reset();
    factory.reset();
    EXPECT_TRUE(CanUnload());
}

TEST_F(LibraryTest, ThreadsAskingAtOnceGetOneClassObject) {
    constexpr int kThreads = 8;
    std::vector<void*> seen(kThreads, nullptr);
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads) {
            }
            void* factory = nullptr;
            if (getClassObject_(CLSID_ImageFormat, IID_IClassFactory, &factory) == S_OK) {
                seen[static_cast<std::size_t>(t)] = factory;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (void* factory : seen) {
        EXPECT_EQ(seen[0], factory);
        if (factory != nullptr) ReleaseOf(factory);
    }
    EXPECT_NE(nullptr, seen[0]);
    EXPECT_TRUE(CanUnload());
}

}  // namespace
}  // namespace pixelfold::test
