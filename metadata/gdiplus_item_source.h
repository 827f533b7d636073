// metadata/gdiplus_item_source.h: property items read by the platform's GDI+ (Windows only).
#pragma once

#include "metadata/property_item_source.h"
#include "platform/windows/system_gdiplus.h"

namespace pixelfold {

// Each step is one call of the GDI+ flat API; GDI+ runs from Start to Shutdown only.
class GdiplusItemSource final : public PropertyItemSource {
  public:
    bool Start() noexcept override;
    bool OpenImage(const WCHAR* path) noexcept override;
    bool QuerySize(std::uint32_t& totalBytes, std::uint32_t& count) noexcept override;
    bool ReadAll(std::uint32_t totalBytes, std::uint32_t count,
                 PropertyItem* block) noexcept override;
    void CloseImage() noexcept override;
    void Shutdown() noexcept override;

  private:
    const GdiplusFunctions* gdiplus_ = nullptr;
    ULONG_PTR token_ = 0;
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

}  // namespace pixelfold
