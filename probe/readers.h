// probe/readers.h: the five header readers. Each takes the open stream at offset 0 and the
// navigator's record, reads the file size (BMP and GIF only) and writes only the three header
// values, all together and only on success. None raises anything to its caller.
#pragma once

#include <cstdint>

#include "bytes/byte_stream.h"
#include "platform/platform.h"
#include "probe/bmp_info.h"

namespace pixelfold {

using HeaderReader = HRESULT (*)(ByteStream& stream, BmpInfo& info) noexcept;

// S_OK or FILE_E_BAD_FORMAT. Reads at most 54 bytes; needs a file of at least 26 bytes.
HRESULT ReadBmpHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK or FILE_E_BAD_FORMAT. Reads 12 bytes and tests none of them.
HRESULT ReadPcxHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK or FILE_E_BAD_FORMAT. Reads 11 bytes; needs a file of at least 11 bytes.
HRESULT ReadGifHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK or FILE_E_BAD_FORMAT. Reads the signature and the first chunk, which must be a 13-byte
// IHDR; the chunk's checksum is not read.
HRESULT ReadPngHeader(ByteStream& stream, BmpInfo& info) noexcept;
// S_OK, FILE_E_BAD_FORMAT or E_FAIL. Walks the marker segments to the first baseline or
// progressive frame header; reaching the scan or the end of image first is S_OK with the
// record untouched.
HRESULT ReadJpegHeader(ByteStream& stream, BmpInfo& info) noexcept;

}  // namespace pixelfold
