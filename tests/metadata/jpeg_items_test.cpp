// tests/metadata/jpeg_items_test.cpp: how much of a JPEG the property item reader reads.
#include "metadata/jpeg_items.h"

#include <gtest/gtest.h>

#include "bytes/memory_stream.h"
#include "support/camera_jpeg.h"

namespace pixelfold::test {
namespace {

// Counts the bytes handed out; skipped bytes are not read.
class CountingStream final : public ByteStream {
  public:
    explicit CountingStream(ByteStream& inner) : inner_(inner) {}
    bool ReadExact(std::span<std::uint8_t> out) override {
        read_ += out.size();
        return inner_.ReadExact(out);
    }
    std::optional<std::uint8_t> ReadByte() override {
        ++read_;
        return inner_.ReadByte();
    }
    void SkipForward(std::uint32_t count) override { inner_.SkipForward(count); }
    std::size_t read() const { return read_; }

  private:
    ByteStream& inner_;
    std::size_t read_ = 0;
};

TEST(JpegItemsTest, ReadsNoScanData) {
    const CameraJpeg jpeg = MakeCameraJpeg();
    MemoryStream memory(jpeg.bytes);
    CountingStream stream(memory);
    PropertyItemList items;
    AddJpegItems(stream, items);

    EXPECT_GT(items.size(), 40u);
    EXPECT_LE(stream.read(), jpeg.metadataBytes + 4096);
    EXPECT_LT(memory.position(), jpeg.metadataBytes + 16) << "the walk ran into the scan";
}

}  // namespace
}  // namespace pixelfold::test
