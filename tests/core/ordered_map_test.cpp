// Keyed records keep their keys in first-insertion order.
#include "core/ordered_map.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

// Past the size where the map builds its index, reassigned, looked up and copied.
TEST(OrderedMap, KeepsFirstInsertionOrderThroughReassignmentLookUpAndCopy) {
    OrderedMap<int> m;
    std::vector<std::string> keys;
    for (int i = 0; i < 40; ++i) {
        keys.push_back("k" + std::to_string(39 - i));
        m[keys.back()] = i;
    }
    m["k39"] = 100;
    OrderedMap<int> copy = m;
    copy["k0"] = 0;
    copy["new"] = 1;
    EXPECT_EQ(m.keys(), keys);
    EXPECT_EQ(m.at("k39"), 100);
    EXPECT_EQ(m.at("k0"), 39);
    EXPECT_EQ(m.find("new"), nullptr);
    keys.push_back("new");
    EXPECT_EQ(copy.keys(), keys);
    EXPECT_EQ(*copy.find("k0"), 0);
}

} // namespace
} // namespace tarvik
