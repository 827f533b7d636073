// probe/crt_byte_stream.h: a ByteStream over an open C run time stream.
#pragma once

#include <cstdio>

#include "probe/byte_stream.h"

namespace pixelfold {

class CrtByteStream final : public ByteStream {
  public:
    // Does not take ownership of `file`.
    explicit CrtByteStream(std::FILE* file) noexcept : file_(file) {}

    bool ReadExact(std::span<std::uint8_t> out) override;
    std::optional<std::uint8_t> ReadByte() override;
    void SkipForward(std::uint32_t count) override;

  private:
    std::FILE* file_;
};

}  // namespace pixelfold
