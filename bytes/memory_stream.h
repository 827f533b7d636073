// bytes/memory_stream.h: a ByteStream over bytes in memory, for readers fed without a file
// (tests and fuzz targets).
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "bytes/byte_stream.h"
#include "bytes/read_work.h"

namespace pixelfold {

class MemoryStream final : public ByteStream {
  public:
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    bool ReadExact(std::span<std::uint8_t> out) override {
        if (position_ > bytes_.size() || bytes_.size() - position_ < out.size()) {
            position_ = std::max(position_, bytes_.size());
            return false;
        }
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), out.size(),
                    out.begin());
        read_work::Copied(out.size());
        position_ += out.size();
        return true;
    }
    std::optional<std::uint8_t> ReadByte() override {
        if (position_ >= bytes_.size()) return std::nullopt;
        read_work::Copied(1);
        return bytes_[position_++];
    }
    void SkipForward(std::uint32_t count) override { position_ += count; }

    std::size_t position() const { return position_; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace pixelfold
