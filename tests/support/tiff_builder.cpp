// tests/support/tiff_builder.cpp: lays out TIFF structures for tests.
#include "support/tiff_builder.h"

namespace pixelfold::test {
namespace {

std::size_t UnitSize(std::uint16_t type) {
    switch (type) {
        case 3:
        case 8:
            return 2;
        case 4:
        case 5:
        case 9:
        case 10:
        case 11:
        case 13:
            return 4;
        case 12:
            return 8;
        default:
            return 1;
    }
}

class Writer {
  public:
    explicit Writer(bool bigEndian) : big_(bigEndian) {}
    void Put(Bytes& b, std::uint64_t v, std::size_t size) const {
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t shift = 8 * (big_ ? size - 1 - i : i);
            b.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    }
    void PutAt(Bytes& b, std::size_t at, std::uint64_t v, std::size_t size) const {
        Bytes tmp;
        Put(tmp, v, size);
        for (std::size_t i = 0; i < size; ++i)
            b[at + i] = tmp[i];
    }

  private:
    bool big_;
};

std::size_t IfdSize(const TiffIfd& ifd) {
    std::size_t size = 2 + 12 * ifd.fields.size() + 4;
    for (const TiffField& f : ifd.fields) {
        const std::size_t bytes = f.numbers.size() * UnitSize(f.type);
        if (bytes > 4) size += bytes;
    }
    return size;
}

}  // namespace

Bytes BuildTiff(bool bigEndian, const std::vector<TiffIfd>& ifds, const Bytes& trailer) {
    const Writer w(bigEndian);
    std::vector<std::size_t> offsets;
    std::size_t at = 8;
    for (const TiffIfd& ifd : ifds) {
        offsets.push_back(at);
        at += IfdSize(ifd);
    }
    Bytes b;
    AppendText(b, bigEndian ? "MM" : "II");
    w.Put(b, 42, 2);
    w.Put(b, offsets.empty() ? 0 : offsets[0], 4);
    for (std::size_t i = 0; i < ifds.size(); ++i) {
        const TiffIfd& ifd = ifds[i];
        std::size_t data = offsets[i] + 2 + 12 * ifd.fields.size() + 4;
        w.Put(b, ifd.fields.size(), 2);
        Bytes values;
        for (const TiffField& f : ifd.fields) {
            w.Put(b, f.tag, 2);
            w.Put(b, f.type, 2);
            w.Put(b, f.count, 4);
            Bytes value;
            if (f.pointsTo) {
                w.Put(value, offsets.at(*f.pointsTo), 4);
            } else {
                for (const std::uint32_t n : f.numbers)
                    w.Put(value, n, UnitSize(f.type));
            }
            if (value.size() <= 4) {
                value.resize(4);
                b.insert(b.end(), value.begin(), value.end());
            } else {
                w.Put(b, data, 4);
                data += value.size();
                values.insert(values.end(), value.begin(), value.end());
            }
        }
        w.Put(b, ifd.next ? offsets.at(*ifd.next) : 0, 4);
        b.insert(b.end(), values.begin(), values.end());
    }
    b.insert(b.end(), trailer.begin(), trailer.end());
    return b;
}

}  // namespace pixelfold::test
