// tests/plugin/image_format_test.cpp: the image format object through its tables, as the host
// calls it: its answers, opening navigators, identity, aggregation, lifetime and threads.
#include "plugin/image_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#if !defined(_WIN32)
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include "com/module_lock.h"
#include "pixelfold/pixelfold.h"
#include "platform/utf8.h"
#include "support/allocation_fault.h"
#include "support/param_name.h"
#include "support/plugin_objects.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

namespace pixelfold::test {
namespace {

// Slots of IVltFileFormat and IVltFileFormat2 after IUnknown.
constexpr std::size_t kGetInfo = 3;
constexpr std::size_t kGetExtensionFlags = 4;
constexpr std::size_t kFormatReserved1 = 6;
constexpr std::size_t kFormatReserved2 = 7;
constexpr std::size_t kGetFormatRecords = 3;

// A value that no call may write over where nothing is to be written.
BSTR const kUntouchedBstr = reinterpret_cast<BSTR>(std::uintptr_t{0x5EED});

WideString Text(BSTR text) {
    return WideString(text, SysStringLen(text));
}

TEST(ImageFormatTest, GetInfoGivesTheThreeTexts) {
    const ComRef<IVltFileFormat> format = NewFormatObject();
    BSTR company = nullptr, description = nullptr, extensions = nullptr;
    ASSERT_EQ(S_OK, CallSlot<HRESULT>(format.get(), kGetInfo, &company, &description, &extensions));
    EXPECT_EQ(WideString(WTEXT("Tallholm Data")), Text(company));
    EXPECT_EQ(WideString(WTEXT("Bitmap image plugin")), Text(description));
    EXPECT_EQ(WideString(WTEXT("bmp,pcx,jpg,gif,png")), Text(extensions));
    SysFreeString(company);
    SysFreeString(description);
    SysFreeString(extensions);
}

// A null out pointer, or a string that cannot be made: nothing is handed out.
TEST(ImageFormatTest, GetInfoHandsOutAllThreeOrNone) {
    const ComRef<IVltFileFormat> format = NewFormatObject();
    for (int nullOne = 0; nullOne < 3; ++nullOne) {
        BSTR out[3] = {kUntouchedBstr, kUntouchedBstr, kUntouchedBstr};
        BSTR* args[3] = {&out[0], &out[1], &out[2]};
        args[nullOne] = nullptr;
        EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(format.get(), kGetInfo, args[0], args[1], args[2]));
        for (BSTR b : out)
            EXPECT_EQ(kUntouchedBstr, b);
    }
    for (unsigned failing = 0; failing < 3; ++failing) {
        BSTR out[3] = {kUntouchedBstr, kUntouchedBstr, kUntouchedBstr};
        const ScopedAllocationFault fault(failing);
        EXPECT_EQ(E_OUTOFMEMORY,
                  CallSlot<HRESULT>(format.get(), kGetInfo, &out[0], &out[1], &out[2]))
            << "string " << failing;
        for (BSTR b : out)
            EXPECT_EQ(kUntouchedBstr, b);
    }
}

TEST(ImageFormatTest, ExtensionFlagsAreTheSameForEveryExtension) {
    const ComRef<IVltFileFormat> format = NewFormatObject();
    const WCHAR* const extensions[] = {WTEXT("gif"), WTEXT(""), WTEXT("tif"), nullptr};
    for (const WCHAR* extension : extensions) {
        ULONG flags = 0;
        EXPECT_EQ(S_OK, CallSlot<HRESULT>(format.get(), kGetExtensionFlags, extension, &flags));
        EXPECT_EQ(264u, flags);
    }
    EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(format.get(), kGetExtensionFlags, WTEXT("gif"),
                                           static_cast<ULONG*>(nullptr)));
}

TEST(ImageFormatTest, ReservedMethodsOnlyTestTheirOutPointer) {
    const ComRef<IVltFileFormat> format = NewFormatObject();
    int dummy = 0;
    void* none = nullptr;
    EXPECT_EQ(E_NOTIMPL, CallSlot<HRESULT>(format.get(), kFormatReserved1, none, none, none, none,
                                           static_cast<void*>(&dummy)));
    EXPECT_EQ(E_POINTER,
              CallSlot<HRESULT>(format.get(), kFormatReserved1, none, none, none, none, none));
    EXPECT_EQ(E_NOTIMPL,
              CallSlot<HRESULT>(format.get(), kFormatReserved2, none, static_cast<void*>(&dummy)));
    EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(format.get(), kFormatReserved2, none, none));
}

TEST(ImageFormatTest, FormatRecordsHoldOneRecord) {
    const ComRef<IVltFileFormat> format = NewFormatObject();
    ComRef<IVltFileFormat2> format2;
    ASSERT_EQ(S_OK, QueryInterfaceOf(format.get(), IID_IVltFileFormat2, format2.put()));
    ULONG count = 0;
    FormatRecord* records = nullptr;
    ASSERT_EQ(S_OK, CallSlot<HRESULT>(format2.get(), kGetFormatRecords, &count, &records));
    ASSERT_EQ(1u, count);
    ASSERT_NE(nullptr, records);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(records);
    std::uint32_t code = 0;
    std::memcpy(&code, bytes + 8, 4);
    EXPECT_EQ(4u, code);
    const std::uint8_t guid[16] = {0xF1, 0xFB, 0x5B, 0x5B, 0x26, 0xF0, 0xD3, 0x11,
                                   0x90, 0xFB, 0x00, 0xC0, 0x4F, 0x56, 0xB3, 0xAF};
    EXPECT_EQ(0, std::memcmp(guid, bytes + 12, 16));
    EXPECT_EQ(WideString(WTEXT("bmp,pcx,jpg,gif,png")), Text(records->extensionList));
    SysFreeString(records->extensionList);
    CoTaskMemFree(records);
}

TEST(ImageFormatTest, FormatRecordsHandOutTheRecordAndItsStringOrNothing) {
    const ComRef<IVltFileFormat> format = NewFormatObject();
    ComRef<IVltFileFormat2> format2;
    ASSERT_EQ(S_OK, QueryInterfaceOf(format.get(), IID_IVltFileFormat2, format2.put()));
    ULONG count = 77;
    auto* const kUntouchedRecords = reinterpret_cast<FormatRecord*>(std::uintptr_t{0x5EED});
    FormatRecord* records = kUntouchedRecords;
    EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(format2.get(), kGetFormatRecords,
                                           static_cast<ULONG*>(nullptr), &records));
    EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(format2.get(), kGetFormatRecords, &count,
                                           static_cast<FormatRecord**>(nullptr)));
    for (unsigned failing = 0; failing < 2; ++failing) {
        const ScopedAllocationFault fault(failing);
        EXPECT_EQ(E_OUTOFMEMORY,
                  CallSlot<HRESULT>(format2.get(), kGetFormatRecords, &count, &records));
    }
    EXPECT_EQ(77u, count);
    EXPECT_EQ(kUntouchedRecords, records);
}

struct OpenFailureCase {
    std::string name;
    std::string file;  // in the test folder; empty: a null path
    HRESULT expected;
};

class OpenNavigatorFailureTest : public testing::TestWithParam<OpenFailureCase> {};

// What a file manager meets in ordinary folders besides files: each must be refused at once,
// never read (a FIFO without a writer would block the reader for ever).
void MakeSpecialFiles(const TempDir& dir) {
    std::filesystem::create_directory(dir.path() / "folder.bmp");
#if !defined(_WIN32)
    ASSERT_EQ(0, ::mkfifo((dir.path() / "pipe.bmp").c_str(), 0600));
    std::filesystem::create_symlink("/dev/null", dir.path() / "null.gif");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (dir.path() / "socket.png").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address));
    ::close(listener);  // the socket file stays
#endif
}

TEST_P(OpenNavigatorFailureTest, LeavesNoNavigatorAndNoLock) {
    const OpenFailureCase& c = GetParam();
    TempDir dir;
    dir.Write("corrupt.png", Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    dir.Write("cut.jpg", Bytes{0xFF, 0xD8, 0xFF});
    ASSERT_NO_FATAL_FAILURE(MakeSpecialFiles(dir));
    const ComRef<IVltFileFormat> format = NewFormatObject();
    const std::int32_t locksBefore = ModuleLockCount();
    auto* const kUntouched = reinterpret_cast<IVltFileNavigator*>(std::uintptr_t{0x5EED});
    IVltFileNavigator* navigator = kUntouched;
    const WideString path = dir.WidePath(c.file);
    const WCHAR* pathArg = c.file.empty() ? nullptr : path.c_str();
    EXPECT_EQ(c.expected, CallSlot<HRESULT>(format.get(), 5, pathArg, INT_PTR{0}, &navigator));
    EXPECT_EQ(kUntouched, navigator);
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

const OpenFailureCase kOpenFailures[] = {
    {"NoDot", "photo", E_INVALIDARG},
    {"NullPath", "", E_INVALIDARG},
    {"MissingBmp", "missing.bmp", FILE_E_NOT_FOUND},
    {"Folder", "folder.bmp", FILE_E_CANNOT_OPEN},
#if !defined(_WIN32)
    {"Fifo", "pipe.bmp", FILE_E_CANNOT_OPEN},
    {"LinkToADevice", "null.gif", FILE_E_CANNOT_OPEN},
    {"Socket", "socket.png", FILE_E_CANNOT_OPEN},
#endif
    {"CorruptPng", "corrupt.png", FILE_E_BAD_FORMAT},
    {"JpegCutInAMarker", "cut.jpg", E_FAIL},
};
INSTANTIATE_TEST_SUITE_P(Cases, OpenNavigatorFailureTest, testing::ValuesIn(kOpenFailures),
                         ParamName());

TEST(OpenNavigatorTest, NullOutPointerAndOutOfMemory) {
    TempDir dir;
    dir.Write("a.bmp", SmallBmp(2, 2));
    const WideString path = dir.WidePath("a.bmp");
    const ComRef<IVltFileFormat> format = NewFormatObject();
    const std::int32_t locksBefore = ModuleLockCount();
    EXPECT_EQ(E_POINTER, CallSlot<HRESULT>(format.get(), 5, path.c_str(), INT_PTR{0},
                                           static_cast<IVltFileNavigator**>(nullptr)));
    IVltFileNavigator* navigator = nullptr;
    for (unsigned failing = 0; failing < 2; ++failing) {  // the navigator, then its path
        const ScopedAllocationFault fault(failing);
        EXPECT_EQ(E_OUTOFMEMORY,
                  CallSlot<HRESULT>(format.get(), 5, path.c_str(), INT_PTR{0}, &navigator));
    }
    EXPECT_EQ(nullptr, navigator);
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

#if !defined(_WIN32)
// Linux names are bytes: one that is not UTF-8 reaches the plug-in with each stray byte as a
// lone surrogate, and the plug-in must open exactly that name.
TEST(OpenNavigatorTest, OpensNamesThatAreNotUtf8) {
    TempDir dir;
    for (const std::string name : {"lat\xE9in.bmp", "cut-\xE2\x82.bmp", "\xC0\xAF.bmp"}) {
        SCOPED_TRACE(name);
        dir.Write(name, SmallBmp(3, 2));
        const ComRef<IVltFileFormat> format = NewFormatObject();
        ComRef<IVltFileNavigator> navigator;
        ASSERT_EQ(S_OK,
                  OpenNavigatorOf(format.get(), Utf16FromFileName((dir.path() / name).native()),
                                  navigator));
        RequestArray requests({{WTEXT("Width")}});
        ASSERT_EQ(S_OK, GetValuesOf(navigator.get(), requests));
        EXPECT_EQ(3, requests[0].value.lVal);
    }
}
#endif

// Creation fails as a whole when the object or its free-threaded marshaler cannot be had.
TEST(ImageFormatTest, CreationWithoutMemoryLeavesNothingBehind) {
    for (const bool aggregated : {false, true}) {
        SCOPED_TRACE(aggregated ? "aggregated" : "standalone");
        TestOuter outer;
        const std::int32_t locksBefore = ModuleLockCount();
        IUnknown* const kUntouched = reinterpret_cast<IUnknown*>(std::uintptr_t{0x5EED});
        for (unsigned failing = 0; failing < 2; ++failing) {  // the object, then its marshaler
            IUnknown* object = kUntouched;
            const ScopedAllocationFault fault(failing);
            EXPECT_EQ(E_OUTOFMEMORY, CImageFormat::CreateInstance(
                                         aggregated ? outer.unknown() : nullptr, IID_IUnknown,
                                         reinterpret_cast<void**>(&object)));
            EXPECT_EQ(nullptr, object);
            EXPECT_EQ(locksBefore, ModuleLockCount());
            EXPECT_EQ(1u, outer.count);
        }
        ComRef<IUnknown> created;
        const ScopedAllocationFault fault(2);
        ASSERT_EQ(S_OK, CImageFormat::CreateInstance(aggregated ? outer.unknown() : nullptr,
                                                     IID_IUnknown, created.put()));
    }
}

TEST(OpenNavigatorTest, EachCallGivesANewNavigatorHoldingOneLock) {
    TempDir dir;
    dir.Write("a.tif", TaggedTiff());
    const ComRef<IVltFileFormat> format = NewFormatObject();
    const std::int32_t locksBefore = ModuleLockCount();
    {
        ComRef<IVltFileNavigator> first, second;
        ASSERT_EQ(S_OK, OpenNavigatorOf(format.get(), dir.WidePath("a.tif"), first));
        ASSERT_EQ(S_OK, OpenNavigatorOf(format.get(), dir.WidePath("a.tif"), second));
        EXPECT_NE(first.get(), second.get());
        EXPECT_EQ(1u, RefCountOf(first.get()));
        EXPECT_EQ(locksBefore + 2, ModuleLockCount());
        RequestArray requests({{WTEXT("Width")}});  // no header reader for "tif": 0
        ASSERT_EQ(S_OK, GetValuesOf(first.get(), requests));
        EXPECT_EQ(1, requests[0].found);
        EXPECT_EQ(0, requests[0].value.lVal);
    }
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

TEST(ImageFormatTest, EveryInterfaceLeadsToTheSameIdentity) {
    const ComRef<IVltFileFormat> format = NewFormatObject();
    ComRef<IUnknown> identity, imageFormat, format2, viaFormat2, unknown2, marshal;
    ASSERT_EQ(S_OK, QueryInterfaceOf(format.get(), IID_IUnknown, identity.put()));
    ASSERT_EQ(S_OK, QueryInterfaceOf(format.get(), IID_IImageFormat, imageFormat.put()));
    EXPECT_EQ(identity.get(), imageFormat.get());
    ASSERT_EQ(S_OK, QueryInterfaceOf(format.get(), IID_IVltFileFormat2, format2.put()));
    ASSERT_EQ(S_OK, QueryInterfaceOf(format2.get(), IID_IVltFileFormat, viaFormat2.put()));
    EXPECT_EQ(static_cast<void*>(format.get()), static_cast<void*>(viaFormat2.get()));
    ASSERT_EQ(S_OK, QueryInterfaceOf(format2.get(), IID_IUnknown, unknown2.put()));
    EXPECT_EQ(identity.get(), unknown2.get());
    EXPECT_EQ(identity.get(), CallSlot<IUnknown*>(imageFormat.get(), 3));  // GetIdentity
    ASSERT_EQ(S_OK, QueryInterfaceOf(format.get(), IID_IMarshal, marshal.put()));
    EXPECT_NE(nullptr, marshal.get());

    void* none = &none;
    EXPECT_EQ(E_NOINTERFACE, QueryInterfaceOf(format.get(), IID_IVltFileNavigator, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(E_POINTER, QueryInterfaceOf(format.get(), IID_IUnknown, nullptr));
}

TEST(ImageFormatTest, LifetimeHoldsOneModuleLock) {
    const std::int32_t locksBefore = ModuleLockCount();
    {
        const ComRef<IVltFileFormat> format = NewFormatObject();
        EXPECT_EQ(locksBefore + 1, ModuleLockCount());
        EXPECT_EQ(1u, RefCountOf(format.get()));
    }
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

TEST(AggregatedFormatTest, ForwardsToTheOuterObjectAndLivesByItsWrapper) {
    const std::int32_t locksBefore = ModuleLockCount();
    TestOuter outer;
    ComRef<IUnknown> inner;
    ASSERT_EQ(S_OK, CImageFormat::CreateInstance(outer.unknown(), IID_IUnknown, inner.put()));
    outer.inner = inner.get();
    EXPECT_EQ(locksBefore + 1, ModuleLockCount());
    {
        ComRef<IVltFileFormat> format;
        ASSERT_EQ(S_OK, QueryInterfaceOf(inner.get(), IID_IVltFileFormat, format.put()));
        EXPECT_EQ(2u, outer.count);
        ComRef<IUnknown> identity;
        ASSERT_EQ(S_OK, QueryInterfaceOf(format.get(), IID_IUnknown, identity.put()));
        EXPECT_EQ(outer.unknown(), identity.get());
        ComRef<IUnknown> imageFormat;
        ASSERT_EQ(S_OK, QueryInterfaceOf(inner.get(), IID_IImageFormat, imageFormat.put()));
        EXPECT_EQ(outer.unknown(), CallSlot<IUnknown*>(imageFormat.get(), 3));  // GetIdentity
        ComRef<IUnknown> marshal;
        ASSERT_EQ(S_OK, QueryInterfaceOf(inner.get(), IID_IMarshal, marshal.put()));
        ULONG flags = 0;
        EXPECT_EQ(S_OK, CallSlot<HRESULT>(format.get(), kGetExtensionFlags, WTEXT("png"), &flags));
    }
    EXPECT_EQ(1u, outer.count);
    EXPECT_EQ(1u, RefCountOf(inner.get()));
    inner.reset();
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

// One format object shared by threads, each opening and querying navigators of its own.
TEST(ImageFormatThreadTest, ThreadsShareOneFormatObject) {
    TempDir dir;
    dir.Write("a.bmp", SmallBmp(7, 5));
    dir.Write("b.tif", TaggedTiff());
    const std::int32_t locksBefore = ModuleLockCount();
    {
        const ComRef<IVltFileFormat> format = NewFormatObject();
        std::vector<std::thread> threads;
        std::atomic<int> failures{0};
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 25; ++i) {
                    ComRef<IVltFileNavigator> bmp, tif;
                    if (OpenNavigatorOf(format.get(), dir.WidePath("a.bmp"), bmp) != S_OK ||
                        OpenNavigatorOf(format.get(), dir.WidePath("b.tif"), tif) != S_OK) {
                        ++failures;
                        continue;
                    }
                    RequestArray size({{WTEXT("Width")}});
                    RequestArray make({{WTEXT("PropertyTagEquipMake")}});
                    if (GetValuesOf(bmp.get(), size) != S_OK || size[0].value.lVal != 7 ||
                        GetValuesOf(tif.get(), make) != S_OK || make[0].found != 1) {
                        ++failures;
                    }
                }
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        EXPECT_EQ(0, failures.load());
        EXPECT_EQ(1u, RefCountOf(format.get()));
    }
    EXPECT_EQ(locksBefore, ModuleLockCount());
}

}  // namespace
}  // namespace pixelfold::test
