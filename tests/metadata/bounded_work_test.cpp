// tests/metadata/bounded_work_test.cpp: the built-in reader's work on the worst files stays
// within a fixed multiple of their size, counted in bytes rather than timed.
#include <gtest/gtest.h>

#include "bytes/read_work.h"
#include "metadata/builtin_property_items.h"
#include "support/hostile_files.h"
#include "support/temp_dir.h"

namespace pixelfold::test {
namespace {

TEST(BoundedWorkTest, HostileFilesCostNoMoreThanTheirSizeAllows) {
    const TempDir dir;
    for (const HostileFile& file : HostileFiles()) {
        SCOPED_TRACE(file.name);
        dir.Write(file.name, file.bytes);
        PropertyItemList items;
        read_work::Reset();
        ASSERT_EQ(S_OK, CollectBuiltinPropertyItems(dir.WidePath(file.name).c_str(), items));
        const read_work::Totals work = read_work::Current();
        const std::uint64_t bound =
            read_work::Bound(file.bytes.size(), PropertyItemList::kMaxValueBytes);
        EXPECT_LE(work.copied, bound);
        EXPECT_LE(work.allocated, bound);
        std::cout << "[ work     ] " << file.name << ": " << file.bytes.size() << " bytes, "
                  << work.copied << " copied, " << work.allocated << " allocated, " << items.size()
                  << " items\n";
    }
}

}  // namespace
}  // namespace pixelfold::test
