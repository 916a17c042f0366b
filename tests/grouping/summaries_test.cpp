// The subject and group listings written to the activity log: "%7.3f" values, NaN in the same width.
#include "grouping/summaries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvik::testing {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

VowelTarget target(std::vector<double> f1, std::vector<double> f2, std::vector<double> duration) {
    VowelTarget t;
    t.F1 = std::move(f1);
    t.F2 = std::move(f2);
    t.Duration = std::move(duration);
    for (std::size_t k = 0; k < t.F1.size(); ++k)
        t.RowLocation.push_back(static_cast<double>(k + 1));
    return t;
}

TEST(SubjectListing, TwoSubjectsWithExactLines) {
    OrderedMap<SubjectRecord> subjects;
    subjects["s1"].vowelTargets["ae"] =
        target({700, -0.2568, 1000.25}, {1600.5, 512.5, 2200}, {0.25, 0, 123.4567});
    subjects["s1"].vowelTargets["iy"] = target({300}, {2500}, {200});
    subjects["s2"].vowelTargets["ae"] = target({650}, {kNaN}, {0});

    // "%7.3f": 700 -> "700.000" (7 wide); -0.2568 -> "-0.257" padded to " -0.257"; 0.25 -> "  0.250";
    // 123.4567 -> "123.457"; four digits before the point print 8 wide, uncut; NaN -> "    NaN".
    const TextList expected = {
        "Detected 2 SUBJECT types:",
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
        "         300.000   2500.000   200.000",
        "",
        "",
        "   SUBJECT: s2",
        "",
        "   (with the following 1 targets:)",
        "",
        "      TARGET: ae (with 1 tokens)",
        "         (with F1, F2, & Duration values:)",
        "",
        "         650.000       NaN     0.000",
    };
    EXPECT_EQ(subject_listing(subjects), expected);
}

TEST(SubjectListing, NoSubjectsOrASubjectWithoutTargets) {
    EXPECT_EQ(subject_listing({}), TextList{"Detected 0 SUBJECT types:"});
    OrderedMap<SubjectRecord> subjects;
    subjects["s 1"];
    EXPECT_EQ(subject_listing(subjects), (TextList{"Detected 1 SUBJECT types:", "", "", "   SUBJECT: s 1", "",
                                                   "   (with the following 0 targets:)"}));
}

TEST(SubjectListing, ValueListsOfDifferentLengthsAreAnError) {
    OrderedMap<SubjectRecord> subjects;
    subjects["s1"].vowelTargets["ae"] = target({700, 710}, {1600, 1610}, {0});
    EXPECT_THROW(subject_listing(subjects), std::out_of_range);
}

// Group listing: value columns F2, F1 (and duration when it is part of the analysis).
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
    const std::vector<VowelGroup> groups = {
        group("front", {"Vowel : iy", "Group : man"}, {{-0.2568, 1.5, 512.5}, {0.0818, kNaN, -0.0005}}),
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
        "You have defined 1 VOWEL groups:",
        "",
        "",
        "   GROUP 1: (change my name)",
        "",
        "   (defined by:)",
        "",
        "",
        "      (with 1 tokens:)",
        "",
        "        0.500    -0.250",
    };
    EXPECT_EQ(group_listing(groups, false), expected);
}

} // namespace
} // namespace tarvik::testing
