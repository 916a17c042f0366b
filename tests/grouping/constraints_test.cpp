// Constraint entries and structures, the rows a group selects, and the texts of the group list.
#include "grouping/constraints.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvik::testing {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

using Rows = std::vector<std::size_t>;

// ---- entries and structures ---------------------------------------------------------------------

TEST(ConstraintEntry, IsCategoryBlankColonBlankType) {
    EXPECT_EQ(constraint_entry("Stress", "primary"), "Stress : primary");
    EXPECT_EQ(constraint_entry("Vowel", "a_b"), "Vowel : a_b");
}

struct SplitCase {
    const char* name;
    const char* entry;
    const char* category;
    const char* type;
};
void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class ConstraintSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ConstraintSplit, GivesCategoryAndType) {
    const ConstraintParts parts = split_constraint_entry(GetParam().entry);
    EXPECT_EQ(parts.category, GetParam().category);
    EXPECT_EQ(parts.type, GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(
    ConstraintEntries, ConstraintSplit,
    ::testing::Values(SplitCase{"AsWritten", "Stress : primary", "Stress", "primary"},
                      // Runs of blanks and colons are one separator; leading ones are skipped.
                      SplitCase{"LeadingAndRuns", " ::Vowel :: : i", "Vowel", "i"},
                      SplitCase{"NoBlanks", "Vowel:i", "Vowel", "i"},
                      SplitCase{"OnlyBlanks", "Vowel i", "Vowel", "i"},
                      // Only the first two pieces count.
                      SplitCase{"ExtraPiece", "Vowel : i : x", "Vowel", "i"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConstraintSplit, RefusesAnEntryWithoutCategoryAndType) {
    for (const char* entry : {"", " : ", "Vowel", "Vowel : ", ": i"})
        EXPECT_THROW(split_constraint_entry(entry), std::invalid_argument) << '"' << entry << '"';
}

TEST(ConstraintStructure, CategoriesInOrderOfFirstOccurrenceTypesInListOrder) {
    const OrderedMap<TextList> c = build_constraints({"Vowel : i", "Stress : primary", "Vowel : e"});
    EXPECT_EQ(c.keys(), (TextList{"Vowel", "Stress"}));
    EXPECT_EQ(c.at("Vowel"), (TextList{"i", "e"}));
    EXPECT_EQ(c.at("Stress"), (TextList{"primary"}));
}

TEST(ConstraintStructure, EmptyListGivesNoCategory) {
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
    // Vowel i or e: rows 0 1 2 3 5; of these Stress primary: 0 3 5.
    const auto c = build_constraints({"Vowel : i", "Vowel : e", "Stress : primary"});
    EXPECT_EQ(select_rows(c, vowel_stress_columns(), 7), (Rows{0, 3, 5}));
}

TEST(ConstraintRows, CategoryOrderDoesNotChangeTheRows) {
    const auto c = build_constraints({"Stress : primary", "Vowel : e", "Vowel : i"});
    EXPECT_EQ(select_rows(c, vowel_stress_columns(), 7), (Rows{0, 3, 5}));
}

TEST(ConstraintRows, RowTextIsCleanedLikeTheListedTypes) {
    // "a-b" is listed as the type a_b; it must select its row, and the type a must not.
    EXPECT_EQ(select_rows(build_constraints({"Vowel : a_b"}), vowel_stress_columns(), 7), (Rows{6}));
    EXPECT_EQ(select_rows(build_constraints({"Vowel : a"}), vowel_stress_columns(), 7), (Rows{4}));

    OrderedMap<TextList> columns;
    columns["Context"] = {"x.y", "x_y", "x-y", "xy"};
    EXPECT_EQ(select_rows(build_constraints({"Context : x_y"}), columns, 4), (Rows{0, 1, 2}));
}

TEST(ConstraintRows, NoMatchingRowGivesNoRow) {
    EXPECT_TRUE(select_rows(build_constraints({"Vowel : u"}), vowel_stress_columns(), 7).empty());
    // Each category holds, but never in the same row.
    EXPECT_TRUE(select_rows(build_constraints({"Vowel : a", "Stress : secondary"}), vowel_stress_columns(), 7)
                    .empty());
}

TEST(ConstraintRows, OnlyTheFirstRowCountRowsAreCandidates) {
    EXPECT_EQ(select_rows(build_constraints({"Vowel : i"}), vowel_stress_columns(), 3), (Rows{0, 2}));
    EXPECT_TRUE(select_rows(build_constraints({"Vowel : i"}), vowel_stress_columns(), 0).empty());
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

TEST(ConstraintCells, NumberTextOrNothing) {
    EXPECT_EQ(cell_number(Cell{1.25}), 1.25);
    EXPECT_EQ(cell_number(Cell{std::string("-3.5")}), -3.5);
    EXPECT_TRUE(std::isnan(cell_number(Cell{std::string("NULL")})));
    EXPECT_TRUE(std::isnan(cell_number(Cell{std::monostate{}})));
    EXPECT_TRUE(std::isnan(cell_number(Cell{kNaN})));
}

void expect_matrix(const Matrix& m, const std::vector<std::vector<double>>& want) {
    ASSERT_EQ(m.rows, want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(m.cols, want[i].size());
        for (std::size_t j = 0; j < want[i].size(); ++j) {
            if (std::isnan(want[i][j]))
                EXPECT_TRUE(std::isnan(m(i, j))) << i << "," << j;
            else
                EXPECT_EQ(m(i, j), want[i][j]) << i << "," << j;
        }
    }
}

TEST(ConstraintCells, GatherKeepsRowOrderAndNaN) {
    const std::vector<Cell> f2 = {2.3, 2.0, std::string("1.9"), std::monostate{}};
    const std::vector<Cell> f1 = {0.3, 0.4, std::string("x"), 0.7};
    expect_matrix(gather_cells({0, 2, 3}, {&f2, &f1}), {{2.3, 0.3}, {1.9, kNaN}, {kNaN, 0.7}});

    const TextList t2 = {"2300", "2000", "1900", "NULL"};
    const TextList t1 = {"300", "400", "x", "700"};
    expect_matrix(gather_texts({3, 0}, {&t2, &t1}), {{kNaN, 700}, {2300, 300}});
}

TEST(ConstraintCells, GatherOfNoRowsHasTheColumnsAndNoRow) {
    const TextList t = {"1"};
    const Matrix m = gather_texts({}, {&t, &t, &t});
    EXPECT_EQ(m.rows, 0u);
    EXPECT_EQ(m.cols, 3u);
}

TEST(ConstraintCells, RowPastTheEndOfAColumnFails) {
    const std::vector<Cell> shortCells = {1.0};
    const TextList shortTexts = {"1"};
    EXPECT_THROW(gather_cells({1}, {&shortCells}), std::out_of_range);
    EXPECT_THROW(gather_texts({1}, {&shortTexts}), std::out_of_range);
}

// ---- group list texts ---------------------------------------------------------------------------

TEST(ConstraintLabels, IndexBlankName) {
    EXPECT_EQ(group_label(3, "back"), "3 back");
    EXPECT_EQ(group_label(12, ""), "12 ");
    std::vector<VowelGroup> groups(3);
    groups[0].name = "a";
    groups[1].name = "(change my name)";
    groups[2].name = "c d";
    EXPECT_EQ(group_labels(groups), (TextList{"1 a", "2 (change my name)", "3 c d"}));
    EXPECT_TRUE(group_labels({}).empty());
}

TEST(ConstraintLabels, GroupsWithoutConstraintsAreOneBased) {
    std::vector<VowelGroup> groups(4);
    groups[1].constraints = build_constraints({"Vowel : i"});
    groups[3].constraints = build_constraints({"Vowel : e"});
    EXPECT_EQ(groups_without_constraints(groups), (Rows{1, 3}));
    groups[0].constraints = groups[1].constraints;
    groups[2].constraints = groups[1].constraints;
    EXPECT_TRUE(groups_without_constraints(groups).empty());
}

TEST(ConstraintLabels, IndexListAsMatrixLiteral) {
    EXPECT_EQ(index_list_literal({2}), "2");
    EXPECT_EQ(index_list_literal({1, 3}), "[1 3]");
    EXPECT_EQ(index_list_literal({1, 2, 10}), "[1 2 10]");
    EXPECT_EQ(index_list_literal({}), "[]");
}

struct SelectionCase {
    const char* name;
    std::vector<double> selection;
    std::size_t count;
    bool within;
};
void PrintTo(const SelectionCase& c, std::ostream* os) {
    *os << c.name;
}

class ConstraintSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(ConstraintSelection, NamesOnlyExistingEntries) {
    EXPECT_EQ(selection_within(GetParam().selection, GetParam().count), GetParam().within);
}

INSTANTIATE_TEST_SUITE_P(
    ConstraintLists, ConstraintSelection,
    ::testing::Values(SelectionCase{"One", {1}, 3, true}, SelectionCase{"Last", {3}, 3, true},
                      SelectionCase{"Several", {1, 3}, 3, true}, SelectionCase{"Nothing", {}, 3, false},
                      SelectionCase{"Zero", {0}, 3, false}, SelectionCase{"PastTheEnd", {4}, 3, false},
                      // A list replaced by a shorter one keeps the old selection.
                      SelectionCase{"PartlyPastTheEnd", {1, 4}, 3, false},
                      SelectionCase{"EmptyList", {1}, 0, false}, SelectionCase{"Fraction", {1.5}, 3, false},
                      SelectionCase{"NaN", {kNaN}, 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConstraintLists, RemoveSelectedKeepsTheOthersInOrder) {
    const TextList list = {"Vowel : i", "Vowel : e", "Stress : primary", "Speaker : m01"};
    EXPECT_EQ(remove_selected(list, {1, 3}), (TextList{"Vowel : e", "Speaker : m01"}));
    EXPECT_EQ(remove_selected(list, {4}), (TextList{"Vowel : i", "Vowel : e", "Stress : primary"}));
    EXPECT_TRUE(remove_selected(list, {1, 2, 3, 4}).empty());
    EXPECT_EQ(remove_selected(list, {}), list);
}

} // namespace
} // namespace tarvik::testing
