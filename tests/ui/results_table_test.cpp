// The results table's own texts and order: sorting by a column (numbers with NaN last, stable), the
// tab-separated text of a selection and the shown texts of numbers. (Its CSV and JSON are the batch
// tool's, checked byte for byte there.)
#include "ui/results_table.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarvik {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Five rows: a name, an index, a share (two NaN, a tie) and a count.
ResultsTable sample() {
    ResultsTable t;
    t.columns = {{"group", ColumnKind::Text}, {"index", ColumnKind::Index}, {"share", ColumnKind::Number},
                 {"count", ColumnKind::Number}};
    const struct {
        const char* name;
        double index, share, count;
    } rows[] = {{"uh", 1, 0.5, 12}, {"ae", 2, kNaN, 8000}, {"iy", 3, 0.25, 0}, {"ae", 4, 0.5, 7}, {"oo", 5, kNaN, 3}};
    for (const auto& r : rows)
        t.rows.push_back({{r.name, 0}, {{}, r.index}, {{}, r.share}, {{}, r.count}});
    return t;
}

TEST(ResultsTable, SortsByAnyColumnWithNaNLastAndTiesInTheirOrder) {
    const struct {
        std::size_t column;
        bool descending;
        std::vector<std::size_t> order;
    } cases[] = {
        {0, false, {1, 3, 2, 4, 0}}, // text; the two "ae" keep their order
        {0, true, {0, 4, 2, 1, 3}},
        {1, true, {4, 3, 2, 1, 0}},
        {2, false, {2, 0, 3, 1, 4}}, // NaN last, the ties at 0.5 and the NaN each in their order
        {2, true, {0, 3, 2, 1, 4}},  // NaN last descending too
        {3, false, {2, 4, 3, 0, 1}}, // numerically: 7 before 12 before 8000
        {9, false, {0, 1, 2, 3, 4}}, // no such column: the table's own order
    };
    const ResultsTable t = sample();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + (c.descending ? " descending" : " ascending"));
        EXPECT_EQ(sorted_rows(t, c.column, c.descending), c.order);
    }
}

// A selection copies its header and rows in the order given (a tab or line break in a text becomes a
// space); numbers are written so that they read back the same, and shown shorter.
TEST(ResultsTable, CopiesRowsAndColumnsAsTabSeparatedTextAndShowsNumbersShorter) {
    ResultsTable t = sample();
    t.rows[0][0].text = "u\th\nx";
    t.rows[0][2].number = 2.0 / 3.0;
    EXPECT_EQ(tsv_text(t, {3, 0}, {0, 2}), "group\tshare\nae\t0.5\nu h x\t0.66666666666666663\n");
    EXPECT_EQ(tsv_text(t, {1}, {1, 2, 3}), "index\tshare\tcount\n2\tNaN\t8000\n");
    EXPECT_EQ(cell_display_text(t, 0, 2), "0.666667");
    EXPECT_EQ(cell_display_text(t, 1, 3), "8000");
    EXPECT_EQ(cell_display_text(t, 1, 2), "NaN");
}

} // namespace
} // namespace tarvik
