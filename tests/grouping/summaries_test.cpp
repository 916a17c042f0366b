// The subject listing written to the activity log.
#include "grouping/summaries.h"

#include <gtest/gtest.h>

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

TEST(SubjectListing, NoSubjects) {
    EXPECT_EQ(subject_listing({}), TextList{"Detected 0 SUBJECT types:"});
}

TEST(SubjectListing, SubjectWithoutTargets) {
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

} // namespace
} // namespace tarvik::testing
