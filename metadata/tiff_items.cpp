// metadata/tiff_items.cpp: walks TIFF image file directories into property items.
#include "metadata/tiff_items.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <vector>

namespace pixelfold {
namespace {

namespace Tag {
inline constexpr std::uint16_t kExifIfd = 0x8769;
inline constexpr std::uint16_t kGpsIfd = 0x8825;
inline constexpr std::uint16_t kInteropIfd = 0xA005;
inline constexpr std::uint16_t kXmp = 0x02BC;
inline constexpr std::uint16_t kIptc = 0x83BB;
inline constexpr std::uint16_t kPhotoshop = 0x8649;
inline constexpr std::uint16_t kJpegInterchangeFormat = 0x0201;
inline constexpr std::uint16_t kJpegInterchangeFormatLength = 0x0202;
inline constexpr PROPID kThumbnailData = 0x501B;
}  // namespace Tag

// IFD1 tags and the ids under which their thumbnail counterparts are reported.
// clang-format off
constexpr std::array<std::array<std::uint16_t, 2>, 28> kThumbnailIds = {{
    {0x0100, 0x5020}, {0x0101, 0x5021}, {0x0102, 0x5022}, {0x0103, 0x5023}, {0x0106, 0x5024},
    {0x010E, 0x5025}, {0x010F, 0x5026}, {0x0110, 0x5027}, {0x0111, 0x5028}, {0x0112, 0x5029},
    {0x0115, 0x502A}, {0x0116, 0x502B}, {0x0117, 0x502C}, {0x011A, 0x502D}, {0x011B, 0x502E},
    {0x011C, 0x502F}, {0x0128, 0x5030}, {0x012D, 0x5031}, {0x0131, 0x5032}, {0x0132, 0x5033},
    {0x013B, 0x5034}, {0x013E, 0x5035}, {0x013F, 0x5036}, {0x0211, 0x5037}, {0x0212, 0x5038},
    {0x0213, 0x5039}, {0x0214, 0x503A}, {0x8298, 0x503B},
}};
// clang-format on

std::optional<PROPID> ThumbnailId(std::uint16_t tag) {
    for (const auto& [ifd1Tag, id] : kThumbnailIds) {
        if (ifd1Tag == tag) return id;
    }
    return std::nullopt;
}

struct FieldType {
    std::uint8_t unitSize;  // bytes per number swapped as a unit; 1: never swapped
    std::uint8_t elementSize;
    WORD reported;
};

// TIFF field types as GDI+ reports them: signed byte and short as their unsigned kinds,
// float and double as undefined bytes, left as they stand in the file.
std::optional<FieldType> TypeOf(std::uint16_t type) {
    switch (type) {
        case 1:
            return FieldType{1, 1, PropertyType::kByte};
        case 2:
            return FieldType{1, 1, PropertyType::kAscii};
        case 3:
            return FieldType{2, 2, PropertyType::kShort};
        case 4:
            return FieldType{4, 4, PropertyType::kLong};
        case 5:
            return FieldType{4, 8, PropertyType::kRational};
        case 6:
            return FieldType{1, 1, PropertyType::kByte};
        case 7:
            return FieldType{1, 1, PropertyType::kUndefined};
        case 8:
            return FieldType{2, 2, PropertyType::kShort};
        case 9:
            return FieldType{4, 4, PropertyType::kSLong};
        case 10:
            return FieldType{4, 8, PropertyType::kSRational};
        case 11:
            return FieldType{1, 4, PropertyType::kUndefined};
        case 12:
            return FieldType{1, 8, PropertyType::kUndefined};
        case 13:
            return FieldType{4, 4, PropertyType::kLong};  // IFD offset
        default:
            return std::nullopt;
    }
}

enum class IfdKind { kMain, kExif, kGps, kThumbnail };

struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::array<std::uint8_t, 4> field;  // the value itself when it fits, else its offset
};

struct Value {
    WORD type;
    std::vector<std::uint8_t> bytes;
};

class TiffWalker {
  public:
    TiffWalker(ByteSource& source, TiffOrigin origin, PropertyItemList& items)
        : source_(source), origin_(origin), items_(items) {}

    bool Walk() {
        std::array<std::uint8_t, 8> header{};
        if (!source_.ReadAt(0, header)) return false;
        if (header[0] == 'I' && header[1] == 'I') {
            bigEndian_ = false;
        } else if (header[0] == 'M' && header[1] == 'M') {
            bigEndian_ = true;
        } else {
            return false;
        }
        if (U16(&header[2]) != 42) return false;

        std::uint32_t next = 0;
        if (!ReadIfd(U32(&header[4]), IfdKind::kMain, &next)) return true;
        if (origin_ == TiffOrigin::kExifSegment && next != 0)
            ReadIfd(next, IfdKind::kThumbnail, nullptr);
        return true;
    }

  private:
    std::uint16_t U16(const std::uint8_t* p) const {
        return bigEndian_ ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
                          : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
    }
    std::uint32_t U32(const std::uint8_t* p) const {
        const std::uint32_t a = p[0], b = p[1], c = p[2], d = p[3];
        return bigEndian_ ? a << 24 | b << 16 | c << 8 | d : d << 24 | c << 16 | b << 8 | a;
    }

    // Reads one directory; false when it cannot be read at all or the item limit is reached.
    bool ReadIfd(std::uint32_t offset, IfdKind kind, std::uint32_t* next) {
        if (!visited_.insert(offset).second) return false;  // a chain that loops is cut
        std::array<std::uint8_t, 2> countBytes{};
        if (!source_.ReadAt(offset, countBytes)) return false;
        const std::uint16_t declared = U16(countBytes.data());
        // Entries that lie outside the source are not read; those before them are.
        const std::uint64_t room = (source_.size() - offset - 2) / 12;
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(declared, room));
        std::vector<std::uint8_t> table(count * 12);
        if (!source_.ReadAt(offset + 2ull, table)) return false;

        ThumbnailParts thumbnail;
        bool full = false;
        for (std::size_t i = 0; i < count && !full; ++i) {
            const std::uint8_t* e = &table[i * 12];
            const Entry entry{U16(e), U16(e + 2), U32(e + 4), {e[8], e[9], e[10], e[11]}};
            full = !AddEntry(entry, kind, thumbnail);
        }
        if (kind == IfdKind::kThumbnail) AddThumbnail(thumbnail);
        if (next != nullptr) {
            std::array<std::uint8_t, 4> nextBytes{};
            *next = count == declared && source_.ReadAt(offset + 2ull + 12ull * count, nextBytes)
                        ? U32(nextBytes.data())
                        : 0;
        }
        return !full;
    }

    struct ThumbnailParts {
        std::optional<std::uint32_t> offset;
        std::optional<std::uint32_t> length;
        std::vector<std::pair<PROPID, Value>> renumbered;
    };

    // False once the item limit is reached.
    bool AddEntry(const Entry& entry, IfdKind kind, ThumbnailParts& thumbnail) {
        // A pointer is followed only when it is stored as an offset (LONG or IFD).
        const bool isOffset = (entry.type == 4 || entry.type == 13) && entry.count >= 1;
        if (kind == IfdKind::kMain && isOffset && entry.tag == Tag::kExifIfd)
            return ReadIfd(U32(entry.field.data()), IfdKind::kExif, nullptr) || !Full();
        if (kind == IfdKind::kMain && isOffset && entry.tag == Tag::kGpsIfd)
            return ReadIfd(U32(entry.field.data()), IfdKind::kGps, nullptr) || !Full();
        if (entry.tag == Tag::kExifIfd || entry.tag == Tag::kGpsIfd ||
            entry.tag == Tag::kInteropIfd)
            return true;  // pointers are never items; Interop entries are left out
        if (origin_ == TiffOrigin::kTiffFile &&
            (entry.tag == Tag::kXmp || entry.tag == Tag::kIptc || entry.tag == Tag::kPhotoshop))
            return true;  // embedded metadata blocks

        if (kind == IfdKind::kThumbnail) {
            if (entry.tag == Tag::kJpegInterchangeFormat) {
                thumbnail.offset = U32(entry.field.data());
            } else if (entry.tag == Tag::kJpegInterchangeFormatLength) {
                thumbnail.length = U32(entry.field.data());
            } else if (const std::optional<PROPID> id = ThumbnailId(entry.tag)) {
                if (std::optional<Value> value = Decode(entry))
                    thumbnail.renumbered.emplace_back(*id, std::move(*value));
            }
            return !Full();
        }
        if (std::optional<Value> value = Decode(entry))
            return items_.Add(entry.tag, value->type, value->bytes);
        return !Full();
    }

    void AddThumbnail(const ThumbnailParts& parts) {
        if (parts.offset && parts.length && items_.Fits(*parts.length)) {
            std::vector<std::uint8_t> bytes(*parts.length);
            if (source_.ReadAt(*parts.offset, bytes))
                if (!items_.Add(Tag::kThumbnailData, PropertyType::kByte, bytes)) return;
        }
        for (const auto& [id, value] : parts.renumbered) {
            if (!items_.Add(id, value.type, value.bytes)) return;
        }
    }

    bool Full() const { return !items_.Fits(0); }

    // The entry's value as GDI+ gives it, or nothing for an unknown type, a count of 0, a value
    // outside the source, or one beyond the size limit.
    std::optional<Value> Decode(const Entry& entry) {
        const std::optional<FieldType> type = TypeOf(entry.type);
        if (!type || entry.count == 0) return std::nullopt;
        const std::uint64_t size = std::uint64_t{entry.count} * type->elementSize;
        if (!items_.Fits(static_cast<std::size_t>(std::min<std::uint64_t>(size + 1, SIZE_MAX))))
            return std::nullopt;

        Value value{type->reported, std::vector<std::uint8_t>(static_cast<std::size_t>(size))};
        if (size <= 4) {
            std::copy_n(entry.field.begin(), size, value.bytes.begin());
        } else if (!source_.ReadAt(U32(entry.field.data()), value.bytes)) {
            return std::nullopt;
        }
        if (bigEndian_ && type->unitSize > 1) {
            for (std::size_t at = 0; at < value.bytes.size(); at += type->unitSize)
                std::reverse(
                    value.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    value.bytes.begin() + static_cast<std::ptrdiff_t>(at + type->unitSize));
        }
        if (value.type == PropertyType::kAscii) TerminateAscii(value.bytes);
        return value;
    }

    ByteSource& source_;
    TiffOrigin origin_;
    PropertyItemList& items_;
    bool bigEndian_ = false;
    std::set<std::uint32_t> visited_;
};

}  // namespace

bool AddTiffItems(ByteSource& source, TiffOrigin origin, PropertyItemList& items) {
    return TiffWalker(source, origin, items).Walk();
}

}  // namespace pixelfold
