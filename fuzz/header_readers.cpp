// fuzz/header_readers.cpp: feeds each of the five header readers (BMP, PCX, GIF, PNG, JPEG)
// from memory, with no file system in the loop. The first byte picks the reader; the rest is
// the file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "bytes/memory_stream.h"
#include "probe/readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pixelfold;
    constexpr HeaderReader kReaders[] = {&ReadBmpHeader, &ReadPcxHeader, &ReadGifHeader,
                                         &ReadPngHeader, &ReadJpegHeader};
    if (size == 0) return 0;
    MemoryStream stream(std::vector<std::uint8_t>(data + 1, data + size));
    BmpInfo info;
    (void)kReaders[data[0] % std::size(kReaders)](stream, info);
    return 0;
}
