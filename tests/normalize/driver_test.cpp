// Step 2's Continue on the headless main window: the refusal, the methods in their order, the
// normalized data table and the move to step 3.
#include "normalize/driver.h"

#include "import/import_session.h"

#include <algorithm>
#include <numeric>
#include <array>
#include <cmath>

namespace tarvik::testing {
namespace {

// tests/data/wiz_vowels.txt, data rows 1..7 (row 6 has the Subject NULL and belongs to no subject):
//   s1 i 300 2300 100 1000 | s1 i 320 2200 120 1100 | s1 a 700 1200 200 900 | s2 i 350 2500 110 1000
//   s2 a 800 1300 210 1000 | NULL a 750 1250 205 950 | s2 u 400 900 150 1200
// Header popups: entry k + 2 is header k (3 Speaker ... 7 Dur, 8 Phrase); 2 is "(not available)".
constexpr Roles k3D = {3, 4, 5, 6, 7, 8};

// The entries picked for F1, F2 and the duration: 1 "(please select)", 2 copy, 3 z-score,
// 4 logarithmic / phrase duration, 5 known extremes.
using Methods = std::array<double, 3>;

// The values of the rows of subjects (1 to 5 and 7) in one column of the normalized table.
using SubjectRows = std::array<double, 6>;
constexpr std::array<std::size_t, 6> kSubjectRows = {1, 2, 3, 4, 5, 7};

class Driver : public ImportSession {
  protected:
    // Loads the data file and completes step 1 with the given roles.
    void map(const Roles& roles) {
        press_load(data_file("wiz_vowels.txt"));
        map_and_continue(roles);
        ASSERT_EQ(s.record().currStep, 2);
        forget_dialogs();
    }
    void press(const Methods& m) {
        s.fig().set_value("popupmenu_normalize_spectral1", m[0]);
        s.fig().set_value("popupmenu_normalize_spectral2", m[1]);
        s.fig().set_value("popupmenu_normalize_duration", m[2]);
        dispatch_event(s.rt, "button_continue_to_grouping");
    }
    Cell cell(const char* column, std::size_t row) const {
        return s.record().dataNormalizedColumn.at(column).at(row - 1);
    }
    void expect_numbers(const char* column, const SubjectRows& expected) const {
        for (std::size_t k = 0; k < kSubjectRows.size(); ++k) {
            const Cell c = cell(column, kSubjectRows[k]);
            const double* d = std::get_if<double>(&c);
            ASSERT_NE(d, nullptr) << column << " row " << kSubjectRows[k];
            EXPECT_NEAR(*d, expected[k], 1e-12) << column << " row " << kSubjectRows[k];
        }
    }
};

// A refusal keeps step 2 active, so one session takes every case.
TEST_F(Driver, AsksForEveryMenuItNeeds) {
    map(k3D);
    const Handles before = s.record();
    for (const Methods& m : {Methods{1, 2, 2}, Methods{2, 1, 2}, Methods{2, 2, 1}}) {
        SCOPED_TRACE(::testing::PrintToString(m));
        s.scripted.dialogs.clear();
        press(m);
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        EXPECT_EQ(shown(s.scripted.dialogs[0]),
                  Shown("message", "Cannot continue",
                        {"Please specify any normalization techniques to apply to the data. If your data are "
                         "already normalized, then be sure to say so."},
                        Icon::Warn, false, true));
        EXPECT_EQ(s.record(), before);
        expect_step_active(2);
    }
}

// The expected values were computed apart from this program (a short script over the rows above,
// following the formulas the help texts give).
TEST_F(Driver, ZscoreLogarithmicAndDurationZscoreAreWrittenRowForRowThenStep3Opens) {
    map(k3D);
    press({3, 4, 3});
    EXPECT_TRUE(s.scripted.dialogs.empty());
    expect_numbers("F1", {-0.743368667401242, -0.670844894971853, 0.707106781186547, -0.675737378399486,
                          1.14875354327913, -0.47301616487964});
    expect_numbers("F2", {0.146099583783831, 0.126794428588444, -0.136447006186138, 0.242564718532638,
                          -0.0414319378325629, -0.201132780700075});
    expect_numbers("Dur", {-1.03940230077537, -0.661437827766148, 0.850420064270761, -0.92717264994553,
                           1.05962588565204, -0.132453235706504});
    // The row of no subject and the columns of no role keep their text.
    EXPECT_EQ(cell("F1", 6), Cell{std::string("750")});
    EXPECT_EQ(cell("Dur", 6), Cell{std::string("205")});
    EXPECT_EQ(cell("Phrase", 1), Cell{std::string("1000")});
    EXPECT_EQ(s.record().currStep, 3);
    EXPECT_EQ(s.control("edit_currVowel_name").string, TextList{"(please name)"});

    // Each method names the subject under way; the table is reorganized last.
    const auto& p = s.scripted.progress;
    ASSERT_GE(p.size(), 2u);
    EXPECT_EQ(p.front().message, "Normalizing F1:");
    EXPECT_EQ(p.at(1).message, "Normalizing F1: subject s1 (1 of 2)");
    const auto reorganizing = std::find_if(p.begin(), p.end(), [](const ProgressEvent& e) {
        return e.kind == "create" && e.message == "One moment while normalized data are reorganized...";
    });
    ASSERT_NE(reorganizing, p.end());
    EXPECT_EQ(std::count_if(p.begin(), p.end(), [](const ProgressEvent& e) { return e.kind == "create"; }), 4);
    EXPECT_DOUBLE_EQ(p[p.size() - 2].fraction, 1.0); // the last of the K = 2 subjects
    EXPECT_EQ(p.back().kind, "close");
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
}

// Watt-Fabricius on both formants asks for the corner vowels once; F2 is scaled by the mean of F2 at i,
// F2 at a and F1 at i.
TEST_F(Driver, WattFabriciusAsksForTheCornersOnce) {
    map(k3D);
    s.scripted.inputAnswers = {{"i", "a"}};
    press({7, 7, 2});
    EXPECT_EQ(s.record().currStep, 3);
    EXPECT_EQ(std::count_if(s.scripted.dialogs.begin(), s.scripted.dialogs.end(),
                            [](const DialogRecord& d) { return d.kind == "input"; }),
              1);
    const SubjectRecord& s1 = s.record().dataSubject->at("s1");
    const double scale = s1.normalization.at("F2").grandmean.value();
    const auto mean = [&](const char* v, const char* f) {
        const auto& x = f[1] == '1' ? s1.vowelTargets.at(v).F1 : s1.vowelTargets.at(v).F2;
        return std::accumulate(x.begin(), x.end(), 0.0) / static_cast<double>(x.size());
    };
    EXPECT_DOUBLE_EQ(scale, (mean("i", "F2") + mean("a", "F2") + mean("i", "F1")) / 3);
}

// Cancel in a method's progress dialog stops step 2 with the session as it was.
TEST_F(Driver, ACancelledNormalizationLeavesTheSessionAsItWas) {
    map(k3D);
    const Handles before = s.record();
    s.scripted.cancelAfterUpdates = 1;
    press({3, 4, 3});
    EXPECT_EQ(s.record(), before);
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
}

TEST_F(Driver, CopiedFormantsBecomeNumbersAndPhraseDurationIsRescaled) {
    map(k3D);
    press({2, 2, 4});
    expect_numbers("F1", {300, 320, 700, 350, 800, 400});
    expect_numbers("F2", {2300, 2200, 1200, 2500, 1300, 900});
    // Computed apart from this program, as above.
    expect_numbers("Dur", {0.0158974358974359, 0.0173426573426573, 0.0353276353276353, 0.01615625, 0.03084375,
                           0.018359375});
}

TEST_F(Driver, In2DTheDurationMenuIsIgnoredAndAConstantColumnIsAdded) {
    map({3, 4, 5, 6, 2, 2});
    press({2, 2, 1});
    const Handles h = s.record();
    EXPECT_EQ(h.currStep, 3);
    TextList columns = h.dataColumn.keys();
    columns.push_back("notAvailable");
    EXPECT_EQ(h.dataNormalizedColumn.keys(), columns);
    expect_numbers("notAvailable", {0.5, 0.5, 0.5, 0.5, 0.5, 0.5});
    EXPECT_EQ(cell("Dur", 1), Cell{std::string("100")}); // the duration column is not a role in 2D
}

// Known extremes for both formants asks for F1, then for F2. F2's question answered "cancel" stops the run
// without a message of its own, with F1's results stored; pressed again, the run completes.
TEST_F(Driver, KnownExtremesAsksForF1ThenF2AndACancelForF2StopsQuietly) {
    map(k3D);
    s.scripted.questionAnswers = {"continue", "cancel"};
    s.scripted.inputAnswers = {{"i", "a"}};
    press({5, 5, 2});
    EXPECT_EQ(titles(), (std::vector<std::string>{"Continue with Known Extremes normalization?",
                                                  "F1: Select your extreme categories",
                                                  "Continue with Known Extremes normalization?"}));
    expect_step_active(2);
    const Handles h = s.record();
    EXPECT_TRUE(h.dataSubject.at("s1").normalizedTargets.at("i").contains("F1"));
    EXPECT_FALSE(h.dataSubject.at("s1").normalizedTargets.at("i").contains("F2"));
    EXPECT_TRUE(h.dataNormalizedColumn.empty());

    s.scripted.inputAnswers = {{"i", "a"}, {"a", "i"}};
    press({5, 5, 2});
    EXPECT_EQ(s.record().currStep, 3);
    EXPECT_EQ(s.scripted.dialogs.back().title, "F2: Select your extreme categories");
    // s2, F2: G = (log10 1300 + log10 2500) / 2, row 7 holds log10(900) - G.
    EXPECT_NEAR(std::get<double>(cell("F2", 7)),
                std::log10(900.0) - (std::log10(1300.0) + std::log10(2500.0)) / 2, 1e-12);
}

TEST_F(Driver, PhraseDurationWithoutItsColumnIsReportedTwice) {
    map({3, 4, 5, 6, 7, 2});
    press({2, 2, 4});
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(shown(s.scripted.dialogs[0]),
              Shown("warning", "Option not possible",
                    {"You must have data with phrase duration in Step 1. If you mistakenly selected '(not "
                     "available)' for Phrase Duration in Step 1, then please return to Step 1, select the "
                     "correct header name, and then press Step 1's CONTINUE button."},
                    Icon::Warn, true, false));
    EXPECT_EQ(shown(s.scripted.dialogs[1]),
              Shown("warning", "Let Quillon know",
                    {"Function Failed: Duration target \"normalize_duration_phrase_duration\" in "
                     "\"button_continue_to_grouping_Callback\""},
                    Icon::Warn, true, false));
    expect_step_active(2);
    // The formants were normalized and stored before the duration method refused.
    EXPECT_TRUE(s.record().dataSubject.at("s2").normalizedTargets.at("u").contains("F2"));
}

} // namespace
} // namespace tarvik::testing
