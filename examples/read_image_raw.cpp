// examples/read_image_raw.cpp: the same host as read_image.cpp with the raw interface calls
// and nothing but pixelfold/pixelfold.h: load the library, get the format object from
// DllGetClassObject, open a navigator on the image, ask GetValues for two names, read the
// VARIANTs, and release everything in reverse order.
#include <cmath>
#include <cstdio>

#include "pixelfold/pixelfold.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace {

// The library's exports and the string and variant functions a host needs: the system's on
// Windows, the plug-in library's own on Linux.
struct Library {
    DllGetClassObjectFunction getClassObject = nullptr;
    DllCanUnloadNowFunction canUnloadNow = nullptr;
    SysAllocStringFunction sysAllocString = nullptr;
    SysFreeStringFunction sysFreeString = nullptr;
    VariantClearFunction variantClear = nullptr;
};

#if defined(_WIN32)
HMODULE module = nullptr;

template <typename Function>
Function Find(HMODULE from, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(from, name)));
}

bool Load(const char* path, Library& out) {
    // The plug-in's own dependencies from System32 only, for this call alone.
    module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const HMODULE ole = LoadLibraryExW(L"oleaut32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr || ole == nullptr) return false;
    out.getClassObject = Find<DllGetClassObjectFunction>(module, "DllGetClassObject");
    out.canUnloadNow = Find<DllCanUnloadNowFunction>(module, "DllCanUnloadNow");
    out.sysAllocString = Find<SysAllocStringFunction>(ole, "SysAllocString");
    out.sysFreeString = Find<SysFreeStringFunction>(ole, "SysFreeString");
    out.variantClear = Find<VariantClearFunction>(ole, "VariantClear");
    return true;
}

void Unload() {
    FreeLibrary(module);
}
#else
void* module = nullptr;

template <typename Function>
Function Find(void* from, const char* name) {
    return reinterpret_cast<Function>(dlsym(from, name));
}

bool Load(const char* path, Library& out) {
    module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return false;
    out.getClassObject = Find<DllGetClassObjectFunction>(module, "DllGetClassObject");
    out.canUnloadNow = Find<DllCanUnloadNowFunction>(module, "DllCanUnloadNow");
    out.sysAllocString = Find<SysAllocStringFunction>(module, "SysAllocString");
    out.sysFreeString = Find<SysFreeStringFunction>(module, "SysFreeString");
    out.variantClear = Find<VariantClearFunction>(module, "VariantClear");
    return true;
}

void Unload() {
    dlclose(module);
}
#endif

// An OLE date (days since 30 December 1899, the fraction the time of day) printed as calendar
// date and time. Dates before 1900 are left out of this example for brevity.
void PrintDate(double date) {
    long days = static_cast<long>(date);
    long seconds = std::lround((date - static_cast<double>(days)) * 86400.0);
    if (seconds == 86400) days += 1, seconds = 0;
    int year = 1899, month = 12;
    long day = 30 + days;  // count forward from 30 December 1899
    const auto daysIn = [](int y, int m) {
        static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return m == 2 && leap ? 29 : kDays[m - 1];
    };
    while (day > daysIn(year, month)) {
        day -= daysIn(year, month);
        if (++month == 13) month = 1, ++year;
    }
    std::printf("%04d-%02d-%02ld %02ld:%02ld:%02ld\n", year, month, day, seconds / 3600,
                seconds / 60 % 60, seconds % 60);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: read_image_raw PLUGIN-LIBRARY IMAGE\n");
        return 2;
    }
    Library library;
    if (!Load(argv[1], library) || library.getClassObject == nullptr ||
        library.sysAllocString == nullptr) {
        std::fprintf(stderr, "cannot load the plug-in %s\n", argv[1]);
        return 2;
    }
    PixelfoldClassFactory* factory = nullptr;
    IVltFileFormat* format = nullptr;
    if (FAILED(library.getClassObject(CLSID_ImageFormat, IID_IClassFactory,
                                      reinterpret_cast<void**>(&factory)))) {
        std::fprintf(stderr, "the plug-in gave no class object\n");
        return 2;
    }
    const HRESULT created = factory->lpVtbl->CreateInstance(factory, nullptr, IID_IVltFileFormat,
                                                            reinterpret_cast<void**>(&format));
    factory->lpVtbl->Release(factory);
    if (FAILED(created)) {
        std::fprintf(stderr, "the plug-in did not make its format object\n");
        return 2;
    }

    // The path as UTF-16; this example takes ASCII paths only.
    OLECHAR path[1024] = {};
    for (int i = 0; argv[2][i] != '\0' && i < 1023; ++i)
        path[i] = static_cast<OLECHAR>(argv[2][i]);
    IVltFileNavigator* navigator = nullptr;
    const HRESULT opened = format->lpVtbl->OpenNavigator(format, path, 0, &navigator);
    int status = 0;
    if (FAILED(opened)) {
        std::fprintf(stderr, "cannot open %s: 0x%08X\n", argv[2], static_cast<unsigned>(opened));
        status = 1;
    } else {
        static const OLECHAR kWidth[] = {'W', 'i', 'd', 't', 'h', 0};
        static const OLECHAR kDateTime[] = {'P', 'r', 'o', 'p', 'e', 'r', 't', 'y', 'T', 'a',
                                            'g', 'D', 'a', 't', 'e', 'T', 'i', 'm', 'e', 0};
        static const OLECHAR kImage[] = {'I', 'm', 'a', 'g', 'e', 0};
        ValueRequest requests[2] = {};
        requests[0].name = library.sysAllocString(kWidth);
        requests[1].name = library.sysAllocString(kDateTime);
        for (ValueRequest& r : requests)
            r.group = library.sysAllocString(kImage);
        // Arguments 1 and 3 are not read; 0 for the stop flag asks every request.
        const HRESULT asked = navigator->lpVtbl->GetValues(navigator, 0, 0, 0, 2, requests);
        if (FAILED(asked)) {
            std::fprintf(stderr, "GetValues failed: 0x%08X\n", static_cast<unsigned>(asked));
            status = 1;
        } else {
            std::printf("Width: %d\n", static_cast<int>(requests[0].value.lVal));
            std::printf("PropertyTagDateTime: ");
            if (requests[1].found != 0 && requests[1].value.vt == VT_DATE) {
                PrintDate(requests[1].value.date);
            } else {
                std::printf("not answered\n");
            }
        }
        for (ValueRequest& r : requests) {  // the host owns the strings and the answers
            library.sysFreeString(r.name);
            library.sysFreeString(r.group);
            library.variantClear(&r.value);
        }
        navigator->lpVtbl->Release(navigator);
    }
    format->lpVtbl->Release(format);
    if (library.canUnloadNow != nullptr && library.canUnloadNow() == S_OK) Unload();
    return status;
}
