// Items shared among threads, and the record's groups and overlap table shared among its copies.
#include "core/handles.h"
#include "core/item_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik {
namespace {

std::string message_of(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    }
}

TEST(ShareItems, EachItemRunsOnceAndKeepsItsOwnFailureWhateverTheThreads) {
    const struct {
        std::size_t count;
        int threads;
    } cases[] = {{0, 4}, {1, 4}, {7, 1}, {7, 2}, {200, 4}, {5, 0}};
    for (const auto& c : cases) {
        std::vector<std::atomic<int>> runs(c.count);
        const auto failures = share_items(c.count, c.threads, [&](std::size_t k) {
            ++runs[k];
            if (k % 3 == 1)
                throw std::runtime_error(std::to_string(k));
        });
        ASSERT_EQ(failures.size(), c.count);
        for (std::size_t k = 0; k < c.count; ++k) {
            EXPECT_EQ(runs[k].load(), 1) << k << " of " << c.count << " on " << c.threads;
            ASSERT_EQ(failures[k] != nullptr, k % 3 == 1) << k;
            if (failures[k]) {
                EXPECT_EQ(message_of(failures[k]), std::to_string(k));
            }
        }
    }
}

// A copy of the record (each store makes one) shares the groups and the overlap table; changing one group
// in one copy leaves the other copy as it was and the other groups shared.
TEST(RecordCopies, ShareGroupsAndOverlapsUntilOneCopyChangesThem) {
    Handles a;
    for (const char* name : {"front", "back", "mid"}) {
        VowelGroup g;
        g.name = name;
        g.data = Matrix(2, 3, 0.5);
        a.v.push_back(std::move(g));
    }
    a.overlap[{1, 2}].value = 0.5;
    const Handles stored = a;
    a.v[1].edit().name = "low";
    a.v[1].edit().data(0, 0) = 1;
    a.overlap[{1, 3}].value = 0.25;

    EXPECT_EQ(stored.v[1]->name, "back");
    EXPECT_EQ(stored.v[1]->data(0, 0), 0.5);
    EXPECT_FALSE(stored.overlap.contains({1, 3}));
    EXPECT_EQ(a.v[1]->name, "low");
    EXPECT_EQ(&*a.v[0], &*stored.v[0]);
    EXPECT_EQ(&*a.v[2], &*stored.v[2]);
    EXPECT_NE(&*a.v[1], &*stored.v[1]);
    EXPECT_FALSE(a == stored);
    a.v[1].edit().name = "back";
    a.v[1].edit().data(0, 0) = 0.5;
    a.overlap.edit().erase({1, 3});
    EXPECT_TRUE(a == stored);
}

} // namespace
} // namespace tarvik
