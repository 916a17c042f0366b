// Items shared among threads, and the record's groups and overlap table shared among its copies.
#include "core/handles.h"
#include "core/item_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <utility>
#include <vector>

namespace tarvik {
namespace {

TEST(ShareItems, EachItemRunsOnceAndKeepsItsOwnFailureWhateverTheThreads) {
    for (const auto& [count, threads] :
         std::vector<std::pair<std::size_t, int>>{{0, 4}, {1, 4}, {7, 1}, {7, 2}, {200, 4}, {5, 0}}) {
        std::vector<std::atomic<int>> runs(count);
        const auto failures = share_items(count, threads, [&](std::size_t k) {
            if (++runs[k] == 1 && k % 3 == 1)
                throw k;
        });
        ASSERT_EQ(failures.size(), count);
        for (std::size_t k = 0; k < count; ++k) {
            EXPECT_EQ(runs[k].load(), 1) << k << " of " << count << " on " << threads;
            std::size_t thrown = 0;
            if (failures[k])
                try {
                    std::rethrow_exception(failures[k]);
                } catch (std::size_t item) {
                    thrown = item;
                }
            EXPECT_EQ(thrown, k % 3 == 1 ? k : 0) << k;
        }
    }
}

// A copy of the record (each store makes one) shares the groups and the overlap table; changing one group
// in one copy leaves the other copy as it was and the other groups shared.
TEST(RecordCopies, ShareGroupsAndOverlapsUntilOneCopyChangesThem) {
    Handles a;
    for (const char* name : {"front", "back", "mid"})
        a.v.emplace_back().edit().name = name;
    a.overlap[{1, 2}].value = 0.5;
    const Handles stored = a;
    a.v[1].edit().name = "low";
    a.overlap[{1, 3}].value = 0.25;
    EXPECT_EQ(stored.v[1]->name, "back");
    EXPECT_FALSE(stored.overlap.contains({1, 3}));
    EXPECT_EQ(&*a.v[0], &*stored.v[0]);
    EXPECT_NE(&*a.v[1], &*stored.v[1]);
    a.v[1].edit().name = "back";
    a.overlap.edit().erase({1, 3});
    EXPECT_TRUE(a == stored);
}

} // namespace
} // namespace tarvik
