// tests/module/out_of_memory_test.cpp: every export of the library and every method of its
// objects that can allocate, with each allocation of one call failing in turn. The library's
// parts are linked into this program, whose operator new counts too (every_allocation.cpp), so
// that the fault reaches the C++ heap, the registry and the COM stand-ins as well as the
// plug-in's own allocation points. A failing call gives its out-of-memory result and leaves
// its outputs as they were; what it leaks shows in the sanitize preset's leak check at exit.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "metadata/property_tag_table.h"
#include "module/exports.h"
#include "module/registrar/reg_object.h"
#include "pixelfold/pixelfold.h"
#include "platform/allocation.h"
#include "platform/com_calls.h"
#include "platform/registry_keys.h"
#include "platform/utf8.h"
#include "support/registry_dump.h"
#include "support/request_array.h"

#if defined(_WIN32)
extern "C" BOOL STDMETHODCALLTYPE DllMain(HINSTANCE module, DWORD reason, void*);
#endif

namespace pixelfold::test {
namespace {

// E_OUTOFMEMORY, or the system's "not enough memory" error where a registry call ran out.
bool IsOutOfMemory(HRESULT hr) {
    return hr == E_OUTOFMEMORY || hr == HResultFromWin32(ERROR_NOT_ENOUGH_MEMORY);
}

constexpr CLSID kProxyStubClsid = {
    0xE451172D, 0xF168, 0x4767, {0xBA, 0x4E, 0x79, 0x30, 0x74, 0x44, 0x93, 0xE3}};
constexpr IID kIPSFactoryBuffer = {
    0xD5F569D0, 0x593B, 0x101A, {0xB5, 0x69, 0x08, 0x00, 0x2B, 0x2D, 0xBF, 0x7A}};

// The program plays the library: attached as the system attaches a library (on Linux the
// library's own start-up code does it), detached at the end.
class AttachedProgram : public testing::Environment {
  public:
#if defined(_WIN32)
    void SetUp() override {
        DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    }
    void TearDown() override {
        DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr);
    }
#endif
};
const testing::Environment* const kAttached =
    testing::AddGlobalTestEnvironment(new AttachedProgram);

// One call under test. `prepare` runs first, uncounted; `run` makes the call and keeps what it
// gives; `outputsUntouched` says, after a failure, that its outputs are as they were; `undo`
// releases what a successful call gave.
struct Call {
    std::string name;
    std::function<void()> prepare = [] {};
    std::function<HRESULT()> run;
    std::function<bool()> outputsUntouched = [] { return true; };
    std::function<void()> undo = [] {};
    // After a call that went on without an allocation, whether what it did is sound.
    std::function<bool()> soundWithout = [] { return false; };
    HRESULT succeeded = S_OK;
    // A failure that the call goes on without (the result stays `succeeded`) is allowed here.
    bool mayGoOnWithout = false;
    // Another result that a failed allocation may give (the registrar's "B" buffer: E_FAIL).
    HRESULT alsoOnFailure = E_OUTOFMEMORY;
};

// Runs `call` with the allocation after `successes` failing; whether that allocation came.
bool RunWithFault(const Call& call, unsigned successes, HRESULT& hr) {
    call.prepare();
    CountEveryAllocation(true);
    ArmAllocationFault(successes);
    hr = call.run();
    const bool fired = !AllocationFaultArmed();
    DisarmAllocationFault();
    CountEveryAllocation(false);
    return fired;
}

const OLECHAR* SamplePath() {
    static const std::u16string path = [] {
        const std::string narrow = PIXELFOLD_SOURCE_DIR "/tools/pixelfold/sample.jpg";
        return std::u16string(narrow.begin(), narrow.end());
    }();
    return reinterpret_cast<const OLECHAR*>(path.c_str());
}

// What registration writes, as text lines: the classes and the type library, and unless
// left out the proxies (whose unregistration's result unregistration ignores).
std::vector<std::string> Registration(bool proxies = true) {
    std::vector<const WCHAR*> keys = {WTEXT("Pixelfold.ImageFormat.1"),
                                      WTEXT("Pixelfold.ImageFormat"),
                                      WTEXT("CLSID\\{A191D39B-7240-4DD8-809C-0164872003CC}"),
                                      WTEXT("Pixelfold.ImageFile.1"),
                                      WTEXT("Pixelfold.ImageFile"),
                                      WTEXT("CLSID\\{BBB4672A-1304-43E6-BBE9-E8C70BD89697}"),
                                      WTEXT("TypeLib\\{B8295866-E400-4753-9903-97115863C4F4}")};
    if (proxies) {
        keys.insert(keys.end(), {WTEXT("Interface\\{E451172D-F168-4767-BA4E-7930744493E3}"),
                                 WTEXT("Interface\\{B45338F9-9FAE-4F34-920B-0C89177EB87B}"),
                                 WTEXT("CLSID\\{E451172D-F168-4767-BA4E-7930744493E3}")});
    }
    std::vector<std::string> lines;
    for (const WCHAR* key : keys) {
        lines.push_back(Utf8FromUtf16(key));
        for (std::string& line : DumpRegistry(ProgramRegistry(), HKEY_CLASSES_ROOT, key))
            lines.push_back(std::move(line));
    }
    return lines;
}

// A script that writes a value of every type, and the key it makes.
constexpr const WCHAR* kTestKey = WTEXT("Software\\PixelfoldOutOfMemory");
constexpr const WCHAR* kEveryValue =
    WTEXT("HKCU { NoRemove Software { PixelfoldOutOfMemory = s 'default' { val S = s 'text' ")
        WTEXT("val D = d '5' val B = b '0102' val M = m 'a\\0b' Sub } } }");

bool TestKeyExists() {
    return RegistryKeyExists(ProgramRegistry(), HKEY_CURRENT_USER, kTestKey);
}
std::vector<std::string> TestKey() {
    return DumpRegistry(ProgramRegistry(), HKEY_CURRENT_USER, kTestKey);
}

// Objects the calls use, made once.
struct Objects {
    PixelfoldClassFactory* factory = nullptr;
    IVltFileFormat* format = nullptr;
    IVltFileFormat2* format2 = nullptr;
    IVltFileNavigator* navigator = nullptr;  // a fresh one for each GetValues
    std::optional<RequestArray> requests;
    std::vector<std::int32_t> answered;   // which requests a GetValues that lacks nothing answers
    std::vector<std::string> registered;  // the registry after a registration
    std::vector<std::string> unregistered;
    std::vector<std::string> everyValue;  // what kEveryValue writes

    Objects() {
        DllRegisterServer();
        registered = Registration();
        DllUnregisterServer();
        unregistered = Registration(false);
        EXPECT_EQ(S_OK, CRegObject().RunScript(kEveryValue, true));
        everyValue = TestKey();
        DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
        (void)SamplePath();  // made now, not while allocations are counted
        EXPECT_EQ(S_OK, DllGetClassObject(CLSID_ImageFormat, IID_IClassFactory,
                                          reinterpret_cast<void**>(&factory)));
        EXPECT_EQ(S_OK, factory->lpVtbl->CreateInstance(factory, nullptr, IID_IVltFileFormat,
                                                        reinterpret_cast<void**>(&format)));
        EXPECT_EQ(S_OK, format->lpVtbl->QueryInterface(format, IID_IVltFileFormat2,
                                                       reinterpret_cast<void**>(&format2)));
        FreshNavigator();
        EXPECT_EQ(S_OK, GetValues());
        for (std::int32_t i = 0; i < requests->count(); ++i)
            answered.push_back((*requests)[i].found);
    }
    // A navigator that has read nothing yet, and requests that nothing has answered.
    void FreshNavigator() {
        if (navigator != nullptr) ReleaseOf(std::exchange(navigator, nullptr));
        EXPECT_EQ(S_OK, format->lpVtbl->OpenNavigator(format, SamplePath(), 0, &navigator));
        // The size names first and last, every property name between them.
        std::vector<RequestEntry> entries = {{WTEXT("Width")}};
        for (const PropertyTagInfo& row : PropertyTagTable())
            entries.push_back({row.name});
        entries.push_back({WTEXT("Height")});
        requests.emplace(std::span<const RequestEntry>(entries));
    }
    HRESULT GetValues() {
        return navigator->lpVtbl->GetValues(navigator, 0, 0, 0, requests->count(),
                                            requests->data());
    }
    // All answered as when nothing fails, or without the property items (their loading ran
    // out of memory, which GetValues does not report): the size names answered, no other.
    bool AnsweredFullyOrWithoutItems() {
        bool full = true;
        bool withoutItems = true;
        for (std::size_t i = 0; i < answered.size(); ++i) {
            const bool sizeName = i == 0 || i + 1 == answered.size();
            full = full && (*requests)[i].found == answered[i];
            withoutItems = withoutItems && (*requests)[i].found == (sizeName ? 1 : 0);
        }
        return full || withoutItems;
    }
    // Answers before the one that ran out of memory stand; it and those after are unanswered.
    bool AnsweredUpToAFailure() {
        std::size_t i = 0;
        while (i < answered.size() && (*requests)[i].found == answered[i])
            ++i;
        for (; i < answered.size(); ++i) {
            if ((*requests)[i].found != 0 || (*requests)[i].value.vt != VT_EMPTY) return false;
        }
        return true;
    }

    ~Objects() {
        ReleaseOf(navigator);
        ReleaseOf(format2);
        ReleaseOf(format);
        ReleaseOf(factory);
    }
};

std::vector<Call> Calls(Objects& o) {
    static void* const kUntouched = reinterpret_cast<void*>(std::uintptr_t{0x5EED});
    static void* out = kUntouched;
    static BSTR strings[3];
    static ULONG count = 77;
    static FormatRecord* records = nullptr;
    const auto outIsNull = [] { return out == nullptr; };
    const auto releaseOut = [] {
        ReleaseOf(out);
        out = kUntouched;
    };
    return {
        {.name = "DllGetClassObject(ImageFormat)",
         .run = [] { return DllGetClassObject(CLSID_ImageFormat, IID_IClassFactory, &out); },
         .outputsUntouched = outIsNull,
         .undo = releaseOut},
        {.name = "DllGetClassObject(ImageFile)",
         .run = [] { return DllGetClassObject(CLSID_ImageFile, IID_IClassFactory, &out); },
         .outputsUntouched = outIsNull,
         .undo = releaseOut},
        {.name = "DllGetClassObject(proxies)",
         .run = [] { return DllGetClassObject(kProxyStubClsid, kIPSFactoryBuffer, &out); },
         .outputsUntouched = outIsNull,
         .undo = releaseOut},
        {.name = "DllCanUnloadNow", .run = [] { return DllCanUnloadNow(); }, .succeeded = S_FALSE},
        {.name = "DllRegisterServer",
         .run = [] { return DllRegisterServer(); },
         .undo = [] { DllUnregisterServer(); },
         .soundWithout = [&o] { return Registration() == o.registered; },
         .mayGoOnWithout = true},
        {.name = "DllUnregisterServer",
         .prepare = [] { DllRegisterServer(); },
         .run = [] { return DllUnregisterServer(); },
         .soundWithout = [&o] { return Registration(false) == o.unregistered; },
         .mayGoOnWithout = true},
        {.name = "CRegObject::RunScript, every kind of value",
         .run =
             [] {
                 const CRegObject registrar;
                 return registrar.RunScript(kEveryValue, true);
             },
         .outputsUntouched = [] { return !TestKeyExists(); },
         .undo = [] { DeleteKeyTree(HKEY_CURRENT_USER, kTestKey); },
         .soundWithout = [&o] { return TestKey() == o.everyValue; },
         .mayGoOnWithout = true,
         .alsoOnFailure = E_FAIL},
        {.name = "IClassFactory::CreateInstance",
         .run =
             [&o] {
                 return o.factory->lpVtbl->CreateInstance(o.factory, nullptr, IID_IVltFileFormat,
                                                          &out);
             },
         .outputsUntouched = outIsNull,
         .undo = releaseOut},
        {.name = "IClassFactory::LockServer",
         .run = [&o] { return o.factory->lpVtbl->LockServer(o.factory, TRUE); },
         .undo = [&o] { o.factory->lpVtbl->LockServer(o.factory, FALSE); }},
        {.name = "IVltFileFormat::QueryInterface(IMarshal)",
         .run = [&o] { return o.format->lpVtbl->QueryInterface(o.format, IID_IMarshal, &out); },
         .outputsUntouched = outIsNull,
         .undo = releaseOut},
        {.name = "IVltFileFormat::GetInfo",
         .prepare = [] { strings[0] = strings[1] = strings[2] = static_cast<BSTR>(kUntouched); },
         .run =
             [&o] {
                 return o.format->lpVtbl->GetInfo(o.format, &strings[0], &strings[1], &strings[2]);
             },
         .outputsUntouched =
             [] {
                 return strings[0] == kUntouched && strings[1] == kUntouched &&
                        strings[2] == kUntouched;
             },
         .undo =
             [] {
                 for (BSTR s : strings)
                     SysFreeString(s);
             }},
        {.name = "IVltFileFormat::GetExtensionFlags",
         .run =
             [&o] { return o.format->lpVtbl->GetExtensionFlags(o.format, WTEXT("jpg"), &count); }},
        {.name = "IVltFileFormat::OpenNavigator",
         .prepare = [] { out = kUntouched; },
         .run =
             [&o] {
                 return o.format->lpVtbl->OpenNavigator(
                     o.format, SamplePath(), 0, reinterpret_cast<IVltFileNavigator**>(&out));
             },
         .outputsUntouched = [] { return out == kUntouched; },
         .undo = releaseOut},
        {.name = "IVltFileFormat2::GetFormatRecords",
         .prepare =
             [] {
                 count = 77;
                 records = static_cast<FormatRecord*>(kUntouched);
             },
         .run = [&o] { return o.format2->lpVtbl->GetFormatRecords(o.format2, &count, &records); },
         .outputsUntouched = [] { return count == 77 && records == kUntouched; },
         .undo =
             [] {
                 SysFreeString(records->extensionList);
                 CoTaskMemFree(records);
             }},
        {.name = "IVltFileFormat::FormatReserved1",
         .run = [&o] { return o.format->lpVtbl->FormatReserved1(o.format, 0, 0, 0, 0, &out); },
         .succeeded = E_NOTIMPL},
        {.name = "IVltFileNavigator::GetValues",
         .prepare = [&o] { o.FreshNavigator(); },
         .run = [&o] { return o.GetValues(); },
         .outputsUntouched = [&o] { return o.AnsweredUpToAFailure(); },
         .soundWithout = [&o] { return o.AnsweredFullyOrWithoutItems(); },
         .mayGoOnWithout = true},
        {.name = "IVltFileNavigator::MarkRequestsUnanswered",
         .run =
             [&o] {
                 return o.navigator->lpVtbl->MarkRequestsUnanswered(
                     o.navigator, 0, 0, 0, o.requests->count(), o.requests->data());
             }},
        {.name = "IVltFileNavigator::QueryInterface(IUnknown)",
         .run =
             [&o] { return o.navigator->lpVtbl->QueryInterface(o.navigator, IID_IUnknown, &out); },
         .outputsUntouched = outIsNull,
         .undo = releaseOut},
    };
}

// The first allocation fails, then the second, and so on until the call makes no more: it
// then succeeds, and no failure before stood in its way.
TEST(OutOfMemoryTest, EachAllocationOfACallFailsInTurnAndTheCallSaysSo) {
    Objects objects;
    for (const Call& call : Calls(objects)) {
        SCOPED_TRACE(call.name);
        unsigned failing = 0;
        HRESULT hr = E_FAIL;
        for (; RunWithFault(call, failing, hr); ++failing) {
            if (hr == call.succeeded && call.mayGoOnWithout) {
                EXPECT_TRUE(call.soundWithout()) << "allocation " << failing << " failed unseen";
                call.undo();
                continue;
            }
            EXPECT_TRUE(IsOutOfMemory(hr) || hr == call.alsoOnFailure)
                << "allocation " << failing << ": 0x" << std::hex << hr;
            EXPECT_TRUE(call.outputsUntouched()) << "allocation " << failing;
            if (SUCCEEDED(hr)) call.undo();
        }
        EXPECT_EQ(call.succeeded, hr) << "with all " << failing << " allocations made";
        if (SUCCEEDED(hr)) call.undo();
        std::printf("[ oom      ] %s: %u allocations\n", call.name.c_str(), failing);
    }
}

}  // namespace
}  // namespace pixelfold::test
