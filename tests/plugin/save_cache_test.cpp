// tests/plugin/save_cache_test.cpp: the save cache frees what it holds, in order, whatever
// an entry carries.
#include "plugin/save_cache.h"

#include <gtest/gtest.h>

#include "metadata/property_tag_table.h"
#include "support/allocation_fault.h"
#include "support/value_request.h"

namespace pixelfold::test {
namespace {

SaveCacheValue* DateEntry() {
    OwnedRequest request;
    request->value.vt = VT_DATE;
    request->value.date = 44391.5;
    const PropertyTagInfo* row = FindPropertyTag(WTEXT("PropertyTagDateTime"));
    return new SaveCacheValue{row->toItem(request.get(), *row)};
}

TEST(SaveCacheTest, ClearFreesEveryEntryWithItsItem) {
    SaveCache cache;
    ASSERT_TRUE(cache.Add(DateEntry()));
    ASSERT_TRUE(cache.Add(new SaveCacheValue{}));  // no item
    ASSERT_TRUE(cache.Add(nullptr));               // no entry
    ASSERT_TRUE(cache.Add(DateEntry()));
    EXPECT_EQ(4u, cache.size());
    cache.Clear();
    EXPECT_EQ(0u, cache.size());
    ASSERT_TRUE(cache.Add(DateEntry()));  // and once more on destruction
}

TEST(SaveCacheTest, AddWithoutANodeKeepsNothing) {
    SaveCache cache;
    SaveCacheValue entry;
    {
        const ScopedAllocationFault fault(0);
        EXPECT_FALSE(cache.Add(&entry));
    }
    EXPECT_EQ(0u, cache.size());
}

}  // namespace
}  // namespace pixelfold::test
