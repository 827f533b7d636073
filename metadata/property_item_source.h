// metadata/property_item_source.h: where an image's property items come from. The steps are
// those of the GDI+ flat API, which LoadPropertyItems takes in this order: Start, OpenImage,
// QuerySize, ReadAll, then CloseImage and Shutdown.
#pragma once

#include <cstdint>

#include "platform/property_item.h"

namespace pixelfold {

class PropertyItemSource {
  public:
    virtual ~PropertyItemSource() = default;

    // Makes the source ready. On false nothing else is called.
    [[nodiscard]] virtual bool Start() noexcept = 0;
    // Opens the image file at `path`, which may be null (and then fails).
    [[nodiscard]] virtual bool OpenImage(const WCHAR* path) noexcept = 0;
    // The size of the block that holds all items with their values, and the item count.
    [[nodiscard]] virtual bool QuerySize(std::uint32_t& totalBytes,
                                         std::uint32_t& count) noexcept = 0;
    // Fills `block` (of `totalBytes`) with `count` records followed by their values.
    [[nodiscard]] virtual bool ReadAll(std::uint32_t totalBytes, std::uint32_t count,
                                       PropertyItem* block) noexcept = 0;
    // Closes the image; called after OpenImage whether or not it succeeded.
    virtual void CloseImage() noexcept = 0;
    // Called once for every successful Start.
    virtual void Shutdown() noexcept = 0;
};

}  // namespace pixelfold
