// metadata/tiff_items.cpp: walks TIFF image file directories into property items.
#include "metadata/tiff_items.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "bytes/read_work.h"

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

// The value budget of a source of a few bytes: room for a thumbnail and its renumbered tags.
constexpr std::uint64_t kValueBudgetFloor = 64 * 1024;

enum class IfdKind { kMain, kExif, kGps, kThumbnail };

// What an entry stands for in the directory it is found in.
enum class Role {
    kExifPointer,
    kGpsPointer,
    kLeftOut,
    kThumbnailOffset,
    kThumbnailLength,
    kThumbnailValue,  // reported under its renumbered id after the thumbnail
    kItem,
};

bool HasValue(Role role) {
    return role == Role::kItem || role == Role::kThumbnailValue;
}

struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    // The value itself when it fits in four bytes, else its offset; then room for the zero
    // that ends a text.
    std::array<std::uint8_t, 5> field;
};

// A value as GDI+ gives it, decoded in place: in its entry or in its directory's value buffer.
struct Decoded {
    WORD type;
    std::span<const std::uint8_t> bytes;
};

// An entry's value that lies outside its entry: where it is in the source, and where it is
// put in the directory's value buffer (followed by one byte of room), unless it is not read.
struct OutOfLineValue {
    static constexpr std::size_t kNotRead = SIZE_MAX;
    std::size_t entry;
    std::uint32_t offset;
    std::size_t size;
    std::size_t at = kNotRead;
};

// The out-of-line values of one directory's entries.
struct DirectoryValues {
    std::vector<OutOfLineValue> values;  // in entry order
    std::vector<std::uint8_t> bytes;
    std::size_t next = 0;  // the first value not yet taken

    // The value of entry `index` (taken in increasing order), empty when it was not read.
    std::span<std::uint8_t> Take(std::size_t index) {
        while (next < values.size() && values[next].entry < index)
            ++next;
        if (next == values.size() || values[next].entry != index ||
            values[next].at == OutOfLineValue::kNotRead) {
            return {};
        }
        return std::span(bytes).subspan(values[next].at, values[next].size);
    }
};

class TiffWalker {
  public:
    TiffWalker(ByteSource& source, TiffOrigin origin, PropertyItemList& items)
        : source_(source),
          origin_(origin),
          items_(items),
          valueBudget_(std::min<std::uint64_t>(PropertyItemList::kMaxValueBytes,
                                               2 * source.size() + kValueBudgetFloor)) {}

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

    bool Inside(std::uint64_t offset, std::uint64_t size) const {
        return offset <= source_.size() && size <= source_.size() - offset;
    }

    // Takes `size` bytes of the budget for value bytes; false when it is spent.
    bool Charge(std::uint64_t size) {
        if (size > valueBudget_) return false;
        valueBudget_ -= size;
        return true;
    }

    // Reads one directory; false when it cannot be read at all or the item limit is reached.
    // A directory whose entries would overlap one already read is not read: a chain or a
    // pointer that loops is cut, and no byte of the source is read as two directories. With
    // one Exif and one GPS directory followed, at most four are read.
    bool ReadIfd(std::uint32_t offset, IfdKind kind, std::uint32_t* next) {
        std::array<std::uint8_t, 2> countBytes{};
        if (!source_.ReadAt(offset, countBytes)) return false;
        const std::uint16_t declared = U16(countBytes.data());
        // Entries that lie outside the source are not read; those before them are.
        const std::uint64_t room = (source_.size() - offset - 2) / 12;
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(declared, room));
        const std::uint64_t end = offset + 2ull + 12ull * count;
        if (Overlaps(offset, end)) return false;
        directories_.emplace_back(offset, end);
        std::vector<std::uint8_t> table(count * 12);
        read_work::Allocated(table.size());
        if (!source_.ReadAt(offset + 2ull, table)) return false;

        std::vector<Entry> entries;
        entries.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* e = &table[i * 12];
            entries.push_back(Entry{U16(e), U16(e + 2), U32(e + 4), {e[8], e[9], e[10], e[11], 0}});
        }
        DirectoryValues values = ReadValues(entries, kind);

        ThumbnailParts thumbnail;
        bool full = false;
        for (std::size_t i = 0; i < count && !full; ++i)
            full = !AddEntry(entries[i], kind, thumbnail, values.Take(i));
        if (kind == IfdKind::kThumbnail) AddThumbnail(thumbnail);
        if (next != nullptr) {
            std::array<std::uint8_t, 4> nextBytes{};
            *next = count == declared && source_.ReadAt(end, nextBytes) ? U32(nextBytes.data()) : 0;
        }
        return !full;
    }

    bool Overlaps(std::uint64_t begin, std::uint64_t end) const {
        return std::ranges::any_of(directories_, [&](const auto& directory) {
            return begin < directory.second && directory.first < end;
        });
    }

    // Reads the out-of-line values of `entries` in the order they lie in the source, so that
    // a file is read front to back once per directory whatever order its entries point in.
    // Each value read takes its size from the value budget, which bounds the work for a file
    // whose entries all point at one large value.
    DirectoryValues ReadValues(const std::vector<Entry>& entries, IfdKind kind) {
        DirectoryValues out;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = entries[i];
            const std::optional<FieldType> type = TypeOf(entry.type);
            if (!type || !HasValue(RoleOf(entry, kind))) continue;
            const std::uint64_t size = std::uint64_t{entry.count} * type->elementSize;
            const std::uint32_t offset = U32(entry.field.data());
            if (size > 4 && Inside(offset, size))
                out.values.push_back({i, offset, static_cast<std::size_t>(size)});
        }
        std::vector<OutOfLineValue*> byOffset;
        byOffset.reserve(out.values.size());
        for (OutOfLineValue& value : out.values)
            byOffset.push_back(&value);
        std::ranges::stable_sort(byOffset, {}, &OutOfLineValue::offset);
        std::size_t total = 0;
        for (OutOfLineValue* value : byOffset) {
            if (!Charge(value->size)) continue;
            value->at = total;
            total += value->size + 1;
        }
        out.bytes.resize(total);
        read_work::Allocated(total);
        for (OutOfLineValue* value : byOffset) {
            if (value->at == OutOfLineValue::kNotRead) continue;
            if (!source_.ReadAt(value->offset,
                                std::span(out.bytes).subspan(value->at, value->size)))
                value->at = OutOfLineValue::kNotRead;
        }
        return out;
    }

    Role RoleOf(const Entry& entry, IfdKind kind) const {
        // A pointer is followed only when it is stored as an offset (LONG or IFD).
        const bool isOffset = (entry.type == 4 || entry.type == 13) && entry.count >= 1;
        if (kind == IfdKind::kMain && isOffset && entry.tag == Tag::kExifIfd)
            return Role::kExifPointer;
        if (kind == IfdKind::kMain && isOffset && entry.tag == Tag::kGpsIfd)
            return Role::kGpsPointer;
        if (entry.tag == Tag::kExifIfd || entry.tag == Tag::kGpsIfd ||
            entry.tag == Tag::kInteropIfd)
            return Role::kLeftOut;  // pointers are never items; Interop entries are left out
        if (origin_ == TiffOrigin::kTiffFile &&
            (entry.tag == Tag::kXmp || entry.tag == Tag::kIptc || entry.tag == Tag::kPhotoshop))
            return Role::kLeftOut;  // embedded metadata blocks
        if (kind != IfdKind::kThumbnail) return Role::kItem;
        if (entry.tag == Tag::kJpegInterchangeFormat) return Role::kThumbnailOffset;
        if (entry.tag == Tag::kJpegInterchangeFormatLength) return Role::kThumbnailLength;
        return ThumbnailId(entry.tag) ? Role::kThumbnailValue : Role::kLeftOut;
    }

    struct ThumbnailParts {
        std::optional<std::uint32_t> offset;
        std::optional<std::uint32_t> length;
        std::vector<std::pair<PROPID, Decoded>> renumbered;
    };

    // False once the item limit is reached.
    bool AddEntry(Entry& entry, IfdKind kind, ThumbnailParts& thumbnail,
                  std::span<std::uint8_t> outOfLine) {
        switch (RoleOf(entry, kind)) {
            case Role::kExifPointer:
                return FollowOnce(exifFollowed_, entry, IfdKind::kExif);
            case Role::kGpsPointer:
                return FollowOnce(gpsFollowed_, entry, IfdKind::kGps);
            case Role::kLeftOut:
                return true;
            case Role::kThumbnailOffset:
                thumbnail.offset = U32(entry.field.data());
                return !Full();
            case Role::kThumbnailLength:
                thumbnail.length = U32(entry.field.data());
                return !Full();
            case Role::kThumbnailValue:
                if (const std::optional<Decoded> value = Decode(entry, outOfLine))
                    thumbnail.renumbered.emplace_back(*ThumbnailId(entry.tag), *value);
                return !Full();
            case Role::kItem:
                break;
        }
        if (const std::optional<Decoded> value = Decode(entry, outOfLine))
            return items_.Add(entry.tag, value->type, value->bytes);
        return !Full();
    }

    // Reads the sub-directory `entry` points to unless one of its kind was followed already;
    // false once the item limit is reached.
    bool FollowOnce(bool& followed, const Entry& entry, IfdKind kind) {
        if (std::exchange(followed, true)) return true;
        return ReadIfd(U32(entry.field.data()), kind, nullptr) || !Full();
    }

    void AddThumbnail(const ThumbnailParts& parts) {
        if (parts.offset && parts.length && items_.Fits(*parts.length) &&
            Inside(*parts.offset, *parts.length) && Charge(*parts.length)) {
            std::vector<std::uint8_t> bytes(*parts.length);
            read_work::Allocated(bytes.size());
            if (source_.ReadAt(*parts.offset, bytes))
                if (!items_.Add(Tag::kThumbnailData, PropertyType::kByte, bytes)) return;
        }
        for (const auto& [id, value] : parts.renumbered) {
            if (!items_.Add(id, value.type, value.bytes)) return;
        }
    }

    bool Full() const { return !items_.Fits(0); }

    // The entry's value as GDI+ gives it, decoded where it lies (the entry, or `outOfLine`,
    // which is followed by one byte of room), or nothing for an unknown type, a count of 0, a
    // value outside the source or past the value budget (`outOfLine` then empty), or one
    // beyond the size limit.
    std::optional<Decoded> Decode(Entry& entry, std::span<std::uint8_t> outOfLine) {
        const std::optional<FieldType> type = TypeOf(entry.type);
        if (!type || entry.count == 0) return std::nullopt;
        const std::uint64_t size = std::uint64_t{entry.count} * type->elementSize;
        if (!items_.Fits(static_cast<std::size_t>(std::min<std::uint64_t>(size + 1, SIZE_MAX))))
            return std::nullopt;
        std::span<std::uint8_t> bytes =
            size <= 4 ? std::span<std::uint8_t>(entry.field).first(size) : outOfLine;
        if (bytes.size() != size) return std::nullopt;

        if (bigEndian_ && type->unitSize > 1) {
            for (std::size_t at = 0; at < bytes.size(); at += type->unitSize)
                std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             bytes.begin() + static_cast<std::ptrdiff_t>(at + type->unitSize));
        }
        if (type->reported == PropertyType::kAscii) {
            // Exactly one zero at the end, written into the byte of room after the value.
            std::size_t length = bytes.size();
            while (length > 0 && bytes[length - 1] == 0)
                --length;
            bytes.data()[length] = 0;
            return Decoded{type->reported, std::span(bytes.data(), length + 1)};
        }
        return Decoded{type->reported, bytes};
    }

    ByteSource& source_;
    TiffOrigin origin_;
    PropertyItemList& items_;
    bool bigEndian_ = false;
    // The byte ranges of the directories' entries read so far.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> directories_;
    // Value bytes still to be read: every value lies in the source, and a real file reports
    // few of its bytes twice, so a file whose entries share values reads little more than
    // its own size, however many entries point at one value.
    std::uint64_t valueBudget_;
    bool exifFollowed_ = false;
    bool gpsFollowed_ = false;
};

}  // namespace

bool AddTiffItems(ByteSource& source, TiffOrigin origin, PropertyItemList& items) {
    return TiffWalker(source, origin, items).Walk();
}

}  // namespace pixelfold
