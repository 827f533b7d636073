// platform/linux/type_library.cpp: type libraries as their attributes, loaded from a type
// library text file or a binary's "TYPELIB" resource 1, and registered under
// HKEY_CLASSES_ROOT\TypeLib.
#include <atomic>
#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/allocation.h"
#include "platform/linux/guid_text.h"
#include "platform/linux/registry_text.h"
#include "platform/registry_keys.h"
#include "platform/utf8.h"
#include "platform/wide_string.h"

namespace pixelfold {
namespace {

struct Attributes {
    TLIBATTR attributes{};
    WideString name;
    WideString helpString;
};

// "key=value" lines; a library needs at least its name, uuid and version.
bool ParseAttributes(const std::string& text, Attributes& out) {
    bool haveGuid = false;
    bool haveVersion = false;
    out.attributes.syskind = SYS_WIN64;
    // Split by hand: a stream would take a failed allocation for the end of the text.
    for (std::string_view rest(text); !rest.empty();) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string key(line.substr(0, equals));
        const std::string value(line.substr(equals + 1));
        if (key == "name") {
            out.name = Utf16FromUtf8(value);
        } else if (key == "helpstring") {
            out.helpString = Utf16FromUtf8(value);
        } else if (key == "uuid") {
            const auto guid = GuidFromText(Utf16FromUtf8(value));
            if (!guid) return false;
            out.attributes.guid = *guid;
            haveGuid = true;
        } else if (key == "version") {
            unsigned major = 0;
            unsigned minor = 0;
            if (std::sscanf(value.c_str(), "%u.%u", &major, &minor) != 2) return false;
            out.attributes.wMajorVerNum = static_cast<WORD>(major);
            out.attributes.wMinorVerNum = static_cast<WORD>(minor);
            haveVersion = true;
        } else if (key == "lcid") {
            out.attributes.lcid = static_cast<LCID>(std::stoul(value));
        } else if (key == "flags") {
            out.attributes.wLibFlags = static_cast<WORD>(std::stoul(value));
        }
    }
    return haveGuid && haveVersion && !out.name.empty();
}

// The text of the type library at `path`: the resource of this binary when `path` is its
// file, otherwise the file itself.
bool ReadTypeLibraryText(const OLECHAR* path, std::string& text) {
    if (const HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        const HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), u"TYPELIB");
        const bool found = resource != nullptr;
        if (found) {
            text.assign(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                        SizeofResource(module, resource));
        }
        FreeLibrary(module);
        return found;
    }
    if (GetLastError() == ERROR_NOT_ENOUGH_MEMORY) throw std::bad_alloc();
    std::ifstream file(Utf8FromUtf16(WideStringView(path)), std::ios::binary);
    if (!file) return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    text = contents.str();
    return true;
}

class TypeLibrary final : public ITypeLib {
  public:
    explicit TypeLibrary(Attributes attributes) : attributes_(std::move(attributes)) {}

    HRESULT QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (!(iid == IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *out = static_cast<IUnknown*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return ++count_; }
    ULONG Release() override {
        const ULONG left = --count_;
        if (left == 0) delete this;
        return left;
    }
    UINT GetTypeInfoCount() override { return 0; }
    HRESULT GetTypeInfo(UINT, void**) override { return E_NOTIMPL; }
    HRESULT GetTypeInfoType(UINT, void*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfoOfGuid(REFGUID, void**) override { return E_NOTIMPL; }
    HRESULT GetLibAttr(TLIBATTR** out) override {
        if (out == nullptr) return E_INVALIDARG;
        *out = new (std::nothrow) TLIBATTR(attributes_.attributes);
        return *out == nullptr ? E_OUTOFMEMORY : S_OK;
    }
    HRESULT GetTypeComp(void**) override { return E_NOTIMPL; }
    HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString, DWORD* helpContext,
                             BSTR* helpFile) override {
        if (index != -1) return E_NOTIMPL;
        if (name != nullptr) *name = NewBstr(attributes_.name);
        if (docString != nullptr) *docString = NewBstr(attributes_.helpString);
        if (helpContext != nullptr) *helpContext = 0;
        if (helpFile != nullptr) *helpFile = nullptr;
        return S_OK;
    }
    HRESULT IsName(LPWSTR, ULONG, BOOL*) override { return E_NOTIMPL; }
    HRESULT FindName(LPWSTR, ULONG, void**, LONG*, USHORT*) override { return E_NOTIMPL; }
    void ReleaseTLibAttr(TLIBATTR* attributes) override { delete attributes; }

    const Attributes& attributes() const noexcept { return attributes_; }

  private:
    ~TypeLibrary() = default;

    Attributes attributes_;
    std::atomic<ULONG> count_{1};
};

WideString VersionKey(const GUID& guid, WORD major, WORD minor) {
    const std::string version = std::to_string(major) + "." + std::to_string(minor);
    return u"TypeLib\\" + GuidText(guid) + u"\\" + Utf16FromUtf8(version);
}

HRESULT FromStatus(LSTATUS status) noexcept {
    if (status == ERROR_SUCCESS) return S_OK;
    return status == ERROR_NOT_ENOUGH_MEMORY ? E_OUTOFMEMORY : TYPE_E_REGISTRYACCESS;
}

}  // namespace
}  // namespace pixelfold

using namespace pixelfold;

HRESULT LoadTypeLib(const OLECHAR* file, ITypeLib** library) {
    if (file == nullptr || library == nullptr) return E_INVALIDARG;
    *library = nullptr;
    try {
        std::string text;
        Attributes attributes;
        if (!ReadTypeLibraryText(file, text) || !ParseAttributes(text, attributes)) {
            return TYPE_E_CANTLOADLIBRARY;
        }
        *library = new TypeLibrary(std::move(attributes));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return TYPE_E_CANTLOADLIBRARY;
    }
}

HRESULT RegisterTypeLib(ITypeLib* library, OLECHAR* fullPath, OLECHAR* helpDirectory) {
    if (library == nullptr || fullPath == nullptr) return E_INVALIDARG;
    try {
        const Attributes& attributes = static_cast<TypeLibrary*>(library)->attributes();
        const TLIBATTR& a = attributes.attributes;
        const WideString key = VersionKey(a.guid, a.wMajorVerNum, a.wMinorVerNum);
        const WideString path(fullPath);
        // Without a help folder, the folder of the library file.
        WideString help = helpDirectory != nullptr ? WideString(helpDirectory) : WideString();
        if (helpDirectory == nullptr) {
            const std::size_t slash = path.find_last_of(u"\\/");
            if (slash != WideString::npos) help = path.substr(0, slash);
        }
        char lcid[16];
        std::snprintf(lcid, sizeof lcid, "%x\\win64", static_cast<unsigned>(a.lcid));
        const std::string flags = std::to_string(a.wLibFlags);
        for (const LSTATUS status :
             {SetRegistryText(HKEY_CLASSES_ROOT, key, nullptr, attributes.helpString),
              SetRegistryText(HKEY_CLASSES_ROOT, key + u"\\" + Utf16FromUtf8(lcid), nullptr, path),
              SetRegistryText(HKEY_CLASSES_ROOT, key + u"\\FLAGS", nullptr, Utf16FromUtf8(flags)),
              SetRegistryText(HKEY_CLASSES_ROOT, key + u"\\HELPDIR", nullptr, help)}) {
            if (status != ERROR_SUCCESS) return FromStatus(status);
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnRegisterTypeLib(REFGUID guid, WORD major, WORD minor, LCID, SYSKIND) {
    try {
        const WideString key = VersionKey(guid, major, minor);
        const LSTATUS deleted = DeleteKeyTree(HKEY_CLASSES_ROOT, key.c_str());
        // A library that is not registered is refused as an invalid argument, as by Wine.
        if (deleted == ERROR_FILE_NOT_FOUND) return E_INVALIDARG;
        if (deleted != ERROR_SUCCESS) return FromStatus(deleted);
        // The library's key goes when no other version is left in it.
        RegDeleteKeyW(HKEY_CLASSES_ROOT, (u"TypeLib\\" + GuidText(guid)).c_str());
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
