// The group listing written to the log: header line, one section per group, value columns F2, F1
// (and duration when it is part of the analysis), "%7.3f" with NaN in the same width.
#include "grouping/summaries.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvik {
namespace {

VowelGroup group(std::string name, TextList constraints, std::vector<std::vector<double>> rows) {
    VowelGroup g;
    g.name = std::move(name);
    g.constraintList = std::move(constraints);
    g.data = Matrix(rows.size(), rows.empty() ? 0 : rows.front().size());
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            g.data(r, c) = rows[r][c];
    return g;
}

TEST(GroupListing, ThreeDimensionalGroupsListF2F1AndDuration) {
    const double nan = std::nan("");
    const std::vector<VowelGroup> groups = {
        group("front", {"Vowel : iy", "Group : man"}, {{-0.2568, 1.5, 512.5}, {0.0818, nan, -0.0005}}),
        group("single", {"Vowel : uw"}, {{1000.25, -1, 0}}),
    };
    const TextList expected = {
        "You have defined 2 VOWEL groups:",
        "",
        "",
        "   GROUP 1: front",
        "",
        "   (defined by:)",
        "",
        "   Vowel : iy",
        "   Group : man",
        "",
        "      (with 2 tokens:)",
        "",
        "       -0.257     1.500   512.500",
        "        0.082       NaN    -0.001",
        "",
        "",
        "   GROUP 2: single",
        "",
        "   (defined by:)",
        "",
        "   Vowel : uw",
        "",
        "      (with 1 tokens:)",
        "",
        "      1000.250    -1.000     0.000",
    };
    EXPECT_EQ(group_listing(groups, true), expected);
}

TEST(GroupListing, TwoDimensionalGroupsListTwoColumnsAndEmptyConstraintLists) {
    const std::vector<VowelGroup> groups = {group("(change my name)", {}, {{0.5, -0.25}})};
    const TextList expected = {
        "You have defined 1 VOWEL groups:", "", "", "   GROUP 1: (change my name)", "", "   (defined by:)", "", "",
        "      (with 1 tokens:)",           "", "        0.500    -0.250",
    };
    EXPECT_EQ(group_listing(groups, false), expected);
}

} // namespace
} // namespace tarvik
