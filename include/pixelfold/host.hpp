// pixelfold/host.hpp: the plug-in for hosts that would rather not write COM by hand. Header
// only, C++17, with only include/ on the include path; no link library is needed (on Linux,
// glibc's dlopen; the OLE functions on Windows are taken from System32 at run time).
//
//     pixelfold::Plugin plugin("/usr/lib/pixelfold/libpixelfold.so");   // or pixelfold.dll
//     if (!plugin.ready()) return fail(plugin.error());
//     pixelfold::Image image = plugin.Open("photo.jpg");
//     if (!image.opened()) return fail(image.result());
//     pixelfold::Answers answers = image.Ask({"Width", "PropertyTagDateTime"});
//     answers.values[0].integer; answers.values[1].date.year; ...
//
// Threads: one Plugin serves every thread at once (the format object is free-threaded). An
// Image and a Query belong to the thread that made them (a navigator takes calls from its own
// thread only): give each thread its own. On Windows a thread that also uses COM for other
// work joins an apartment as usual; the plug-in, loaded by path, needs none.
//
// Lifetimes: the Plugin must outlive every Image and Query made from it. Every BSTR, VARIANT
// and interface that crosses is owned by one of these objects and released by it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "pixelfold/pixelfold.h"
#include "pixelfold/utf8.hpp"

#if !defined(_WIN32)
#include <dlfcn.h>
#elif !defined(LOAD_LIBRARY_SEARCH_SYSTEM32)
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace pixelfold {

// A date as calendar fields, local time as the file holds it.
struct CalendarDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// An OLE Automation date (VT_DATE: whole days since 30 December 1899, the fraction the time of
// day, counted away from that day so that -1.25 is 29 December 1899 06:00) as calendar fields,
// to the nearest second. All fields are 0 for a value outside 1 January 100 to 31 December 9999.
inline CalendarDate CalendarDateFromOleDate(double date) {
    constexpr double kFirst = -657434.0;  // 1 January 100
    constexpr double kLast = 2958466.0;   // 1 January 10000
    if (!(date >= kFirst && date < kLast)) return {};
    const double wholeDays = std::trunc(date);
    long long seconds = std::llround(std::fabs(date - wholeDays) * 86400.0);
    long long days = static_cast<long long>(wholeDays);
    if (seconds >= 86400) {  // rounded up to the next midnight
        seconds -= 86400;
        days += 1;
    }
    if (days >= static_cast<long long>(kLast)) return {};
    // Days since 1 March of year 0 of the proleptic Gregorian calendar, then by 400-year eras.
    const long long sinceMarch0 = days + 693899;  // 30 December 1899 is day 693,899
    const long long era = sinceMarch0 / 146097;
    const long long dayOfEra = sinceMarch0 - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    CalendarDate out;
    out.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    out.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    out.year = static_cast<int>(yearOfEra + era * 400 + (out.month <= 2 ? 1 : 0));
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    return out;
}

// One name's answer.
struct Answer {
    enum class Type {
        kNotAnswered,  // the file has no such value, or it is not one the plug-in converts
        kEmpty,        // answered without a value (VT_EMPTY)
        kInteger,      // VT_I4: `integer`
        kReal,         // VT_R8: `real` (may be infinite or not a number)
        kText,         // VT_BSTR: `text`, UTF-8
        kDate,         // VT_DATE: `date`, and the OLE date itself in `real`
    };
    Type type = Type::kNotAnswered;
    std::int32_t integer = 0;
    double real = 0;
    std::string text;
    CalendarDate date;
    std::int32_t attributes = 0;  // the attribute flags the plug-in wrote

    bool answered() const { return type != Type::kNotAnswered; }
};

// What Image::Ask gives: the result of GetValues and one answer per name asked, in order. On
// E_OUTOFMEMORY the answers before the request where memory ran out stand; that one and those
// after it are not answered.
struct Answers {
    HRESULT result = S_OK;
    std::vector<Answer> values;
};

class Image;
class Query;

namespace host_detail {

// The string and variant functions: the system's on Windows, the plug-in's exports on Linux.
struct Runtime {
    SysAllocStringFunction allocString = nullptr;
    SysFreeStringFunction freeString = nullptr;
    SysStringLenFunction stringLength = nullptr;
    VariantClearFunction clearVariant = nullptr;

    bool complete() const {
        return allocString != nullptr && freeString != nullptr && stringLength != nullptr &&
               clearVariant != nullptr;
    }
    std::string Utf8(BSTR text) const {
        if (text == nullptr) return {};
        return Utf8FromUtf16(std::basic_string_view<OLECHAR>(text, stringLength(text)));
    }
};

#if defined(_WIN32)
using LibraryHandle = HMODULE;

template <typename Function>
Function Find(HMODULE library, const char* name) {
    // GetProcAddress gives a generic function pointer; the real type is the declared one.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The library at `path` by its full path; what it imports comes from System32 only, for this
// call alone (the process's own search order is left as it is).
inline HMODULE Load(const std::string& path, std::string& error) {
    const std::basic_string<OLECHAR> wide = Utf16FromUtf8(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            full = wide;
            break;
        }
        const bool fits = length < full.size();
        full.resize(length);
        if (fits) break;
    }
    const HMODULE module = LoadLibraryExW(full.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module != nullptr) return module;
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    error = "error " + std::to_string(code);
    if (text != nullptr) {
        error += ": " + Utf8FromUtf16(text);
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r'))
            error.pop_back();
        LocalFree(text);
    }
    return nullptr;
}

inline void Unload(HMODULE library) {
    FreeLibrary(library);
}

inline bool BindRuntime(HMODULE, HMODULE& oleAutomation, Runtime& runtime) {
    oleAutomation = LoadLibraryExW(L"oleaut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (oleAutomation == nullptr) return false;
    runtime.allocString = Find<SysAllocStringFunction>(oleAutomation, "SysAllocString");
    runtime.freeString = Find<SysFreeStringFunction>(oleAutomation, "SysFreeString");
    runtime.stringLength = Find<SysStringLenFunction>(oleAutomation, "SysStringLen");
    runtime.clearVariant = Find<VariantClearFunction>(oleAutomation, "VariantClear");
    return runtime.complete();
}

// The library that holds `code`, with a reference of its own.
inline HMODULE LibraryHolding(const void* code) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(code), &module);
    return module;
}
#else
using LibraryHandle = void*;

template <typename Function>
Function Find(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

inline void* Load(const std::string& path, std::string& error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) error = dlerror();
    return library;
}

inline void Unload(void* library) {
    dlclose(library);
}

inline bool BindRuntime(void* plugin, void*& oleAutomation, Runtime& runtime) {
    oleAutomation = nullptr;
    runtime.allocString = Find<SysAllocStringFunction>(plugin, "SysAllocString");
    runtime.freeString = Find<SysFreeStringFunction>(plugin, "SysFreeString");
    runtime.stringLength = Find<SysStringLenFunction>(plugin, "SysStringLen");
    runtime.clearVariant = Find<VariantClearFunction>(plugin, "VariantClear");
    return runtime.complete();
}

// The library that holds `code`, with a reference of its own.
inline void* LibraryHolding(const void* code) {
    Dl_info info{};
    if (dladdr(code, &info) == 0 || info.dli_fname == nullptr) return nullptr;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_LOCAL);
}
#endif

}  // namespace host_detail

// The plug-in: its library and its one format object, shared by every thread.
class Plugin {
  public:
    // Loads the plug-in library at `libraryPath` (UTF-8; on Windows its dependencies come from
    // System32) and makes its format object through DllGetClassObject. Check `ready()`.
    explicit Plugin(const std::string& libraryPath) {
        library_ = host_detail::Load(libraryPath, error_);
        if (library_ == nullptr) {
            error_ = "cannot load " + libraryPath + ": " + error_;
            result_ = E_FAIL;
            return;
        }
        const auto getClassObject =
            host_detail::Find<DllGetClassObjectFunction>(library_, "DllGetClassObject");
        if (getClassObject == nullptr || !BindRuntime()) {
            Fail(E_FAIL, libraryPath + " is not the plug-in: an export is missing");
            return;
        }
        PixelfoldClassFactory* factory = nullptr;
        HRESULT hr = getClassObject(CLSID_ImageFormat, IID_IClassFactory,
                                    reinterpret_cast<void**>(&factory));
        if (SUCCEEDED(hr)) {
            hr = factory->lpVtbl->CreateInstance(factory, nullptr, IID_IVltFileFormat,
                                                 reinterpret_cast<void**>(&format_));
            factory->lpVtbl->Release(factory);
        }
        if (FAILED(hr)) {
            format_ = nullptr;
            Fail(hr, libraryPath + " did not make its format object");
            return;
        }
        ReadExtensions();
    }

    // Takes a format object the host already has (for example from CoCreateInstance on
    // Windows), with a reference of its own; its library stays loaded while this lives.
    explicit Plugin(IVltFileFormat* format) {
        if (format == nullptr) {
            Fail(E_POINTER, "no format object");
            return;
        }
        library_ =
            host_detail::LibraryHolding(reinterpret_cast<const void*>(format->lpVtbl->GetInfo));
        if (library_ == nullptr || !BindRuntime()) {
            Fail(E_FAIL, "the format object's library has no string and variant functions");
            return;
        }
        format_ = format;
        format_->lpVtbl->AddRef(format_);
        ReadExtensions();
    }

    ~Plugin() {
        if (format_ != nullptr) format_->lpVtbl->Release(format_);
        if (oleAutomation_ != nullptr) host_detail::Unload(oleAutomation_);
        if (library_ == nullptr) return;
        // A library whose objects are still in use (a leaked reference) stays loaded.
        const auto canUnloadNow =
            host_detail::Find<DllCanUnloadNowFunction>(library_, "DllCanUnloadNow");
        if (canUnloadNow == nullptr || canUnloadNow() == S_OK) host_detail::Unload(library_);
    }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    bool ready() const { return format_ != nullptr; }
    // S_OK when ready, otherwise the code of the step that failed (E_FAIL when the library
    // could not be loaded or is not the plug-in).
    HRESULT result() const { return result_; }
    // Why the plug-in is not ready, in words; empty when it is.
    const std::string& error() const { return error_; }
    // The file extensions the plug-in serves, lower case ("bmp", "pcx", "jpg", "gif", "png").
    const std::vector<std::string>& extensions() const { return extensions_; }
    // The format object, for calls this layer does not wrap; no reference is added.
    IVltFileFormat* format() const { return format_; }

    // Opens the image at `path` (UTF-8; on Linux bytes that are not UTF-8 reach the file
    // system unchanged) and reads its header.
    inline Image Open(const std::string& path) const;
    inline Image Open(const OLECHAR* path) const;

  private:
    friend class Image;
    friend class Query;

    bool BindRuntime() { return host_detail::BindRuntime(library_, oleAutomation_, runtime_); }

    void Fail(HRESULT hr, std::string why) {
        result_ = hr;
        error_ = std::move(why);
        if (FAILED(hr) && hr != E_FAIL) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
            error_ += std::string(" (") + code + ")";
        }
    }

    void ReadExtensions() {
        BSTR company = nullptr, description = nullptr, list = nullptr;
        if (SUCCEEDED(format_->lpVtbl->GetInfo(format_, &company, &description, &list))) {
            std::string extension;
            for (const char c : runtime_.Utf8(list) + ",") {
                if (c != ',') {
                    extension += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                } else if (!extension.empty()) {
                    extensions_.push_back(std::move(extension));
                    extension.clear();
                }
            }
        }
        runtime_.freeString(company);
        runtime_.freeString(description);
        runtime_.freeString(list);
    }

    host_detail::LibraryHandle library_ = nullptr;
    host_detail::LibraryHandle oleAutomation_ = nullptr;
    host_detail::Runtime runtime_;
    IVltFileFormat* format_ = nullptr;
    HRESULT result_ = S_OK;
    std::string error_;
    std::vector<std::string> extensions_;
};

// Names to ask, made into requests once and asked of any number of images, on one thread.
class Query {
  public:
    // Each name as the plug-in knows it ("Width", "PropertyTagEquipModel", ...), in the group
    // "Image". A name may be asked more than once.
    Query(const Plugin& plugin, const std::vector<std::string>& names)
        : runtime_(&plugin.runtime_), requests_(names.size()) {
        static constexpr OLECHAR kImage[] = {'I', 'm', 'a', 'g', 'e', 0};
        for (std::size_t i = 0; i < names.size(); ++i) {
            requests_[i].name = runtime_->allocString(Utf16FromUtf8(names[i]).c_str());
            requests_[i].group = runtime_->allocString(kImage);
            requests_[i].value.vt = VT_EMPTY;
        }
    }
    ~Query() { Clear(); }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    Query(Query&& other) noexcept
        : runtime_(other.runtime_), requests_(std::move(other.requests_)) {
        other.requests_.clear();
    }
    Query& operator=(Query&& other) noexcept {
        if (this != &other) {
            Clear();
            runtime_ = other.runtime_;
            requests_ = std::move(other.requests_);
            other.requests_.clear();
        }
        return *this;
    }

    std::size_t size() const { return requests_.size(); }

  private:
    friend class Image;

    void Clear() {
        for (ValueRequest& r : requests_) {
            runtime_->freeString(r.name);
            runtime_->freeString(r.group);
            runtime_->clearVariant(&r.value);
        }
        requests_.clear();
    }

    const host_detail::Runtime* runtime_;
    std::vector<ValueRequest> requests_;
};

// One opened image (a navigator), used on the thread that opened it.
class Image {
  public:
    Image(Image&& other) noexcept
        : plugin_(other.plugin_),
          navigator_(std::exchange(other.navigator_, nullptr)),
          result_(other.result_) {}
    Image& operator=(Image&& other) noexcept {
        if (this != &other) {
            Close();
            plugin_ = other.plugin_;
            navigator_ = std::exchange(other.navigator_, nullptr);
            result_ = other.result_;
        }
        return *this;
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() { Close(); }

    bool opened() const { return navigator_ != nullptr; }
    // The result of OpenNavigator: S_OK, or FILE_E_NOT_FOUND (no such file), FILE_E_CANNOT_OPEN
    // (it cannot be read), FILE_E_BAD_FORMAT (the header does not fit the format its extension
    // names), E_INVALIDARG (the path has no extension), E_FAIL (the file ends inside its
    // header), E_OUTOFMEMORY or E_POINTER.
    HRESULT result() const { return result_; }
    // The navigator, for calls this layer does not wrap; no reference is added.
    IVltFileNavigator* navigator() const { return navigator_; }

    // Asks the names of `query`: the result of GetValues (S_OK, or E_OUTOFMEMORY part way) and
    // one answer per name in `answers`, whose earlier content is replaced.
    HRESULT Ask(Query& query, std::vector<Answer>& answers) const {
        answers.assign(query.requests_.size(), Answer{});
        if (navigator_ == nullptr) return result_;
        if (query.requests_.empty()) return S_OK;
        for (ValueRequest& r : query.requests_) {
            query.runtime_->clearVariant(&r.value);
            r.found = 0;
            r.attributes = 0;
        }
        const HRESULT hr = navigator_->lpVtbl->GetValues(
            navigator_, 0, 0, 0, static_cast<std::int32_t>(query.requests_.size()),
            query.requests_.data());
        for (std::size_t i = 0; i < answers.size(); ++i)
            answers[i] = AnswerOf(query.requests_[i], *query.runtime_);
        return hr;
    }

    // The same for a list of names asked once.
    Answers Ask(const std::vector<std::string>& names) const {
        Query query(*plugin_, names);
        Answers out;
        out.result = Ask(query, out.values);
        return out;
    }

  private:
    friend class Plugin;

    Image(const Plugin& plugin, const OLECHAR* path) : plugin_(&plugin) {
        if (plugin.format_ == nullptr) {
            result_ = plugin.result_;
            return;
        }
        result_ = plugin.format_->lpVtbl->OpenNavigator(plugin.format_, path, 0, &navigator_);
        if (FAILED(result_)) navigator_ = nullptr;
    }

    void Close() {
        if (navigator_ != nullptr) navigator_->lpVtbl->Release(navigator_);
        navigator_ = nullptr;
    }

    static Answer AnswerOf(const ValueRequest& request, const host_detail::Runtime& runtime) {
        Answer answer;
        if (request.found == 0) return answer;
        answer.attributes = request.attributes;
        const VARIANT& v = request.value;
        switch (v.vt) {
            case VT_I4:
                answer.type = Answer::Type::kInteger;
                answer.integer = v.lVal;
                break;
            case VT_R8:
                answer.type = Answer::Type::kReal;
                answer.real = v.dblVal;
                break;
            case VT_DATE:
                answer.type = Answer::Type::kDate;
                answer.real = v.date;
                answer.date = CalendarDateFromOleDate(v.date);
                break;
            case VT_BSTR:
                answer.type = Answer::Type::kText;
                answer.text = runtime.Utf8(v.bstrVal);
                break;
            default:
                answer.type = Answer::Type::kEmpty;
                break;
        }
        return answer;
    }

    const Plugin* plugin_;
    IVltFileNavigator* navigator_ = nullptr;
    HRESULT result_ = E_FAIL;
};

inline Image Plugin::Open(const std::string& path) const {
#if defined(_WIN32)
    return Image(*this, Utf16FromUtf8(path).c_str());
#else
    return Image(*this, Utf16FromFileName(path).c_str());
#endif
}

inline Image Plugin::Open(const OLECHAR* path) const {
    return Image(*this, path);
}

}  // namespace pixelfold
