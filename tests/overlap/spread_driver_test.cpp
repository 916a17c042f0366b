// Step 4's "Per subject" and bootstrap options on the headless main window: what the Results window and
// the plot windows show, the log, and the warnings for options that cannot be used.
#include "overlap/spread_driver.h"

#include "support/session.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

class Spread : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        run_steps_1_to_3(s, {.file = "plot_vowels.txt"}); // v1: i, v2: a, v3: e; 6 tokens of each per speaker
    }
    const std::vector<ResultsTable>& shown() const { return s.scripted.results.shown; }
    double number(const ResultsTable& t, std::size_t row, const char* column) const {
        return t.rows.at(row).at(column_index(t, column)).number;
    }
    void options(bool perSubject, const char* replicates, const char* confidence = "0.95") {
        s.click(kPerSubjectTag, perSubject ? 1 : 0);
        s.fig().set_string(kReplicatesTag, {replicates});
        s.fig().set_string(kConfidenceTag, {confidence});
    }
};

// Every pair within each subject: the summary per pair opens each pair's subjects' rows, the strip plot
// shows the pairs, and the log has a line per pair.
TEST_F(Spread, PerSubjectShowsTheSummaryPerPairOpeningItsSubjectsAndTheStripPlot) {
    options(true, "0");
    s.click("checkbox_all_group_overlap", 1);
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    ASSERT_EQ(shown().size(), 1u);
    const ResultsTable& summary = shown()[0];
    ASSERT_EQ(summary.rows.size(), 3u);
    ASSERT_EQ(summary.details.size(), 3u);
    const ResultsTable& pair = summary.details[1]; // v1-v3
    ASSERT_EQ(pair.rows.size(), 2 + 4u);
    EXPECT_EQ(cell_text(pair, 0, 0), "s1");
    EXPECT_EQ(cell_text(pair, 5, 0), "ALL_N");
    EXPECT_EQ(cell_text(summary, 1, column_index(summary, "group_b")), "v3");
    EXPECT_EQ(number(summary, 1, "subjects"), 2);
    EXPECT_EQ(number(summary, 1, "value_median"), number(pair, 4, "value"));
    EXPECT_EQ(number(summary, 1, "pillai_median"), number(pair, 4, "pillai"));
    EXPECT_EQ(column_index(summary, "ci_low"), summary.columns.size());

    const auto& plots = s.scripted.plots.windows();
    ASSERT_EQ(plots.size(), 1u);
    const PlotDescription& strip = *plots.begin()->second.shown;
    EXPECT_EQ(strip.axes.title, "Overlap within subjects (2D)");
    EXPECT_EQ(strip.axes.legend, (std::vector<std::string>{"v1 - v2", "v1 - v3", "v2 - v3"}));
    const TextList log = s.log();
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "   2D v1 and v3: median " + cell_display_text(pair, 4, column_index(pair, "value")) +
                            " over 2 subjects"),
              log.end());

    // Cancelled, it shows nothing more.
    s.scripted.cancelAfterUpdates = 1;
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_EQ(plots.size(), 1u);
}

// One pair with intervals: its row in the Results window holds the interval around its value, from every
// replicate; within subjects each subject's row gets its own.
TEST_F(Spread, BootstrapIntervalsOfOnePairPooledAndWithinSubjects) {
    options(false, "60", "0.9");
    s.fig().set_value("popupmenu_overlap_group_a", 3);
    s.fig().set_value("popupmenu_overlap_group_b", 1);
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    ASSERT_EQ(shown().size(), 1u);
    const ResultsTable& pooled = shown()[0];
    ASSERT_EQ(pooled.rows.size(), 1u);
    EXPECT_EQ(cell_text(pooled, 0, column_index(pooled, "group_a")), "v3"); // in the order asked for
    EXPECT_LE(number(pooled, 0, "ci_low"), number(pooled, 0, "value"));
    EXPECT_GE(number(pooled, 0, "ci_high"), number(pooled, 0, "value"));
    EXPECT_EQ(number(pooled, 0, "bootstrap_n"), 60);
    EXPECT_NE(
        s.log().back().find("BOOTSTRAP (2D): 60 replicates drawing tokens with replacement, seed 1, 90% "),
        std::string::npos)
        << s.log().back();

    options(true, "20");
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    ASSERT_EQ(shown().size(), 2u);
    const ResultsTable& subjects = shown()[1].details.at(0);
    EXPECT_GT(number(subjects, 0, "bootstrap_n"), 10); // a replicate of 6 tokens may fit no ellipse
    EXPECT_LE(number(subjects, 0, "bootstrap_n"), 20);
    EXPECT_TRUE(std::isnan(number(subjects, 2, "ci_low"))); // ALL_MEAN
}

// Options that cannot be used are named in one warning and nothing is calculated; a confidence is only
// read when intervals are asked for, and one group as both A and B is refused only within subjects or with
// intervals.
TEST_F(Spread, OptionsThatCannotBeUsedAreNamedAndNothingIsCalculated) {
    const std::string notReplicates =
        "The number of bootstrap replicates must be a whole number from 0 (no intervals) to 1,000,000; it is ";
    const std::string notConfidence =
        "The confidence of the intervals must be a number between 0 and 1, such as 0.95; it is ";
    const std::string oneGroup =
        "Groups A and B are the same group: choose two groups, or tick \"calculate all group overlaps\".";
    struct Case {
        bool perSubject, allPairs;
        const char *replicates, *confidence;
        std::string title, warning; // no title: calculated
    };
    const Case cases[] = {
        {false, true, "abc", "0.95", "Bootstrap intervals", notReplicates + "\"abc\"."},
        {false, true, "2.5", "0.95", "Bootstrap intervals", notReplicates + "\"2.5\"."},
        {false, true, "-1", "0.95", "Bootstrap intervals", notReplicates + "\"-1\"."},
        {true, true, "2000000", "0.95", "Bootstrap intervals", notReplicates + "\"2000000\"."},
        {false, true, "10", "1", "Bootstrap intervals", notConfidence + "\"1\"."},
        {false, true, "10", "95%", "Bootstrap intervals", notConfidence + "\"95%\"."},
        {false, false, "10", "0.5", "Bootstrap intervals", oneGroup},
        {true, false, "0", "0.5", "Overlap within subjects", oneGroup},
        {false, false, "0", "0.5", "", ""}, // the pooled overlap of a group with itself
        {false, true, " 0 ", "abc", "", ""},
        {false, true, "", "", "", ""},
    };
    s.fig().set_value("popupmenu_overlap_group_a", 2);
    s.fig().set_value("popupmenu_overlap_group_b", 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warning);
        options(c.perSubject, c.replicates, c.confidence);
        s.click("checkbox_all_group_overlap", c.allPairs ? 1 : 0);
        const std::size_t dialogs = s.scripted.dialogs.size(), lines = s.log().size();
        dispatch_event(s.rt, "button_calculate_2Doverlap");
        if (c.title.empty()) {
            EXPECT_GT(s.log().size(), lines);
            continue;
        }
        ASSERT_EQ(s.scripted.dialogs.size(), dialogs + 1);
        EXPECT_EQ(s.scripted.last().title, c.title);
        EXPECT_EQ(s.scripted.last().text, TextList{c.warning});
        EXPECT_EQ(s.log().size(), lines);
    }
}

// Data without durations has no 3D within subjects either: the same note as for the pooled overlap.
TEST(SpreadWithoutDurations, ThreeDWithinSubjectsIsNotAvailable) {
    Session s;
    s.start();
    run_steps_1_to_3(s, {.file = "plot_vowels.txt", .withDuration = false});
    s.click(kPerSubjectTag, 1);
    const std::size_t dialogs = s.scripted.dialogs.size();
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    ASSERT_EQ(s.scripted.dialogs.size(), dialogs + 1);
    EXPECT_EQ(s.scripted.last().title, "Option not available");
    EXPECT_TRUE(s.scripted.results.shown.empty());
}

} // namespace
} // namespace tarvik::testing
