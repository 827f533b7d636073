// bench/open_bench.cpp: the cost of opening an image and reading its header, next to the
// least any reader must do: open the file, read 64 bytes, close it.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>

#include "platform/unique.h"
#include "probe/probed_image.h"
#include "support/bytes.h"
#include "support/temp_dir.h"

namespace pixelfold {
namespace {

using test::Append;
using test::AppendBe16;
using test::AppendLe16;
using test::AppendLe32;
using test::AppendText;
using test::AppendZeros;
using test::Bytes;

Bytes SmallBmp() {  // 16 x 16, 24 bits per pixel
    Bytes b;
    AppendText(b, "BM");
    AppendLe32(b, 54 + 16 * 16 * 3);
    AppendLe32(b, 0);
    AppendLe32(b, 54);
    AppendLe32(b, 40);
    AppendLe32(b, 16);
    AppendLe32(b, 16);
    AppendLe16(b, 1);
    AppendLe16(b, 24);
    AppendZeros(b, 24 + 16 * 16 * 3);
    return b;
}

Bytes SmallPng() {  // the header chunk of a 16 x 16 RGB image, then some data
    Bytes b{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
            0,    0,   16,  0,   0,    0,    16,   8,    2, 0, 0, 0,  1,   2,   3,   4};
    AppendZeros(b, 200);
    return b;
}

Bytes SmallGif() {  // 16 x 16 logical screen, then some data
    Bytes b;
    AppendText(b, "GIF89a");
    AppendLe16(b, 16);
    AppendLe16(b, 16);
    Append(b, {0xF7, 0, 0});
    AppendZeros(b, 200);
    return b;
}

Bytes JpegWithLargeExif() {  // a 60 KB EXIF segment before the frame header
    Bytes b{0xFF, 0xD8, 0xFF, 0xE1};
    AppendBe16(b, 60 * 1024 + 2);
    AppendText(b, "Exif");
    AppendZeros(b, 60 * 1024 - 4);
    Append(b, {0xFF, 0xC0, 0x00, 0x11, 0x08, 0x0B, 0xB8, 0x0F, 0xA0, 0x03});
    Append(b, {1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
    AppendZeros(b, 2000);
    return b;
}

class Files {
  public:
    Files() {
        Add("small.bmp", SmallBmp());
        Add("small.png", SmallPng());
        Add("small.gif", SmallGif());
        Add("exif.jpg", JpegWithLargeExif());
    }
    const WideString& operator[](const std::string& name) const { return paths_.at(name); }

  private:
    void Add(const std::string& name, const Bytes& bytes) {
        dir_.Write(name, bytes);
        paths_[name] = dir_.WidePath(name);
    }
    test::TempDir dir_;
    std::map<std::string, WideString> paths_;
};

const Files& BenchFiles() {
    static const Files files;
    return files;
}

void Open(benchmark::State& state, const std::string& name) {
    const WideString& path = BenchFiles()[name];
    for (auto _ : state) {
        ProbedImage image;
        if (image.Open(path.c_str()) != S_OK) state.SkipWithError("Open failed");
        benchmark::DoNotOptimize(image.info().dims);
    }
}

void BareRead(benchmark::State& state, const std::string& name) {
    const WideString& path = BenchFiles()[name];
    std::array<unsigned char, 64> block{};
    for (auto _ : state) {
        const UniqueCrtFile file(_wfsopen(path.c_str(), WTEXT("rb"), _SH_DENYWR));
        if (!file || std::fread(block.data(), 1, block.size(), file.get()) != block.size())
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(block);
    }
}

BENCHMARK_CAPTURE(Open, Bmp, std::string("small.bmp"));
BENCHMARK_CAPTURE(BareRead, Bmp, std::string("small.bmp"));
BENCHMARK_CAPTURE(Open, Png, std::string("small.png"));
BENCHMARK_CAPTURE(BareRead, Png, std::string("small.png"));
BENCHMARK_CAPTURE(Open, Gif, std::string("small.gif"));
BENCHMARK_CAPTURE(BareRead, Gif, std::string("small.gif"));
BENCHMARK_CAPTURE(Open, JpegWith60KBExif, std::string("exif.jpg"));
BENCHMARK_CAPTURE(BareRead, JpegWith60KBExif, std::string("exif.jpg"));

}  // namespace
}  // namespace pixelfold
