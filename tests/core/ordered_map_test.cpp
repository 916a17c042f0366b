// Keyed records keep their keys in first-insertion order.
#include "core/ordered_map.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using Keys = std::vector<std::string>;

TEST(OrderedMap, KeepsFirstInsertionOrderAlsoWhenAKeyIsReassigned) {
    OrderedMap<int> m;
    m["speaker_b"] = 1;
    m["speaker_a"] = 2;
    m["z"] = 3;
    m["a"] = 4;
    m["speaker_b"] = 10;
    m.at("z") = 30;
    EXPECT_EQ(m.keys(), (Keys{"speaker_b", "speaker_a", "z", "a"}));
    EXPECT_EQ(m.size(), 4u);
    EXPECT_EQ(m.at("speaker_b"), 10);
    EXPECT_EQ(m.at("z"), 30);
    Keys walked;
    for (const auto& [key, value] : m)
        walked.push_back(key);
    EXPECT_EQ(walked, m.keys());
}

TEST(OrderedMap, LookingUpAMissingKeyAddsNothing) {
    OrderedMap<int> m;
    m["x"] = 1;
    EXPECT_TRUE(m.contains("x"));
    EXPECT_FALSE(m.contains("y"));
    EXPECT_EQ(m.find("y"), nullptr);
    EXPECT_THROW((void)m.at("y"), std::out_of_range);
    EXPECT_EQ(m.size(), 1u);
}

TEST(OrderedMap, CopiesAreIndependentAndOrderCounts) {
    OrderedMap<int> a;
    a["p"] = 1;
    a["q"] = 2;
    OrderedMap<int> b = a;
    b["r"] = 3;
    b["p"] = 9;
    EXPECT_EQ(a.keys(), (Keys{"p", "q"}));
    EXPECT_EQ(a.at("p"), 1);
    EXPECT_EQ(*b.find("r"), 3);

    OrderedMap<int> reversed;
    reversed["q"] = 2;
    reversed["p"] = 1;
    EXPECT_FALSE(a == reversed);
}

} // namespace
} // namespace tarvik
