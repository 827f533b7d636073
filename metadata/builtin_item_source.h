// metadata/builtin_item_source.h: property items read by the project's own reader.
#pragma once

#include "metadata/property_item_list.h"
#include "metadata/property_item_source.h"

namespace pixelfold {

// Reads the whole metadata of the file at OpenImage and hands it out as GDI+ would.
class BuiltinItemSource final : public PropertyItemSource {
  public:
    bool Start() noexcept override { return true; }
    bool OpenImage(const WCHAR* path) noexcept override;
    bool QuerySize(std::uint32_t& totalBytes, std::uint32_t& count) noexcept override;
    bool ReadAll(std::uint32_t totalBytes, std::uint32_t count,
                 PropertyItem* block) noexcept override;
    void CloseImage() noexcept override;
    void Shutdown() noexcept override {}

  private:
    PropertyItemList items_;
    bool open_ = false;
};

}  // namespace pixelfold
