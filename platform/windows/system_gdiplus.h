// platform/windows/system_gdiplus.h: the system's GDI+, loaded from System32 when the plug-in
// first needs it rather than imported, so that a gdiplus.dll planted beside the host program is
// never mapped, and a host that asks only for header values never loads GDI+ at all.
#pragma once

#include "platform/property_item.h"

namespace pixelfold {

// The six flat-API functions the property item load calls.
struct GdiplusFunctions {
    decltype(&Gdiplus::GdiplusStartup) startup;
    decltype(&Gdiplus::GdiplusShutdown) shutdown;
    decltype(&Gdiplus::DllExports::GdipCreateBitmapFromFile) createBitmapFromFile;
    decltype(&Gdiplus::DllExports::GdipGetPropertySize) getPropertySize;
    decltype(&Gdiplus::DllExports::GdipGetAllPropertyItems) getAllPropertyItems;
    decltype(&Gdiplus::DllExports::GdipDisposeImage) disposeImage;
};

// GDI+ from System32 with its functions, found once for the life of the process (the module is
// never unloaded); null when it cannot be loaded or lacks one of them.
const GdiplusFunctions* SystemGdiplus() noexcept;

}  // namespace pixelfold
