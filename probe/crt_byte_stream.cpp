// probe/crt_byte_stream.cpp: a ByteStream over an open C run time stream.
#include "probe/crt_byte_stream.h"

#include <algorithm>
#include <array>

#include "platform/platform.h"

namespace pixelfold {

bool CrtByteStream::ReadExact(std::span<std::uint8_t> out) {
    return std::fread(out.data(), 1, out.size(), file_) == out.size();
}

std::optional<std::uint8_t> CrtByteStream::ReadByte() {
    const int c = std::fgetc(file_);
    if (c == EOF) return std::nullopt;
    return static_cast<std::uint8_t>(c);
}

void CrtByteStream::SkipForward(std::uint32_t count) {
    // Short skips are read past: the bytes are mostly in the stream's buffer already, where a
    // seek would still cost a system call. A failed read or move shows up as the end of the
    // data at the next read.
    constexpr std::uint32_t kReadPastLimit = 4096;
    if (count > kReadPastLimit) {
        _fseeki64(file_, std::int64_t{count}, SEEK_CUR);
        return;
    }
    std::array<std::uint8_t, 512> scratch;
    while (count > 0) {
        const std::size_t chunk = std::min<std::size_t>(count, scratch.size());
        if (std::fread(scratch.data(), 1, chunk, file_) != chunk) return;
        count -= static_cast<std::uint32_t>(chunk);
    }
}

}  // namespace pixelfold
