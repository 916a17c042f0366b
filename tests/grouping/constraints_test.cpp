// Constraint entries and structures, the rows a group selects, and the texts of the group list.
#include "grouping/constraints.h"
#include "grouping_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <tuple>

namespace tarvik::testing {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

using Rows = std::vector<std::size_t>;

// ---- entries and structures ---------------------------------------------------------------------

TEST(ConstraintEntry, IsCategoryBlankColonBlankTypeAndSplitsBack) {
    EXPECT_EQ(constraint_entry("Stress", "primary"), "Stress : primary");
    EXPECT_EQ(constraint_entry("Vowel", "a_b"), "Vowel : a_b");
    // Runs of blanks and colons are one separator, leading ones are skipped; only the first two pieces count.
    for (const char* entry : {"Vowel : i", " ::Vowel :: : i", "Vowel:i", "Vowel i", "Vowel : i : x"}) {
        const ConstraintParts parts = split_constraint_entry(entry);
        EXPECT_EQ(parts.category, "Vowel") << '"' << entry << '"';
        EXPECT_EQ(parts.type, "i") << '"' << entry << '"';
    }
    for (const char* entry : {"", " : ", "Vowel", "Vowel : ", ": i"})
        EXPECT_THROW(split_constraint_entry(entry), std::invalid_argument) << '"' << entry << '"';
}

TEST(ConstraintStructure, CategoriesInOrderOfFirstOccurrenceTypesInListOrder) {
    const OrderedMap<TextList> c = build_constraints({"Vowel : i", "Stress : primary", "Vowel : e"});
    EXPECT_EQ(c.keys(), (TextList{"Vowel", "Stress"}));
    EXPECT_EQ(c.at("Vowel"), (TextList{"i", "e"}));
    EXPECT_EQ(c.at("Stress"), (TextList{"primary"}));
    EXPECT_TRUE(build_constraints({}).empty());
}

// ---- row selection ------------------------------------------------------------------------------

// Rows (0-based):   0  1  2  3  4  5  6
// Vowel:            i  e  i  e  a  i  a-b
// Stress:           p  s  s  p  p  p  p
OrderedMap<TextList> vowel_stress_columns() {
    OrderedMap<TextList> columns;
    columns["Vowel"] = {"i", "e", "i", "e", "a", "i", "a-b"};
    columns["Stress"] = {"primary", "secondary", "secondary", "primary", "primary", "primary", "primary"};
    return columns;
}

TEST(ConstraintRows, TypesOfOneCategoryAreAlternativesCategoriesMustAllHold) {
    // Vowel i or e: rows 0 1 2 3 5; of these Stress primary: 0 3 5. The order of the entries does not matter.
    for (const TextList& list : {TextList{"Vowel : i", "Vowel : e", "Stress : primary"},
                                 TextList{"Stress : primary", "Vowel : e", "Vowel : i"}})
        EXPECT_EQ(select_rows(build_constraints(list), vowel_stress_columns(), 7), (Rows{0, 3, 5}));
    // Each category holds somewhere, but never in the same row; or no row has the type.
    EXPECT_TRUE(select_rows(build_constraints({"Vowel : a", "Stress : secondary"}), vowel_stress_columns(), 7)
                    .empty());
    EXPECT_TRUE(select_rows(build_constraints({"Vowel : u"}), vowel_stress_columns(), 7).empty());
    // Only the first rowCount rows are candidates.
    EXPECT_EQ(select_rows(build_constraints({"Vowel : i"}), vowel_stress_columns(), 3), (Rows{0, 2}));
    EXPECT_TRUE(select_rows(build_constraints({"Vowel : i"}), vowel_stress_columns(), 0).empty());
}

TEST(ConstraintRows, RowTextIsCleanedLikeTheListedTypes) {
    // "a-b" is listed as the type a_b; it must select its row, and the type a must not.
    EXPECT_EQ(select_rows(build_constraints({"Vowel : a_b"}), vowel_stress_columns(), 7), (Rows{6}));
    EXPECT_EQ(select_rows(build_constraints({"Vowel : a"}), vowel_stress_columns(), 7), (Rows{4}));
    OrderedMap<TextList> columns;
    columns["Context"] = {"x.y", "x_y", "x-y", "xy"};
    EXPECT_EQ(select_rows(build_constraints({"Context : x_y"}), columns, 4), (Rows{0, 1, 2}));
}

TEST(ConstraintRows, MissingOrShortColumnFails) {
    EXPECT_THROW(select_rows(build_constraints({"Context : x"}), vowel_stress_columns(), 7),
                 std::out_of_range);
    EXPECT_THROW(select_rows(build_constraints({"Vowel : i"}), vowel_stress_columns(), 8), std::out_of_range);
    // Checked before any row is dropped: a first category that matches nothing does not hide it.
    EXPECT_THROW(select_rows(build_constraints({"Vowel : u", "Context : x"}), vowel_stress_columns(), 7),
                 std::out_of_range);
}

TEST(ConstraintRows, LargeStudy) {
    // Row r has vowel i, e, a, o for r mod 4 = 0..3 and stress primary for even r. Vowel i or e with
    // primary stress: r mod 4 = 0 (always even) gives 25000 rows; r mod 4 = 1 is always odd.
    const std::size_t n = 100000;
    TextList vowel, stress;
    const char* const vowels[] = {"i", "e", "a", "o"};
    for (std::size_t r = 0; r < n; ++r) {
        vowel.emplace_back(vowels[r % 4]);
        stress.emplace_back(r % 2 == 0 ? "primary" : "secondary");
    }
    OrderedMap<TextList> columns;
    columns["Vowel"] = std::move(vowel);
    columns["Stress"] = std::move(stress);
    const Rows rows =
        select_rows(build_constraints({"Vowel : i", "Vowel : e", "Stress : primary"}), columns, n);
    ASSERT_EQ(rows.size(), 25000u);
    EXPECT_EQ(rows.front(), 0u);
    EXPECT_EQ(rows[1], 4u);
    EXPECT_EQ(rows.back(), 99996u);
}

// ---- cells and matrices -------------------------------------------------------------------------

// Cells: a number, a number text, or NaN for any other text and for an empty cell.
TEST(ConstraintCells, GatherKeepsRowOrderAndNaN) {
    const std::vector<Cell> f2 = {2.3, 2.0, std::string("1.9"), std::monostate{}};
    const std::vector<Cell> f1 = {0.3, 0.4, std::string("x"), 0.7};
    expect_matrix(gather_cells({0, 2, 3}, {&f2, &f1}), {{2.3, 0.3}, {1.9, kNaN}, {kNaN, 0.7}});

    const TextList t2 = {"2300", "2000", "1900", "NULL"};
    const TextList t1 = {"300", "400", "x", "700"};
    expect_matrix(gather_texts({3, 0}, {&t2, &t1}), {{kNaN, 700}, {2300, 300}});
    // No rows: the columns and no row.
    const Matrix none = gather_texts({}, {&t1, &t1, &t1});
    EXPECT_EQ(none.rows, 0u);
    EXPECT_EQ(none.cols, 3u);
    // A row past the end of a column.
    EXPECT_THROW(gather_cells({4}, {&f2}), std::out_of_range);
    EXPECT_THROW(gather_texts({4}, {&t1}), std::out_of_range);
}

// ---- group list texts ---------------------------------------------------------------------------

TEST(ConstraintLabels, IndexListAsMatrixLiteral) {
    EXPECT_EQ(index_list_literal({2}), "2");
    EXPECT_EQ(index_list_literal({1, 3}), "[1 3]");
    EXPECT_EQ(index_list_literal({1, 2, 10}), "[1 2 10]");
    EXPECT_EQ(index_list_literal({}), "[]");
}

TEST(ConstraintLists, SelectionNamesOnlyExistingEntries) {
    // {1, 4} of 3: a list replaced by a shorter one keeps the old selection.
    const std::tuple<std::vector<double>, std::size_t, bool> cases[] = {
        {{1}, 3, true},  {{3}, 3, true},     {{1, 3}, 3, true}, {{}, 3, false},    {{0}, 3, false},
        {{4}, 3, false}, {{1, 4}, 3, false}, {{1}, 0, false},   {{1.5}, 3, false}, {{kNaN}, 3, false}};
    for (const auto& [selection, count, within] : cases)
        EXPECT_EQ(selection_within(selection, count), within)
            << ::testing::PrintToString(selection) << " of " << count;
}

TEST(ConstraintLists, RemoveSelectedKeepsTheOthersInOrder) {
    const TextList list = {"Vowel : i", "Vowel : e", "Stress : primary", "Speaker : m01"};
    EXPECT_EQ(remove_selected(list, {1, 3}), (TextList{"Vowel : e", "Speaker : m01"}));
    EXPECT_EQ(remove_selected(list, {4}), (TextList{"Vowel : i", "Vowel : e", "Stress : primary"}));
    EXPECT_TRUE(remove_selected(list, {1, 2, 3, 4}).empty());
    EXPECT_EQ(remove_selected(list, {}), list);
}

} // namespace
} // namespace tarvik::testing
