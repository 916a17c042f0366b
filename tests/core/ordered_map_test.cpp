// Keyed records keep their keys in first-insertion order.
#include "core/ordered_map.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using Keys = std::vector<std::string>;

// More keys than the size where the map builds its index, reassigned, looked up and copied.
TEST(OrderedMap, KeepsFirstInsertionOrderThroughReassignmentLookUpAndCopy) {
    OrderedMap<int> m;
    Keys keys;
    for (int i = 0; i < 40; ++i) {
        keys.push_back("k" + std::to_string(39 - i));
        m[keys.back()] = i;
    }
    m["k39"] = 100;
    m.at("k0") = 139;
    EXPECT_EQ(m.keys(), keys);
    EXPECT_EQ(m.at("k39"), 100);
    EXPECT_EQ(*m.find("k0"), 139);
    EXPECT_EQ(m.find("k40"), nullptr);
    EXPECT_FALSE(m.contains("k40"));
    EXPECT_THROW((void)m.at("k40"), std::out_of_range);
    EXPECT_EQ(m.size(), 40u);

    OrderedMap<int> copy = m;
    copy["new"] = 1;
    copy["k39"] = 0;
    EXPECT_EQ(m.size(), 40u);
    EXPECT_EQ(m.at("k39"), 100);
    Keys walked;
    for (const auto& [key, value] : copy)
        walked.push_back(key);
    keys.push_back("new");
    EXPECT_EQ(walked, keys);

    OrderedMap<int> a, reversed;
    a["p"] = 1;
    a["q"] = 2;
    reversed["q"] = 2;
    reversed["p"] = 1;
    EXPECT_FALSE(a == reversed);
}

} // namespace
} // namespace tarvik
