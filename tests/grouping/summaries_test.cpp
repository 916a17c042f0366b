// The subject and group listings written to the activity log: "%7.3f" values, NaN in the same width.
#include "grouping/summaries.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvik::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A subject with two vowels of three and one tokens. Columns F1,
// F2, Duration: 700 -> "700.000" (7 wide); -0.2568 -> "-0.257" padded to " -0.257"; 512.5 -> "512.500";
// four digits before the point print 8 wide, uncut; NaN -> "    NaN".
TEST(SubjectListing, ExactLines) {
    OrderedMap<SubjectRecord> subjects;
    subjects["s1"].vowelTargets["ae"] = {
        {700, -0.2568, 1000.25}, {1600.5, 512.5, 2200}, {0.25, 0, 123.4567}, std::nullopt, {}, {}};
    subjects["s1"].vowelTargets["iy"] = {{300}, {kNaN}, {200}, std::nullopt, {}, {}};

    const TextList expected = {
        "Detected 1 SUBJECT types:",
        "",
        "",
        "   SUBJECT: s1",
        "",
        "   (with the following 2 targets:)",
        "",
        "      TARGET: ae (with 3 tokens)",
        "         (with F1, F2, & Duration values:)",
        "",
        "         700.000   1600.500     0.250",
        "          -0.257   512.500     0.000",
        "         1000.250   2200.000   123.457",
        "",
        "      TARGET: iy (with 1 tokens)",
        "         (with F1, F2, & Duration values:)",
        "",
        "         300.000       NaN   200.000",
    };
    EXPECT_EQ(subject_listing(subjects), expected);
}

// One group with its constraints, one without any (no entry lines between its two empty lines); without
// durations the value lines have two columns.
TEST(GroupListing, ExactLines) {
    // Value columns F2, F1 (and duration when it is part of the analysis).
    std::vector<VowelGroup> groups(2);
    groups[0].name = "front";
    groups[0].constraintList = {"Vowel : iy", "Group : man"};
    groups[0].data = Matrix(2, 3);
    groups[0].data.values = {-0.2568, 1.5, 512.5, 0.0818, kNaN, -0.0005};
    groups[1].name = "(change my name)";
    groups[1].data = Matrix(1, 3);
    groups[1].data.values = {1000.25, -1, 0};
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
        "   GROUP 2: (change my name)",
        "",
        "   (defined by:)",
        "",
        "",
        "      (with 1 tokens:)",
        "",
        "      1000.250    -1.000     0.000",
    };
    const GroupList list(groups.begin(), groups.end());
    EXPECT_EQ(group_listing(list, true), expected);
    const TextList twoD = group_listing(list, false);
    EXPECT_EQ(twoD[13], "        0.082       NaN");
    EXPECT_EQ(twoD.back(), "      1000.250    -1.000");
}

} // namespace
} // namespace tarvik::testing
