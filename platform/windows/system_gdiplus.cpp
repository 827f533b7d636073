// platform/windows/system_gdiplus.cpp: gdiplus.dll from System32 only, and its flat API.
#include "platform/windows/system_gdiplus.h"

#include "platform/windows/system_library.h"

namespace pixelfold {
namespace {

// Finds each function of GDI+ from System32; false when one is missing. The module stays
// loaded: the functions are used for as long as the process runs, and freeing a library from
// DllMain is not allowed.
bool Load(GdiplusFunctions& gdiplus) noexcept {
    constexpr const wchar_t* kGdiplus = L"gdiplus.dll";
    gdiplus.startup = SystemFunction<decltype(gdiplus.startup)>(kGdiplus, "GdiplusStartup");
    gdiplus.shutdown = SystemFunction<decltype(gdiplus.shutdown)>(kGdiplus, "GdiplusShutdown");
    gdiplus.createBitmapFromFile = SystemFunction<decltype(gdiplus.createBitmapFromFile)>(
        kGdiplus, "GdipCreateBitmapFromFile");
    gdiplus.getPropertySize =
        SystemFunction<decltype(gdiplus.getPropertySize)>(kGdiplus, "GdipGetPropertySize");
    gdiplus.getAllPropertyItems =
        SystemFunction<decltype(gdiplus.getAllPropertyItems)>(kGdiplus, "GdipGetAllPropertyItems");
    gdiplus.disposeImage =
        SystemFunction<decltype(gdiplus.disposeImage)>(kGdiplus, "GdipDisposeImage");
    return gdiplus.startup && gdiplus.shutdown && gdiplus.createBitmapFromFile &&
           gdiplus.getPropertySize && gdiplus.getAllPropertyItems && gdiplus.disposeImage;
}

}  // namespace

const GdiplusFunctions* SystemGdiplus() noexcept {
    // Initialised once, by the first thread to get here; the others wait for it.
    static GdiplusFunctions gdiplus{};
    static const bool loaded = Load(gdiplus);
    return loaded ? &gdiplus : nullptr;
}

}  // namespace pixelfold
