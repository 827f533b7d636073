// fuzz/property_items.cpp: feeds the built-in property item reader from memory, one format at
// a time (the first byte picks it: EXIF in JPEG, TIFF in either byte order, PNG, GIF), and puts
// every item it returns through both value converters. An input that makes the reader take or
// allocate more bytes than its size allows is a finding, as a crash is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

#include "bytes/byte_source.h"
#include "bytes/memory_stream.h"
#include "bytes/read_work.h"
#include "metadata/gif_items.h"
#include "metadata/jpeg_items.h"
#include "metadata/png_items.h"
#include "metadata/tiff_items.h"
#include "metadata/value_converters.h"
#include "pixelfold/pixelfold.h"

namespace {

using namespace pixelfold;

void Convert(const PropertyItemList& list) {
    PropertyItemBlock block;
    try {
        block = list.Pack();
    } catch (const std::bad_alloc&) {
        return;
    }
    for (std::uint32_t i = 0; i < block.count; ++i) {
        for (const ItemToVariantConverter convert : {&VariantFromItem, &VariantFromDateItem}) {
            ValueRequest request{};
            VariantInit(&request.value);
            (void)convert(request, block.items.get()[i]);
            VariantClear(&request.value);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    PropertyItemList list;
    read_work::Reset();
    switch (data[0] % 5) {
        case 0: {
            MemoryStream stream(std::move(bytes));
            AddJpegItems(stream, list);
            break;
        }
        case 1:
        case 2: {
            // The byte order mark is set, so that both orders are reached from any input.
            const std::uint8_t order = data[0] % 5 == 1 ? 'I' : 'M';
            for (std::size_t i = 0; i < 2 && i < bytes.size(); ++i)
                bytes[i] = order;
            MemorySource source(bytes);
            (void)AddTiffItems(source, TiffOrigin::kTiffFile, list);
            break;
        }
        case 3: {
            MemoryStream stream(std::move(bytes));
            AddPngItems(stream, list);
            break;
        }
        default: {
            MemoryStream stream(std::move(bytes));
            AddGifItems(stream, list);
        }
    }
    const read_work::Totals work = read_work::Current();
    const std::uint64_t bound = read_work::Bound(size - 1, PropertyItemList::kMaxValueBytes);
    if (work.copied > bound || work.allocated > bound) std::abort();
    Convert(list);
    return 0;
}
