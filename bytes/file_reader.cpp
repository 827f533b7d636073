// bytes/file_reader.cpp: buffered reading of an open file.
#include "bytes/file_reader.h"

#include <algorithm>

#include "bytes/read_work.h"
#include "platform/platform.h"

namespace pixelfold {

FileReader::FileReader(std::FILE* file, std::span<std::uint8_t> block,
                       std::optional<std::uint64_t> size)
    : file_(file), size_(size), block_(block) {
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

std::uint64_t FileReader::size() const noexcept {
    if (!size_) {
        const std::int64_t length = _filelengthi64(_fileno(file_));
        size_ = length < 0 ? 0 : static_cast<std::uint64_t>(length);
    }
    return *size_;
}

bool FileReader::SeekFile(std::uint64_t offset) {
    if (fileOffset_ == offset) return true;
    if (_fseeki64(file_, static_cast<std::int64_t>(offset), SEEK_SET) != 0) return false;
    fileOffset_ = offset;
    return true;
}

bool FileReader::InBlock() const noexcept {
    return position_ >= blockStart_ && position_ < blockStart_ + blockLength_;
}

void FileReader::MoveToBlock(std::span<std::uint8_t> block) noexcept {
    if (block.size() < block_.size()) return;
    std::copy_n(block_.begin(), blockLength_, block.begin());
    block_ = block;
}

bool FileReader::Fill() {
    if (InBlock()) return true;
    // At or past the end nothing is read: a read that would only find the end costs a round
    // trip too.
    const std::uint64_t length = size();
    if (position_ >= length) return false;
    if (!SeekFile(position_)) return false;
    blockStart_ = position_;
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(block_.size(), length - position_));
    blockLength_ = std::fread(block_.data(), 1, wanted, file_);
    fileOffset_ += blockLength_;
    read_work::Copied(blockLength_);
    return blockLength_ != 0;
}

bool FileReader::ReadExact(std::span<std::uint8_t> out) {
    while (!out.empty()) {
        if (!InBlock() && out.size() >= block_.size()) return ReadDirect(out);
        if (!Fill()) return false;
        const std::size_t at = static_cast<std::size_t>(position_ - blockStart_);
        const std::size_t count = std::min(out.size(), blockLength_ - at);
        std::copy_n(block_.begin() + static_cast<std::ptrdiff_t>(at), count, out.begin());
        out = out.subspan(count);
        position_ += count;
    }
    return true;
}

bool FileReader::ReadDirect(std::span<std::uint8_t> out) {
    const std::uint64_t length = size();
    if (position_ > length || out.size() > length - position_) return false;  // past the end
    if (!SeekFile(position_)) return false;
    const std::size_t count = std::fread(out.data(), 1, out.size(), file_);
    fileOffset_ += count;
    read_work::Copied(count);
    position_ += count;
    return count == out.size();
}

std::optional<std::uint8_t> FileReader::ReadByte() {
    if (!Fill()) return std::nullopt;
    return block_[static_cast<std::size_t>(position_++ - blockStart_)];
}

bool FileReader::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > size() || out.size() > size() - offset) return false;
    position_ = offset;
    return ReadExact(out);
}

}  // namespace pixelfold
