// bytes/byte_stream.h: reading a file or a block of bytes from front to back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace pixelfold {

// A forward byte source. A short read is a failure, never zeros.
class ByteStream {
  public:
    virtual ~ByteStream() = default;
    // Fills all of `out`, or reports failure (the position is then unspecified).
    [[nodiscard]] virtual bool ReadExact(std::span<std::uint8_t> out) = 0;
    // The next byte, or nothing at the end of the data.
    [[nodiscard]] virtual std::optional<std::uint8_t> ReadByte() = 0;
    // Moves forward from the current position; moving past the end is allowed.
    virtual void SkipForward(std::uint32_t count) = 0;
};

}  // namespace pixelfold
