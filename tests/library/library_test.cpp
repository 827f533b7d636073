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
#include "pixelfold/property_names.h"
#include "platform/dynamic_library.h"
#include "platform/utf8.h"
#include "support/com.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

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

// A host with many threads: eight open navigators on one shared format object and ask them
// every name, over and over, while two more take and release class objects, lock and unlock
// the server and ask whether the library may unload. Everything is given back at the end.
TEST_F(LibraryTest, ManyThreadsShareOneFormatObject) {
    constexpr int kNavigatorThreads = 8;
    constexpr int kRounds = 10000;
    TempDir dir;
    dir.Write("tags.tif", TaggedTiff());
    const std::filesystem::path file = dir.path() / "tags.tif";
    const std::u8string fileName = file.u8string();
    const WideString path = Utf16FromFileName(std::string(fileName.begin(), fileName.end()));

    void* format = nullptr;
    {
        const ComRef<IUnknown> factory = ClassObject(CLSID_ImageFormat);
        ASSERT_EQ(S_OK, CreateInstanceOf(factory.get(), nullptr, IID_IVltFileFormat, &format));
    }
    std::atomic<int> navigatorsDone{0};
    std::atomic<int> failures{0};
    const auto readFiles = [&] {
        std::vector<ValueRequest> requests;
        const auto ask = [&](const OLECHAR* name) {
            ValueRequest request{};
            request.name = runtime_.sysAllocString(name);
            request.group = runtime_.sysAllocString(WTEXT("Image"));
            requests.push_back(request);
        };
        ask(WTEXT("Width"));
        for (const PropertyTagRow& row : kPropertyTagRows)
            ask(row.name);
        for (int round = 0; round < kRounds; ++round) {
            IVltFileNavigator* navigator = nullptr;
            auto* const formatObject = static_cast<IVltFileFormat*>(format);
            if (formatObject->lpVtbl->OpenNavigator(formatObject, path.c_str(), 0, &navigator) !=
                    S_OK ||
                navigator->lpVtbl->GetValues(navigator, 0, 0, 0,
                                             static_cast<std::int32_t>(requests.size()),
                                             requests.data()) != S_OK ||
                requests[1].found == 0) {
                ++failures;
            }
            if (navigator != nullptr) ReleaseOf(navigator);
        }
        for (ValueRequest& request : requests) {
            runtime_.sysFreeString(request.name);
            runtime_.sysFreeString(request.group);
            runtime_.variantClear(&request.value);
        }
        ++navigatorsDone;
    };
    const auto useTheModule = [&](const CLSID& clsid) {
        while (navigatorsDone.load() < kNavigatorThreads) {
            void* factory = nullptr;
            if (getClassObject_(clsid, IID_IClassFactory, &factory) != S_OK) {
                ++failures;
                continue;
            }
            CallSlot<HRESULT>(factory, kLockServer, TRUE);
            (void)canUnloadNow_();
            CallSlot<HRESULT>(factory, kLockServer, FALSE);
            ReleaseOf(factory);
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kNavigatorThreads; ++t)
        threads.emplace_back(readFiles);
    threads.emplace_back(useTheModule, std::cref(CLSID_ImageFormat));
    threads.emplace_back(useTheModule, std::cref(CLSID_ImageFile));
    for (std::thread& thread : threads)
        thread.join();
    ReleaseOf(format);
    EXPECT_EQ(0, failures.load());
    EXPECT_TRUE(CanUnload());
}

}  // namespace
}  // namespace pixelfold::test
