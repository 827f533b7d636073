// tests/public_header/host_sketch.cpp: a host written against the public headers alone, built
// as C++17 with nothing but include/ on its include path: it shows that the headers stand on
// their own. (Its behaviour is the reference host's, which the host tests run.)
#include "pixelfold/pixelfold.h"
#include "pixelfold/property_names.h"

static_assert(__cplusplus >= 201703L && __cplusplus < 202002L, "built as C++17");

// The width of the image at `path`, or -1: the calls a host makes, in the order it makes them.
long WidthOf(DllGetClassObjectFunction getClassObject, const OLECHAR* path, BSTR width) {
    IClassFactory* factory = nullptr;
    if (FAILED(getClassObject(CLSID_ImageFormat, IID_IClassFactory,
                              reinterpret_cast<void**>(&factory)))) {
        return -1;
    }
    IVltFileFormat* format = nullptr;
    const HRESULT created =
        factory->CreateInstance(nullptr, IID_IVltFileFormat, reinterpret_cast<void**>(&format));
    factory->Release();
    if (FAILED(created)) return -1;
    IVltFileNavigator* navigator = nullptr;
    const HRESULT opened = format->lpVtbl->OpenNavigator(format, path, 0, &navigator);
    format->lpVtbl->Release(format);
    if (opened == FILE_E_NOT_FOUND || FAILED(opened)) return -1;
    ValueRequest request{};
    request.name = width;
    request.group = width;
    const HRESULT answered = navigator->lpVtbl->GetValues(navigator, 0, 0, 0, 1, &request);
    navigator->lpVtbl->Release(navigator);
    const bool isDate = pixelfold::kPropertyTagRows[0].kind == pixelfold::kDate;
    return SUCCEEDED(answered) && request.found != 0 && request.value.vt == VT_I4 && !isDate
               ? request.value.lVal
               : -1;
}
