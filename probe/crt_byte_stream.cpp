// probe/crt_byte_stream.cpp: a ByteStream over an open C run time stream.
#include "probe/crt_byte_stream.h"

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
    // A failed move shows up as the end of the data at the next read.
    _fseeki64(file_, std::int64_t{count}, SEEK_CUR);
}

}  // namespace pixelfold
