// tests/module/registrar_test.cpp: registration scripts run against the registry (Wine's on
// Windows, the in-process one elsewhere) under a private key that each test removes.
#include "module/registrar/reg_object.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "module/com_module.h"
#include "module/registrar/reg_script_parser.h"
#include "module/registrar/registry.h"
#include "platform/utf8.h"
#include "support/allocation_fault.h"
#include "support/param_name.h"
#include "support/registry_dump.h"

namespace pixelfold::test {
namespace {

class RegistrarTest : public testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        const std::string name = "run" + std::to_string(random());
        run_ = WideString(name.begin(), name.end());
        const WideString path = WTEXT("Software\\PixelfoldTests\\") + run_;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                                 &key_, nullptr));
        ASSERT_EQ(S_OK, registrar_.AddReplacement(WTEXT("Run"), run_.c_str()));
        ASSERT_EQ(S_OK, registrar_.AddReplacement(WTEXT("Module"), WTEXT("C:\\pf\\x.dll")));
    }
    void TearDown() override {
        RegCloseKey(key_);
        HKEY tests = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, WTEXT("Software\\PixelfoldTests"), 0, KEY_ALL_ACCESS,
                          &tests) == ERROR_SUCCESS) {
            DeleteKeyTree(tests, run_.c_str());
            RegCloseKey(tests);
        }
        DeleteKeyTree(HKEY_CURRENT_USER, WTEXT("Software\\PixelfoldTests"));
    }

  public:
    // `body` runs inside the test's own key.
    HRESULT Run(const std::string& body, bool doRegister) {
        const std::string script =
            "HKCU { NoRemove Software { NoRemove PixelfoldTests { NoRemove %RUN% {\r\n" + body +
            "\r\n} } } }";
        const WideString text = Utf16FromUtf8(script);
        return registrar_.RunScript(text.c_str(), doRegister);
    }

  protected:
    std::vector<std::string> Contents() {
        const WideString path = WTEXT("Software\\PixelfoldTests\\") + run_;
        return DumpRegistry(ProgramRegistry(), HKEY_CURRENT_USER, path.c_str());
    }
    // How many keys "a" stand in the test's key, each inside the one before.
    int ChainOfA() {
        int length = 0;
        UniqueHkey key;
        for (HKEY parent = key_;; parent = key.get()) {
            HKEY next = nullptr;
            if (RegOpenKeyExW(parent, WTEXT("a"), 0, KEY_READ, &next) != ERROR_SUCCESS) break;
            key.reset(next);
            ++length;
        }
        return length;
    }
    void Create(const WCHAR* path) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key_, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        RegCloseKey(key);
    }

    CRegObject registrar_;
    WideString run_;
    HKEY key_ = nullptr;
};

struct ScriptCase {
    std::string name;
    std::string body;
    std::vector<std::string> registered;  // the test key's contents afterwards
};

class RegistrarScriptTest : public RegistrarTest, public testing::WithParamInterface<ScriptCase> {};

// Registering writes what the script says; unregistering then leaves the key as it was.
TEST_P(RegistrarScriptTest, RegistersAndUnregistersBackToTheStart) {
    const ScriptCase& c = GetParam();
    const std::vector<std::string> before = Contents();
    ASSERT_EQ(S_OK, Run(c.body, true));
    EXPECT_EQ(c.registered, Contents());
    ASSERT_EQ(S_OK, Run(c.body, false));
    EXPECT_EQ(before, Contents());
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, RegistrarScriptTest,
    testing::Values(
        ScriptCase{"DoublePercent", "K = s '100%%'", {"\\K", "\\K @ 1 100%"}},
        ScriptCase{"ReplacementInCapitals", "K = s '%MODULE%'", {"\\K", "\\K @ 1 C:\\pf\\x.dll"}},
        ScriptCase{"QuotesInQuotes", "'a''b' = s ''", {"\\a'b", "\\a'b @ 1 "}},
        ScriptCase{"ValueOfTheEnclosingKey",
                   "CLSID { X { InprocServer32 = s 'x.dll' { val ThreadingModel = s 'Both' } } }",
                   {"\\CLSID", "\\CLSID\\X", "\\CLSID\\X\\InprocServer32",
                    "\\CLSID\\X\\InprocServer32 @ 1 x.dll",
                    "\\CLSID\\X\\InprocServer32 @ThreadingModel 1 Both"}},
        ScriptCase{"BinaryValues",
                   "K { val Empty = b '' \r\n val Junk = b 'zz' \r\n val Two = B '0aFf' }",
                   {"\\K", "\\K @Empty 3 ", "\\K @Junk 3 00", "\\K @Two 3 0aff"}},
        ScriptCase{
            "MultiString", "K { val M = m 'a\\0b' }", {"\\K", "\\K @M 7 61000000620000000000"}},
        ScriptCase{"Numbers",
                   "K { val D = d '&H1F' \r\n val E = D ' 42 ' }",
                   {"\\K", "\\K @D 4 1f000000", "\\K @E 4 2a000000"}},
        ScriptCase{
            "ForceRemoveOfAProtectedName", "ForceRemove CLSID { Y }", {"\\CLSID", "\\CLSID\\Y"}},
        // "A" with a combining ring, and a character outside the Basic Multilingual Plane: each
        // a step of several code units, all of which belong to the token.
        ScriptCase{"CombiningMarksAndSurrogatePairs",
                   "A\xCC\x8Asa\xF0\x9F\x98\x80 = s 'C:\\A\xCC\x8Asa\\\xF0\x9F\x98\x80\\x.dll'",
                   {"\\A\xCC\x8Asa\xF0\x9F\x98\x80",
                    "\\A\xCC\x8Asa\xF0\x9F\x98\x80 @ 1 C:\\A\xCC\x8Asa\\\xF0\x9F\x98\x80\\x.dll"}}),
    ParamName());

TEST_F(RegistrarTest, ForceRemoveAndDeleteClearWhatIsThere) {
    Create(WTEXT("Old\\Child"));
    Create(WTEXT("Gone\\Child"));
    Create(WTEXT("Software\\Kept"));
    ASSERT_EQ(S_OK, Run("ForceRemove Old { New } \r\n Delete Gone \r\n Delete Software", true));
    EXPECT_EQ((std::vector<std::string>{"\\Old", "\\Old\\New", "\\Software", "\\Software\\Kept"}),
              Contents());
}

TEST_F(RegistrarTest, UnregisteringKeepsKeysWithSubkeysTheScriptDoesNotName) {
    ASSERT_EQ(S_OK, Run("A { B \r\n val V = s 'v' }", true));
    Create(WTEXT("A\\Foreign"));
    ASSERT_EQ(S_OK, Run("A { B \r\n val V = s 'v' }", false));
    EXPECT_EQ((std::vector<std::string>{"\\A", "\\A\\Foreign"}), Contents());
    ASSERT_EQ(S_OK, Run("Missing { Deeper { val V = s 'v' } }", false)) << "nothing to delete";
}

// `levels` keys, each inside the one before.
std::string NestedKeys(int levels) {
    std::string script;
    for (int i = 1; i < levels; ++i)
        script += "a { ";
    script += "a ";
    for (int i = 1; i < levels; ++i)
        script += "} ";
    return script;
}

// Runs `work` on a thread of its own with a stack of `bytes`, smaller than any program's
// main thread has.
void RunOnStackOf(std::size_t bytes, void (*work)(void*), void* context) {
    pthread_attr_t attributes;
    ASSERT_EQ(0, pthread_attr_init(&attributes));
    ASSERT_EQ(0, pthread_attr_setstacksize(&attributes, bytes));
    struct Call {
        void (*work)(void*);
        void* context;
    } call{work, context};
    pthread_t thread;
    const auto start = [](void* c) -> void* {
        static_cast<Call*>(c)->work(static_cast<Call*>(c)->context);
        return nullptr;
    };
    ASSERT_EQ(0, pthread_create(&thread, &attributes, start, &call));
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

// The registry holds keys at most 512 levels below a root: a script nested deeper is refused
// before it changes anything, in both passes, even on a 256 KB stack; one that fits runs on
// the 1 MB stack of a Windows program's main thread (regsvr32's). The chain is counted key by
// key: a dump recurses as deep as the tree.
TEST_F(RegistrarTest, NestingIsBoundedByTheRegistrysDepth) {
    const std::vector<std::string> before = Contents();
    struct Case {
        RegistrarTest* test;
        int levels;  // below the test's own key, itself 3 levels below the root
        bool doRegister;
        const char* before = "";  // entries before the nested keys, which the count reads past
        HRESULT result = E_UNEXPECTED;
    };
    for (Case c : {Case{this, 600, true}, Case{this, 600, false}, Case{this, 510, true},
                   Case{this, 509, true}, Case{this, 509, false},
                   Case{this, 600, true, "val V = s 'x' b = d 1 "}}) {
        SCOPED_TRACE(std::to_string(c.levels) + (c.doRegister ? " register " : " unregister ") +
                     c.before);
        RunOnStackOf(
            c.levels > 509 ? 256 * 1024 : 1024 * 1024,
            [](void* p) {
                auto& run = *static_cast<Case*>(p);
                run.result = run.test->Run(run.before + NestedKeys(run.levels), run.doRegister);
            },
            &c);
        EXPECT_EQ(c.levels > 509 ? DISP_E_EXCEPTION : S_OK, c.result);
        EXPECT_EQ(c.levels == 509 && c.doRegister ? 509 : 0, ChainOfA());
    }
    EXPECT_EQ(before, Contents());
}

TEST_F(RegistrarTest, AFailingSecondRootBlockKeepsTheFirstAndUndoesItself) {
    Create(WTEXT("Existing"));
    const std::string script =
        "HKEY_CURRENT_USER { NoRemove Software { NoRemove PixelfoldTests { NoRemove %RUN% { "
        "First } } } }\r\n"
        "HKCU { NoRemove Software { NoRemove PixelfoldTests { NoRemove %RUN% { Existing "
        "Second { val Bad = b 'abc' } } } } }";
    const WideString text = Utf16FromUtf8(script);
    EXPECT_EQ(E_FAIL, registrar_.RunScript(text.c_str(), true));
    // The undo removes what the block named, an existing key without subkeys included.
    EXPECT_EQ((std::vector<std::string>{"\\First"}), Contents());
}

// An empty key name would name the enclosing key itself: it is refused as a syntax failure in
// both passes, and nothing outside the script's own keys changes.
TEST_F(RegistrarTest, EmptyKeyNamesAreRefused) {
    struct Case {
        const char* body;
        bool doRegister;
    };
    Create(WTEXT("Victim\\Child"));
    const std::vector<std::string> before = Contents();
    for (const Case& c :
         {Case{"NoRemove Victim { Delete '' }", true},
          Case{"NoRemove Victim { ForceRemove '' = s 'x' }", true},
          Case{"NoRemove Victim { '' = s 'x' }", true}, Case{"NoRemove Victim { '' }", false},
          Case{"NoRemove Victim { ForceRemove '' }", false}}) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(DISP_E_EXCEPTION, Run(c.body, c.doRegister));
        EXPECT_EQ(before, Contents());
    }
}

// Running out of memory anywhere in a register pass fails it as any other failure there: the
// pass is undone (wholly: unlike a syntax failure, the failure does not come back in the
// undo), and the result is E_FAIL for the heap buffer of "B" data and E_OUTOFMEMORY for every
// other allocation.
TEST_F(RegistrarTest, AnAllocationFailureInAPassIsUndone) {
    Create(WTEXT("Existing\\Kept"));
    const std::string body =
        "NoRemove Existing { NewKeyWithALongName = s 'default' { val Value = s 'v' \r\n"
        "val Binary = b '" +
        std::string(600, 'a') +
        "' \r\n val Multi = m 'a\\0b' } } \r\n"
        "Second { Third }";
    const std::vector<std::string> before = Contents();
    ASSERT_EQ(E_FAIL, Run(body + " Last { val Odd = b 'abc' }", true));
    ASSERT_EQ(before, Contents()) << "a failure at the end undoes the whole block";

    std::vector<HRESULT> results;
    for (unsigned successes = 0;; ++successes) {
        SCOPED_TRACE(successes);
        HRESULT hr = S_OK;
        {
            const ScopedAllocationFault fault(successes);
            hr = Run(body, true);
            if (!AllocationFaultArmed() == (hr == S_OK)) ADD_FAILURE() << "result " << hr;
        }
        if (hr == S_OK) break;
        results.push_back(hr);
        EXPECT_EQ(before, Contents());
    }
    EXPECT_EQ(1, std::ranges::count(results, E_FAIL)) << "the \"B\" buffer";
    EXPECT_GE(std::ranges::count(results, E_OUTOFMEMORY), 4) << "expansion, names, \"M\"";
    EXPECT_EQ(results.size(), static_cast<std::size_t>(std::ranges::count(results, E_FAIL) +
                                                       std::ranges::count(results, E_OUTOFMEMORY)));
    ASSERT_EQ(S_OK, Run(body, false));
    EXPECT_EQ(before, Contents());
}

struct FailureCase {
    std::string name;
    std::string script;  // whole, or a body when it starts with a blank
    HRESULT expected;
};

class RegistrarFailureTest : public RegistrarTest,
                             public testing::WithParamInterface<FailureCase> {};

TEST_P(RegistrarFailureTest, ReportsTheFailure) {
    const FailureCase& c = GetParam();
    if (c.script.starts_with(' ')) {
        EXPECT_EQ(c.expected, Run(c.script, true));
    } else {
        const WideString text = Utf16FromUtf8(c.script);
        EXPECT_EQ(c.expected, registrar_.RunScript(text.c_str(), true));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistrarFailureTest,
    testing::Values(FailureCase{"UnknownRoot", "HKXX { A }", DISP_E_EXCEPTION},
                    FailureCase{"NoBrace", "HKCU A", DISP_E_EXCEPTION},
                    FailureCase{"EndInsideQuotes", "HKCU { 'abc }", DISP_E_EXCEPTION},
                    FailureCase{"PercentNotClosed", " K = s '%RUN'", DISP_E_EXCEPTION},
                    FailureCase{"UnknownReplacement", " K = s '%NOPE%'", DISP_E_EXCEPTION},
                    FailureCase{"LongReplacementName",
                                " K = s '%ABCDEFGHIJKLMNOPQRSTUVWXYZ012345%'", E_FAIL},
                    FailureCase{"BackslashInName", " A\\B", DISP_E_EXCEPTION},
                    FailureCase{"ValWithoutEquals", " K { val V s 'x' }", DISP_E_EXCEPTION},
                    FailureCase{"UnknownType", " K = q 'x'", DISP_E_EXCEPTION},
                    FailureCase{"OddBinary", " K { val B = b 'abc' }", E_FAIL},
                    FailureCase{"NotANumber", " K { val D = d 'abc' }", DISP_E_TYPEMISMATCH},
                    FailureCase{"BlockAfterDelete", " Delete K { X }", DISP_E_EXCEPTION},
                    FailureCase{"BlockAfterVal", " K { val V = s 'x' { X } }", DISP_E_EXCEPTION}),
    ParamName());

// This test program's own file, which holds the test scripts as resources.
WideString ProgramPath() {
    WCHAR path[260];
    const DWORD length = GetModuleFileNameW(nullptr, path, 260);
    return WideString(path, length < 260 ? length : 0);
}

TEST(ModuleFileNameTest, ANameThatDoesNotFitIsCutAndReported) {
    const WideString program = ProgramPath();
    ASSERT_GT(program.size(), 4u);
    WCHAR name[4] = {u'x', u'x', u'x', u'x'};
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(4u, GetModuleFileNameW(nullptr, name, 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    // Whether the last place holds a terminator differs between Windows versions (and Wine).
    EXPECT_EQ(program.substr(0, 3), WideString(name, 3));
}

TEST_F(RegistrarTest, RunsAScriptHeldAsAResourceOfAModuleFile) {
    const WideString program = ProgramPath();
    ASSERT_FALSE(program.empty());
    ASSERT_EQ(S_OK, registrar_.RegisterWithResource(program.c_str(), MAKEINTRESOURCEW(201),
                                                    WTEXT("REGISTRY"), true));
    const std::vector<std::string> contents = Contents();
    ASSERT_EQ(2u, contents.size());
    EXPECT_EQ("\\Long @ 1 " + std::string(600, 'x'), contents[1]) << "longer than 512 bytes";
    ASSERT_EQ(S_OK, registrar_.RegisterWithResource(program.c_str(), MAKEINTRESOURCEW(201),
                                                    WTEXT("registry"), false));
    EXPECT_TRUE(Contents().empty());
}

TEST_F(RegistrarTest, ResourcesThatCannotBeHadReportThePlatformsError) {
    const WideString program = ProgramPath();
    const WideString missing = program + WTEXT(".missing");
    EXPECT_EQ(HResultFromWin32(ERROR_RESOURCE_NAME_NOT_FOUND),
              registrar_.RegisterWithResource(program.c_str(), MAKEINTRESOURCEW(299),
                                              WTEXT("REGISTRY"), true));
    EXPECT_EQ(HResultFromWin32(ERROR_RESOURCE_TYPE_NOT_FOUND),
              registrar_.RegisterWithResource(program.c_str(), MAKEINTRESOURCEW(201),
                                              WTEXT("NOSUCHTYPE"), true));
    EXPECT_EQ(HResultFromWin32(ERROR_FILE_NOT_FOUND),
              registrar_.RegisterWithResource(missing.c_str(), MAKEINTRESOURCEW(201),
                                              WTEXT("REGISTRY"), true));
    EXPECT_TRUE(Contents().empty());
}

TEST(RegistrarInterfaceTest, IsNotCountedAndAnswersNoInterface) {
    CRegObject registrar;
    IRegistrarBase* base = &registrar;
    void* out = nullptr;
    EXPECT_EQ(E_NOTIMPL, base->QueryInterface(IID_IUnknown, &out));
    EXPECT_EQ(1u, base->AddRef());
    EXPECT_EQ(0u, base->Release());
    EXPECT_EQ(S_OK, base->AddReplacement(WTEXT("A"), WTEXT("b")));
    EXPECT_EQ(S_OK, base->ClearReplacements());
    EXPECT_EQ(nullptr, registrar.FindReplacement(WTEXT("A")));
}

// The module's own scripts see "Module", "Module_Raw" and "APPID", and the extra pairs given.
TEST(ModuleScriptTest, ReplacementsNameTheModuleFile) {
    RegistryReplacement extra[] = {
        {WTEXT("Extra"), WTEXT("given")}, {WTEXT("Skipped"), nullptr}, {nullptr, nullptr}};
    EXPECT_EQ(S_OK, g_pModule->UpdateRegistryFromResourceS(202u, FALSE, extra))
        << "nothing to remove yet";
    ASSERT_EQ(S_OK, g_pModule->UpdateRegistryFromResourceS(202u, TRUE, extra));
    const std::string program = Utf8FromUtf16(ProgramPath());
    const std::vector<std::string> expected = {
        "\\ModuleScript", "\\ModuleScript @AppId 1 ", "\\ModuleScript @Extra 1 given",
        "\\ModuleScript @Path 1 " + program, "\\ModuleScript @Raw 1 " + program};
    EXPECT_EQ(expected, DumpRegistry(ProgramRegistry(), HKEY_CURRENT_USER,
                                     WTEXT("Software\\PixelfoldTests")));
    ASSERT_EQ(S_OK, g_pModule->UpdateRegistryFromResourceS(202u, FALSE, extra));
    EXPECT_TRUE(
        DumpRegistry(ProgramRegistry(), HKEY_CURRENT_USER, WTEXT("Software\\PixelfoldTests"))
            .empty());
    DeleteKeyTree(HKEY_CURRENT_USER, WTEXT("Software\\PixelfoldTests"));
}

TEST_F(RegistrarTest, RegistryWrapperDeletesWholeTreesAndListsSubkeys) {
    Create(WTEXT("A\\B\\C"));
    Create(WTEXT("A\\D"));
    Create(WTEXT("E"));
    // A class longer than the wrapper's buffer is no end of the list: the key and the keys
    // after it are deleted with the rest.
    const WideString longClass(2000, WCHAR{'c'});
    HKEY classed = nullptr;
    ASSERT_EQ(
        ERROR_SUCCESS,
        RegCreateKeyExW(key_, WTEXT("A\\B\\Classed"), 0, const_cast<WCHAR*>(longClass.c_str()),
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &classed, nullptr));
    RegCloseKey(classed);
    Registry registry;
    const WideString path = WTEXT("Software\\PixelfoldTests\\") + run_;
    ASSERT_TRUE(registry.Open(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS));
    WideString name;
    WideString keyClass;
    FILETIME written{};
    ASSERT_TRUE(registry.EnumSubkey(1, name, keyClass, &written));
    EXPECT_EQ(WideString(WTEXT("E")), name);
    EXPECT_FALSE(registry.EnumSubkey(2, name, keyClass, nullptr));
    EXPECT_EQ(static_cast<LONG>(ERROR_NO_MORE_ITEMS), registry.lastResult());

    Registry a;
    ASSERT_TRUE(a.Open(key_, WTEXT("A\\B"), KEY_READ));
    ASSERT_TRUE(a.EnumSubkey(1, name, keyClass, nullptr));
    EXPECT_EQ(WideString(WTEXT("Classed")), name);
    EXPECT_EQ(longClass, keyClass);
    a.Close();

    EXPECT_TRUE(registry.DeleteTree(WTEXT("A")));
    EXPECT_EQ((std::vector<std::string>{"\\E"}), Contents());
    EXPECT_FALSE(registry.DeleteTree(WTEXT("Missing")));
    EXPECT_EQ(static_cast<LONG>(ERROR_FILE_NOT_FOUND), registry.lastResult());
}

TEST(RegistrarReplacementTest, NullArgumentsAndEmptyScripts) {
    CRegObject registrar;
    EXPECT_EQ(E_INVALIDARG, registrar.AddReplacement(nullptr, WTEXT("x")));
    EXPECT_EQ(E_INVALIDARG, registrar.AddReplacement(WTEXT("x"), nullptr));
    EXPECT_EQ(S_OK, registrar.AddReplacement(WTEXT("Twice"), WTEXT("first")));
    EXPECT_EQ(S_OK, registrar.AddReplacement(WTEXT("TWICE"), WTEXT("second")));
    ASSERT_NE(nullptr, registrar.FindReplacement(WTEXT("twice")));
    EXPECT_EQ(WideString(WTEXT("first")), *registrar.FindReplacement(WTEXT("twice")));
    EXPECT_EQ(S_OK, registrar.RunScript(WTEXT(""), true));
    EXPECT_EQ(E_POINTER, registrar.RunScript(nullptr, true));
    EXPECT_EQ(S_OK, registrar.ClearReplacements());
    EXPECT_EQ(nullptr, registrar.FindReplacement(WTEXT("twice")));
}

}  // namespace
}  // namespace pixelfold::test
