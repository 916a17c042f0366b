// The Results window of step 4 on the headless main window: what "Calculate all" shows, "Show results
// table" and its enable state, the CSV export through the save dialog, and a session saved and reopened.
#include "overlap/results_step.h"

#include "overlap/overlap_ops.h"
#include "support/session.h"
#include "support/test_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvik::testing {
namespace {

class ResultsWindow : public StartedSession {
  protected:
    const std::vector<ResultsTable>& shown() const { return s.scripted.results.shown; }
    // The column `name` of every row of the last table shown, as the reports write it.
    std::vector<std::string> column(const std::string& name) const {
        const ResultsTable& t = shown().back();
        std::vector<std::string> out;
        for (std::size_t r = 0; r < t.rows.size(); ++r)
            out.push_back(cell_text(t, r, column_index(t, name)));
        return out;
    }
    Enable button() const { return s.control(kShowResultsTag).enable; }
    void calculate_all(const char* button) {
        s.click("checkbox_all_group_overlap", 1);
        dispatch_event(s.rt, button);
    }
    TestFolder folder{"results"};
};

// Each "Calculate all" ends with the Results window showing every computed pair of the record: the 2D
// rows, then the 3D ones, each with its grid results as recorded and its measures (equal to the batch
// tool's: batch_tool_test.cpp); the button shows it again. Neither writes in the log.
TEST_F(ResultsWindow, CalculateAllShowsEveryComputedPairWithItsResultsAndMeasures) {
    run_steps_1_to_3(s, {.file = "plot_vowels.txt"});
    EXPECT_EQ(button(), Enable::Off);
    calculate_all("button_calculate_2Doverlap");
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(button(), Enable::On);
    EXPECT_NE(s.log().back().find("VOWEL OVERLAP"), std::string::npos);
    calculate_all("button_calculate_3Doverlap");
    const TextList log = s.log();
    dispatch_event(s.rt, kShowResultsTag);
    ASSERT_EQ(shown().size(), 3u);
    EXPECT_EQ(tsv_text(shown()[2]), tsv_text(shown()[1]));
    EXPECT_EQ(s.log(), log);

    EXPECT_EQ(column("dimension"), (std::vector<std::string>{"2D", "2D", "2D", "3D", "3D", "3D"}));
    EXPECT_EQ(column("group_a"), (std::vector<std::string>{"v1", "v1", "v2", "v1", "v1", "v2"}));
    EXPECT_EQ(column("group_b"), (std::vector<std::string>{"v2", "v3", "v3", "v2", "v3", "v3"}));
    EXPECT_EQ(column("pillai_df1"), (std::vector<std::string>{"2", "2", "2", "3", "3", "3"}));
    const ResultsTable& t = shown().back();
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        const auto& row = t.rows[r];
        const PairResults cell = pair_results(s.record().overlap.at({int(row[1].number), int(row[2].number)}), r >= 3);
        EXPECT_EQ(row[column_index(t, "value")].number, *cell.value) << r;
        EXPECT_EQ(row[column_index(t, "both_count")].number, *cell.Ebothsum) << r;
    }
    EXPECT_TRUE(t.notes.empty());
}

// One pair is no "Calculate all": nothing is shown, but the button offers its results. Groups with too
// few tokens have NaN measures, and the table says why, once per reason.
TEST_F(ResultsWindow, OnePairEnablesTheButtonAndTheTableNotesWhyMeasuresAreNaN) {
    run_steps_1_to_3(s); // v1: i (3 tokens), v2: a (3), v3: u (1)
    s.fig().set_value("popupmenu_overlap_group_a", 3);
    s.fig().set_value("popupmenu_overlap_group_b", 1);
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(button(), Enable::On);
    dispatch_event(s.rt, kShowResultsTag);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(column("group_a"), std::vector<std::string>{"v1"}); // the record keeps the smaller first
    EXPECT_EQ(column("pillai"), std::vector<std::string>{"NaN"});
    EXPECT_NE(column("euclidean"), std::vector<std::string>{"NaN"}); // the means are there
    EXPECT_EQ(shown().back().notes,
              (std::vector<std::string>{"Group v1 has 3 tokens: the measures need at least 4 tokens.",
                                        "Group v3 has 1 token: the measures need at least 4 tokens."}));
}

// The button is off while there is nothing to show (a click does nothing then); asked all the same, the
// window says so. A session saved with results reopens with the button on and the same table.
TEST_F(ResultsWindow, TheButtonFollowsTheResultsAlsoThroughASavedSession) {
    run_steps_1_to_3(s, {.file = "plot_vowels.txt", .overlaps = true});
    dispatch_event(s.rt, kShowResultsTag);
    const std::string table = tsv_text(shown().back());
    s.scripted.fileAnswers.push_back(FileChoice{"study", folder.path().string()});
    dispatch_event(s.rt, "menuItem_saveSession");

    dispatch_event(s.rt, kMirroredFitAxesTag); // fits again and clears the overlaps
    EXPECT_EQ(button(), Enable::Off);
    const std::size_t tables = shown().size();
    show_overlap_results(s.rt);
    EXPECT_EQ(shown().size(), tables);
    expect_dialog(s.scripted.last(), "message", "No results",
                  {"There are no overlap results yet: calculate the overlap of a pair, or of every pair, first."},
                  Icon::None, false);

    s.scripted.fileAnswers.push_back(FileChoice{"study.tarvik", folder.path().string()});
    dispatch_event(s.rt, "menuItem_openSession");
    EXPECT_EQ(button(), Enable::On);
    dispatch_event(s.rt, kShowResultsTag);
    EXPECT_EQ(tsv_text(shown().back()), table);
}

// "Export CSV..." writes the table as the batch tool writes it, under the name chosen (".csv" added);
// Cancel writes nothing, and a folder that cannot be written is named with its reason.
TEST_F(ResultsWindow, ExportWritesTheCsvWhereTheSaveDialogSays) {
    run_steps_1_to_3(s, {.file = "plot_vowels.txt"});
    calculate_all("button_calculate_2Doverlap");
    const ResultsTable& t = shown().back();
    for (const std::optional<FileChoice>& answer : {std::optional(FileChoice{"pairs", folder.path().string()}),
                                                    std::optional<FileChoice>(),
                                                    std::optional(FileChoice{"x.csv", folder / "missing"})}) {
        s.scripted.fileAnswers.push_back(answer);
        export_results_csv(s.rt, t);
    }
    EXPECT_EQ(folder.names(), std::vector<std::string>{"pairs.csv"});
    EXPECT_EQ(file_contents(folder / "pairs.csv"), csv_text(t));
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(s.scripted.dialogs.end()[-2].title, "Export the results as CSV");
    EXPECT_EQ(d.title, "Export CSV");
    ASSERT_EQ(d.text.size(), 1u);
    EXPECT_EQ(d.text[0].rfind("Could not write the results to \"" + folder / "missing/x.csv" + "\": ", 0), 0u)
        << d.text[0];
}

} // namespace
} // namespace tarvik::testing
