// The Results window on the test display: a click on a column's header sorts by it (NaN last both
// ways), Ctrl+C and Copy put the selection (or the whole table) on the clipboard as tab-separated text,
// Export CSV... hands the table on, and the host shows the next table in the same window.
#include "qt/results_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <limits>

namespace tarvik {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ResultsTable sample() {
    ResultsTable t;
    t.columns = {{"group_a", ColumnKind::Text}, {"index_a", ColumnKind::Index}, {"value", ColumnKind::Number}};
    const struct {
        const char* name;
        double index, value;
    } rows[] = {{"uh", 1, 0.5}, {"ae", 2, kNaN}, {"iy", 3, 0.125}, {"oo", 4, 0.75}};
    for (const auto& r : rows)
        t.rows.push_back({{r.name, 0}, {{}, r.index}, {{}, r.value}});
    return t;
}

// The shown texts of a column, top to bottom.
QStringList shown_column(const ResultsWindow& w, int column) {
    QStringList out;
    for (int r = 0; r < w.model()->rowCount(); ++r)
        out << w.model()->index(r, column).data().toString();
    return out;
}

void click_header(const ResultsWindow& w, int section) {
    QHeaderView* header = w.view()->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

TEST(ResultsWindow, SortsByAClickedHeaderAndCopiesTheSelectionAsTabSeparatedText) {
    QtResultsHost host;
    std::vector<std::string> exported;
    host.onExport = [&](const ResultsTable& t) { exported.push_back(tsv_text(t)); };
    host.show(sample());
    ResultsWindow& w = *host.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_FALSE(w.notes_label()->isVisible());
    EXPECT_EQ(shown_column(w, 0), (QStringList{"uh", "ae", "iy", "oo"})); // the table's own order at first

    click_header(w, 2);
    EXPECT_EQ(shown_column(w, 2), (QStringList{"0.125", "0.5", "0.75", "NaN"}));
    click_header(w, 2);
    EXPECT_EQ(shown_column(w, 2), (QStringList{"0.75", "0.5", "0.125", "NaN"}));

    // The two top rows of the first two columns, as sorted now; then, nothing selected, the whole table.
    w.view()->selectionModel()->select(QItemSelection(w.model()->index(0, 0), w.model()->index(1, 1)),
                                       QItemSelectionModel::Select);
    w.view()->setFocus();
    QTest::keySequence(w.view(), QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "group_a\tindex_a\noo\t4\nuh\t1\n");
    w.view()->clearSelection();
    QTest::mouseClick(w.copy_button(), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(),
              "group_a\tindex_a\tvalue\noo\t4\t0.75\nuh\t1\t0.5\niy\t3\t0.125\nae\t2\tNaN\n");
    QTest::mouseClick(w.export_button(), Qt::LeftButton);
    EXPECT_EQ(exported, std::vector<std::string>{tsv_text(sample())});

    // The next table replaces it in the same window, with why measures are NaN.
    ResultsTable next = sample();
    next.notes = {"Group v3 has 1 token: the measures need at least 3 tokens."};
    host.show(next);
    EXPECT_EQ(host.window(), &w);
    EXPECT_TRUE(w.notes_label()->isVisible());
    EXPECT_TRUE(w.notes_label()->text().contains("Group v3 has 1 token"));
}

// A table whose rows have details (a pair's subjects) opens the sorted row's on a double-click or "Show
// subjects"; "Back to pairs" returns to the pairs, and Export hands on the table shown.
TEST(ResultsWindow, OpensARowsDetailsAndGoesBack) {
    QtResultsHost host;
    std::vector<std::string> exported;
    host.onExport = [&](const ResultsTable& t) { exported.push_back(tsv_text(t)); };
    ResultsTable pairs = sample();
    for (const auto& row : pairs.rows) {
        ResultsTable subjects;
        subjects.columns = {{"subject", ColumnKind::Text}, {"group_a", ColumnKind::Text}};
        subjects.rows = {{{"s1", 0}, row[0]}, {{"ALL_N", 0}, row[0]}};
        pairs.details.push_back(subjects);
    }
    host.show(pairs);
    ResultsWindow& w = *host.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_TRUE(w.details_button()->isVisible());
    EXPECT_FALSE(w.back_button()->isVisible());
    click_header(w, 2); // 0.125 (iy) first
    const QModelIndex first = w.model()->index(0, 0);
    const QPoint at = w.view()->visualRect(first).center();
    QTest::mouseClick(w.view()->viewport(), Qt::LeftButton, {}, at); // a double-click's first press
    QTest::mouseDClick(w.view()->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    EXPECT_EQ(shown_column(w, 0), (QStringList{"s1", "ALL_N"}));
    EXPECT_EQ(shown_column(w, 1), (QStringList{"iy", "iy"}));
    EXPECT_FALSE(w.details_button()->isVisible());
    ASSERT_TRUE(w.back_button()->isVisible());
    QTest::mouseClick(w.export_button(), Qt::LeftButton);
    EXPECT_EQ(exported, std::vector<std::string>{tsv_text(pairs.details[2])});
    QTest::mouseClick(w.back_button(), Qt::LeftButton);
    EXPECT_EQ(shown_column(w, 0), (QStringList{"uh", "ae", "iy", "oo"}));
    w.view()->setCurrentIndex(w.model()->index(3, 0));
    QTest::mouseClick(w.details_button(), Qt::LeftButton);
    EXPECT_EQ(shown_column(w, 1), (QStringList{"oo", "oo"}));
}

} // namespace
} // namespace tarvik
