// tests/installer/com_client.cpp: a COM client that knows the plug-in only as registered: it
// creates the format object by class ID and by ProgID through the system, opens an image and
// prints its size. Usage: com_client IMAGE. Exit status 0 when every step worked.
#include <cstdio>

#include "module/object_map.h"
#include "pixelfold/pixelfold.h"

namespace {

using namespace pixelfold;

int Fail(const char* step, HRESULT hr) {
    std::fprintf(stderr, "%s failed: 0x%08lX\n", step, static_cast<unsigned long>(hr));
    return 1;
}

// Opens `path` through a format object of `clsid` and prints "Width=..,Height=..".
int ReadSize(const CLSID& clsid, const wchar_t* path) {
    IVltFileFormat* format = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVltFileFormat,
                                  reinterpret_cast<void**>(&format));
    if (FAILED(hr)) return Fail("CoCreateInstance", hr);
    IVltFileNavigator* navigator = nullptr;
    hr = format->lpVtbl->OpenNavigator(format, path, 0, &navigator);
    format->lpVtbl->Release(format);
    if (FAILED(hr)) return Fail("OpenNavigator", hr);
    ValueRequest requests[2] = {};
    requests[0].name = SysAllocString(L"Width");
    requests[1].name = SysAllocString(L"Height");
    for (ValueRequest& request : requests)
        request.group = SysAllocString(L"Image");
    hr = navigator->lpVtbl->GetValues(navigator, 0, 0, 0, 2, requests);
    navigator->lpVtbl->Release(navigator);
    if (SUCCEEDED(hr))
        std::printf("Width=%ld,Height=%ld\n", requests[0].value.lVal, requests[1].value.lVal);
    for (ValueRequest& request : requests) {
        SysFreeString(request.name);
        SysFreeString(request.group);
        VariantClear(&request.value);
    }
    return FAILED(hr) ? Fail("GetValues", hr) : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: com_client IMAGE\n");
        return 2;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 1;
    int status = ReadSize(CLSID_ImageFormat, argv[1]);
    for (const wchar_t* progId : {L"Pixelfold.ImageFormat", L"Pixelfold.ImageFormat.1"}) {
        CLSID clsid{};
        const HRESULT hr = CLSIDFromProgID(progId, &clsid);
        if (FAILED(hr)) {
            status = Fail("CLSIDFromProgID", hr);
        } else if (!(clsid == CLSID_ImageFormat)) {
            status = Fail("CLSIDFromProgID (another class)", E_FAIL);
        } else {
            status |= ReadSize(clsid, argv[1]);
        }
    }
    CLSID fileClsid{};
    IUnknown* navigator = nullptr;
    HRESULT hr = CLSIDFromProgID(L"Pixelfold.ImageFile", &fileClsid);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(fileClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&navigator));
    }
    if (FAILED(hr) || !(fileClsid == CLSID_ImageFile)) {
        status = Fail("creating the navigator class by ProgID", hr);
    } else {
        navigator->Release();
        std::printf("ImageFile created\n");
    }
    CoUninitialize();
    return status;
}
