// bytes/byte_source.h: random access to the bytes of a metadata structure, either a block
// in memory (an EXIF segment) or a whole file (a TIFF image, see FileReader). Reads outside
// it fail.
#pragma once

#include <cstdint>
#include <span>

namespace pixelfold {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const noexcept = 0;
    // Fills all of `out` from `offset`, or fails when any of it lies outside the source.
    [[nodiscard]] virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}
    std::uint64_t size() const noexcept override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

  private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace pixelfold
