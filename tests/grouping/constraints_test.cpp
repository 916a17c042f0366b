// Constraint entries and structures, and the rows a group selects.
#include "grouping/constraints.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvik::testing {
namespace {

using Rows = std::vector<std::size_t>;

TEST(ConstraintEntry, SplitsIntoCategoryAndType) {
    // Runs of blanks and colons are one separator, leading ones are skipped; only the first two pieces count.
    for (const char* entry : {" ::Vowel :: : i", "Vowel : i : x"}) {
        const ConstraintParts parts = split_constraint_entry(entry);
        EXPECT_EQ(parts.category, "Vowel") << '"' << entry << '"';
        EXPECT_EQ(parts.type, "i") << '"' << entry << '"';
    }
    EXPECT_THROW(split_constraint_entry("Vowel : "), std::invalid_argument);
}

// Rows (0-based):   0  1  2  3  4  5  6
// Vowel:            i  e  i  e  a  i  a-b
// Stress:           p  s  s  p  p  p  p
OrderedMap<TextList> vowel_stress_columns() {
    OrderedMap<TextList> columns;
    columns["Vowel"] = {"i", "e", "i", "e", "a", "i", "a-b"};
    columns["Stress"] = {"primary", "secondary", "secondary", "primary", "primary", "primary", "primary"};
    return columns;
}

Rows rows_of(const TextList& constraintList, std::size_t rowCount = 7) {
    const OrderedMap<TextList> columns = vowel_stress_columns();
    return RowSelector(columns, rowCount).rows(build_constraints(constraintList));
}

TEST(ConstraintRows, TypesOfOneCategoryAreAlternativesCategoriesMustAllHold) {
    // Vowel i or e: rows 0 1 2 3 5; of these Stress primary: 0 3 5. The order of the entries does not matter.
    EXPECT_EQ(rows_of({"Vowel : i", "Vowel : e", "Stress : primary"}), (Rows{0, 3, 5}));
    EXPECT_EQ(rows_of({"Stress : primary", "Vowel : e", "Vowel : i"}), (Rows{0, 3, 5}));
    // Each category holds somewhere, but never in the same row.
    EXPECT_TRUE(rows_of({"Vowel : a", "Stress : secondary"}).empty());
    // Only the first rowCount rows are candidates.
    EXPECT_EQ(rows_of({"Vowel : i"}, 3), (Rows{0, 2}));
}

TEST(ConstraintRows, RowTextIsCleanedLikeTheListedTypes) {
    // "a-b" is listed as the type a_b; it must select its row, and the type a must not.
    EXPECT_EQ(rows_of({"Vowel : a_b"}), (Rows{6}));
    EXPECT_EQ(rows_of({"Vowel : a"}), (Rows{4}));
    // Checked before any row is dropped: a first category that matches nothing does not hide the
    // missing column.
    EXPECT_THROW(rows_of({"Vowel : u", "Context : x"}), std::out_of_range);
    EXPECT_THROW(rows_of({"Vowel : i"}, 8), std::out_of_range);
}

TEST(ConstraintRows, OneSelectorAnswersEveryGroupAsIfAlone) {
    // One selector reads each column once and serves the groups in turn; each answer is the group's
    // own, whatever came before, and a missing column fails only the group that names it.
    const OrderedMap<TextList> columns = vowel_stress_columns();
    RowSelector selector(columns, 7);
    const struct {
        TextList constraints;
        Rows rows;
    } groups[] = {
        {{"Vowel : i"}, {0, 2, 5}},
        {{"Stress : secondary", "Vowel : i"}, {2}},
        {{"Vowel : e", "Vowel : a_b", "Vowel : x"}, {1, 3, 6}},
        {{}, {0, 1, 2, 3, 4, 5, 6}},
        {{"Stress : primary", "Stress : secondary", "Vowel : a"}, {4}},
    };
    for (const auto& g : groups) {
        EXPECT_EQ(selector.rows(build_constraints(g.constraints)), g.rows)
            << ::testing::PrintToString(g.constraints);
        EXPECT_EQ(rows_of(g.constraints), g.rows);
    }
    EXPECT_THROW(selector.rows(build_constraints({"Vowel : i", "Context : x"})), std::out_of_range);
    EXPECT_EQ(selector.rows(build_constraints({"Vowel : i"})), (Rows{0, 2, 5}));
}

} // namespace
} // namespace tarvik::testing
