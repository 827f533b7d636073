// bytes/file_reader.h: buffered reading of an open file, for the header readers and the
// property item readers alike: sequential reads and skips (a ByteStream) and reads at any
// offset (a ByteSource). Small reads are served from one block of the file at a time, held in
// the caller's buffer; reads of a block or more go straight to the caller. On slow storage
// every read is a round trip, so none is made past the end of the file, and a block is filled
// only when a read leaves the one held.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>

#include "bytes/byte_source.h"
#include "bytes/byte_stream.h"

namespace pixelfold {

class FileReader final : public ByteStream, public ByteSource {
  public:
    // Takes ownership of neither `file`, which must stand at offset 0, nor `block` (not empty),
    // which must outlive the reader. Turns off the stream's own buffering. `size`: the file's
    // length when the caller has measured it already.
    FileReader(std::FILE* file, std::span<std::uint8_t> block,
               std::optional<std::uint64_t> size = std::nullopt);

    bool ReadExact(std::span<std::uint8_t> out) override;
    std::optional<std::uint8_t> ReadByte() override;
    void SkipForward(std::uint32_t count) override { position_ += count; }

    // The file's length, measured on first use (only random access needs it); 0 when it
    // cannot be measured.
    std::uint64_t size() const noexcept override;
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) override;

    void Rewind() noexcept { position_ = 0; }
    // From now on fills `block` (not smaller than the one in use, which it takes what that holds
    // from): a reader that passes over large data sequentially takes fewer, larger reads.
    void MoveToBlock(std::span<std::uint8_t> block) noexcept;

  private:
    // True when the block holds `position_`.
    bool InBlock() const noexcept;
    // Makes the block hold `position_`; false at the end of the file or on a read error.
    bool Fill();
    // Reads straight into `out` from `position_`, past the block.
    bool ReadDirect(std::span<std::uint8_t> out);
    bool SeekFile(std::uint64_t offset);

    std::FILE* file_;
    mutable std::optional<std::uint64_t> size_;
    std::span<std::uint8_t> block_;
    std::uint64_t blockStart_ = 0;
    std::size_t blockLength_ = 0;
    std::uint64_t fileOffset_ = 0;  // where the stream stands
    std::uint64_t position_ = 0;    // where the next read starts
};

}  // namespace pixelfold
