// Step 2's Continue on the headless main window: the refusal, the methods in their order, the
// normalized data table and the move to step 3.
#include "normalize/driver.h"

#include "support/session.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace tarvik::testing {
namespace {

constexpr double kTol = 1e-12;

// tests/data/wiz_vowels.txt, data rows 1..7 (row 6 has the Subject NULL and belongs to no subject):
//   s1 i 300 2300 100 1000 | s1 i 320 2200 120 1100 | s1 a 700 1200 200 900 | s2 i 350 2500 110 1000
//   s2 a 800 1300 210 1000 | NULL a 750 1250 205 950 | s2 u 400 900 150 1200
// Header popups: entry k + 2 is header k (3 Speaker ... 7 Dur, 8 Phrase); 2 is "(not available)".
using Roles = std::array<double, 6>;
constexpr Roles k3D = {3, 4, 5, 6, 7, 8};
constexpr Roles k3DNoPhrase = {3, 4, 5, 6, 7, 2};
constexpr Roles k2D = {3, 4, 5, 6, 2, 2};
const std::array<const char*, 6> kRolePopups = {
    "popupmenu_header_subject", "popupmenu_header_vowel",    "popupmenu_header_f1",
    "popupmenu_header_f2",      "popupmenu_header_duration", "popupmenu_header_phraseduration"};

// Menu entries: 1 "(please select)", 2 copy, 3 z-score, 4 logarithmic / phrase duration, 5 known extremes.
struct Methods {
    double f1, f2, duration;
};

const char* const kChooseText =
    "Please specify any normalization techniques to apply to the data. If your data "
    "are already normalized, then be sure to say so.";

class Driver : public StartedSession {
  protected:
    // Loads the data file and completes step 1 with the given roles.
    void map(const Roles& roles) {
        s.scripted.fileAnswers.push_back(FileChoice{"wiz_vowels.txt", TARVIK_TEST_DATA_DIR});
        dispatch_event(s.rt, "button_load_file");
        for (std::size_t k = 0; k < roles.size(); ++k)
            s.fig().set_value(kRolePopups[k], roles[k]);
        dispatch_event(s.rt, "button_continue_to_normalize");
        ASSERT_EQ(s.record().currStep, 2);
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
    }
    void press(const Methods& m) {
        s.fig().set_value("popupmenu_normalize_spectral1", m.f1);
        s.fig().set_value("popupmenu_normalize_spectral2", m.f2);
        s.fig().set_value("popupmenu_normalize_duration", m.duration);
        dispatch_event(s.rt, "button_continue_to_grouping");
    }
    Cell cell(const char* column, std::size_t row) const {
        return s.record().dataNormalizedColumn.at(column).at(row - 1);
    }
    void expect_number(const char* column, std::size_t row, double expected) const {
        const Cell c = cell(column, row);
        const double* d = std::get_if<double>(&c);
        ASSERT_NE(d, nullptr) << column << " row " << row;
        EXPECT_NEAR(*d, expected, kTol) << column << " row " << row;
    }
    void expect_text(const char* column, std::size_t row, const char* expected) const {
        EXPECT_EQ(cell(column, row), Cell{std::string(expected)}) << column << " row " << row;
    }
    void expect_step_2_active() const {
        const Handles h = s.record();
        EXPECT_EQ(h.currStep, 2);
        for (const auto& ref : h.stepObjects[1]) {
            const bool off = h.onlyAllow2D == 1 && ref.tag == "popupmenu_normalize_duration";
            EXPECT_EQ(s.control(ref.tag).enable, off ? Enable::Off : Enable::On) << ref.tag;
        }
        EXPECT_TRUE(s.control("button_step_2").bold);
    }
    std::vector<std::string> titles(const char* kind) const {
        std::vector<std::string> out;
        for (const auto& d : s.scripted.dialogs)
            if (d.kind == kind)
                out.push_back(d.title);
        return out;
    }
};

// ---- the refusal --------------------------------------------------------------------------------

// In 3D and (parameter true) in 2D: a refusal keeps step 2 active, so one session takes every case.
class NormalizationRefused : public Driver, public ::testing::WithParamInterface<bool> {};

TEST_P(NormalizationRefused, AsksForEveryMenuItNeeds) {
    map(GetParam() ? k2D : k3D);
    const Handles before = s.record();
    const std::vector<Methods> unchosen = GetParam() ? std::vector<Methods>{{1, 2, 2}, {2, 1, 1}}
                                                     : std::vector<Methods>{{1, 2, 2}, {2, 1, 2}, {2, 2, 1}};
    for (const Methods& m : unchosen) {
        SCOPED_TRACE(::testing::Message() << m.f1 << " " << m.f2 << " " << m.duration);
        s.scripted.dialogs.clear();
        press(m);
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.dialogs[0];
        EXPECT_EQ(d.kind, "message");
        EXPECT_EQ(d.text, TextList{kChooseText});
        EXPECT_EQ(d.title, "Cannot continue");
        EXPECT_EQ(d.icon, Icon::Warn);
        EXPECT_FALSE(d.modal);
        EXPECT_TRUE(d.waited);
        EXPECT_EQ(s.record(), before);
        expect_step_2_active();
    }
}

INSTANTIATE_TEST_SUITE_P(Menus, NormalizationRefused, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "In2D" : "In3D"); });

// ---- a completed run in 3D ----------------------------------------------------------------------

class Normalized3D : public Driver {
  protected:
    void SetUp() override {
        Driver::SetUp();
        map(k3D);
        press({3, 2, 2}); // z-score F1, copy F2, copy the duration
    }
};

TEST_F(Normalized3D, WritesTheNormalizedValuesRowForRowAndKeepsTheTextOfTheRest) {
    // F1 z-score per subject over the vowel means. s1: m(i) = 310, m(a) = 700, M = 505, S = 390 / sqrt(2).
    const double s1 = 390 / std::sqrt(2.0);
    expect_number("F1", 1, (300 - 505) / s1);
    expect_number("F1", 2, (320 - 505) / s1);
    expect_number("F1", 3, (700 - 505) / s1);
    // s2: m = 350, 800, 400; M = 1550/3; deviations -500/3, 850/3, -350/3, S^2 = 1095000/9 / 2.
    const double m2 = 1550.0 / 3, s2 = std::sqrt(1095000.0 / 18);
    expect_number("F1", 4, (350 - m2) / s2);
    expect_number("F1", 5, (800 - m2) / s2);
    expect_number("F1", 7, (400 - m2) / s2);
    // Copied values become numbers.
    const std::array<double, 7> f2 = {2300, 2200, 1200, 2500, 1300, 0, 900};
    const std::array<double, 7> dur = {100, 120, 200, 110, 210, 0, 150};
    for (std::size_t r : {1, 2, 3, 4, 5, 7}) {
        expect_number("F2", r, f2[r - 1]);
        expect_number("Dur", r, dur[r - 1]);
    }
    // The row of no subject and the columns of no role keep their text.
    expect_text("F1", 6, "750");
    expect_text("F2", 6, "1250");
    expect_text("Dur", 6, "205");
    expect_text("Speaker", 6, "NULL");
    expect_text("Phrase", 1, "1000");
    expect_text("Group", 7, "woman");
    const Handles h = s.record();
    EXPECT_EQ(h.dataNormalizedColumn.keys(), h.dataColumn.keys());
    for (const auto& [name, cells] : h.dataNormalizedColumn)
        EXPECT_EQ(cells.size(), 7u) << name;
}

TEST_F(Normalized3D, OpensStep3AfterReorganizingUnderAProgressDialog) {
    EXPECT_TRUE(s.scripted.dialogs.empty());
    const Handles h = s.record();
    EXPECT_EQ(h.currStep, 3);
    for (const auto& ref : h.stepObjects[2])
        EXPECT_EQ(s.control(ref.tag).enable, Enable::On) << ref.tag;
    for (const char* tag : {"popupmenu_normalize_spectral1", "popupmenu_normalize_spectral2",
                            "popupmenu_normalize_duration", "button_continue_to_grouping"})
        EXPECT_EQ(s.control(tag).enable, Enable::Off) << tag;
    EXPECT_EQ(s.control("edit_currVowel_name").string, TextList{"(please name)"});
    EXPECT_EQ(s.control("listbox_groupings").value, std::vector<double>{1});
    EXPECT_EQ(s.control("listbox_types").value, std::vector<double>{1});
    EXPECT_EQ(s.control("listbox_types").string, (TextList{"s1", "s2", "NULL"}));
    EXPECT_EQ(h.currentSelectedGroup, "Speaker");
    EXPECT_EQ(h.currentSelectedType, "s1");
    EXPECT_TRUE(s.control("button_step_3").bold); // the highlight's colours are the wizard's own business
    EXPECT_FALSE(s.control("button_step_2").bold);

    const auto& p = s.scripted.progress;
    ASSERT_GE(p.size(), 2u);
    EXPECT_EQ(p.front().kind, "create");
    EXPECT_EQ(p.front().message, "One moment while normalized data are reorganized...");
    EXPECT_EQ(p.back().kind, "close");
    EXPECT_EQ(p.back().id, p.front().id);
    EXPECT_DOUBLE_EQ(p[p.size() - 2].fraction, 1.0); // the last of the K = 2 subjects
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
}

// ---- 2D -----------------------------------------------------------------------------------------

TEST_F(Driver, In2DTheDurationMenuIsIgnoredAndAConstantColumnIsAdded) {
    map(k2D);
    press({2, 2, 1});

    const Handles h = s.record();
    EXPECT_EQ(h.currStep, 3);
    TextList columns = h.dataColumn.keys();
    columns.push_back("notAvailable");
    EXPECT_EQ(h.dataNormalizedColumn.keys(), columns);
    for (std::size_t r : {1, 2, 3, 4, 5, 7})
        expect_number("notAvailable", r, 0.5);
    const auto& added = h.dataNormalizedColumn.at("notAvailable");
    EXPECT_TRUE(added.size() < 6 || std::holds_alternative<std::monostate>(added[5])); // row 6: no subject
    expect_text("Dur", 1, "100"); // the duration column is not a role in 2D
    expect_number("F1", 1, 300);
}

// ---- known extremes -----------------------------------------------------------------------------

TEST_F(Driver, KnownExtremesForBothFormantsAsksForF1ThenF2) {
    map(k3D);
    s.scripted.inputAnswers = {{"i", "a"}, {"a", "i"}};
    press({5, 5, 2});

    EXPECT_EQ(s.record().currStep, 3);
    EXPECT_EQ(titles("input"), (std::vector<std::string>{"F1: Select your extreme categories",
                                                         "F2: Select your extreme categories"}));
    EXPECT_EQ(titles("question").size(), 2u);
    // s1: G = (mean(log10 300, log10 320) + log10 700) / 2, row 1 holds log10(300) - G.
    const double g1 = ((std::log10(300.0) + std::log10(320.0)) / 2 + std::log10(700.0)) / 2;
    expect_number("F1", 1, std::log10(300.0) - g1);
    const double g2 = (std::log10(1300.0) + std::log10(2500.0)) / 2; // s2, F2: one token each of a and i
    expect_number("F2", 7, std::log10(900.0) - g2);
}

// F2's question answered "cancel", or (no questions scripted past F1's) its input dialog cancelled.
class ExtremesCancelledForF2 : public Driver,
                               public ::testing::WithParamInterface<std::deque<std::string>> {};

TEST_P(ExtremesCancelledForF2, StopsQuietlyWithF1Stored) {
    map(k3D);
    s.scripted.questionAnswers = GetParam();
    s.scripted.inputAnswers = {{"i", "a"}}; // F1's; F2's input dialog, if shown, is cancelled
    press({5, 5, 2});

    for (const auto& d : s.scripted.dialogs)
        EXPECT_EQ(d.title.rfind("Let Quillon know", 0), std::string::npos) << d.title;
    expect_step_2_active();
    const Handles h = s.record();
    const CategoryValues& i = h.dataSubject.at("s1").normalizedTargets.at("i");
    EXPECT_TRUE(i.contains("F1"));
    EXPECT_FALSE(i.contains("F2"));
    EXPECT_TRUE(h.dataNormalizedColumn.empty());
}

INSTANTIATE_TEST_SUITE_P(Where, ExtremesCancelledForF2,
                         ::testing::Values(std::deque<std::string>{"continue", "cancel"},
                                           std::deque<std::string>{}),
                         [](const auto& info) {
                             return std::string(info.param.empty() ? "AtTheInputDialog" : "AtTheQuestion");
                         });

// ---- a method that refuses ----------------------------------------------------------------------

TEST_F(Driver, PhraseDurationWithoutItsColumnIsReportedTwice) {
    map(k3DNoPhrase);
    press({2, 2, 4});

    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(s.scripted.dialogs[0].kind, "warning");
    EXPECT_EQ(s.scripted.dialogs[0].title, "Option not possible");
    const DialogRecord& d = s.scripted.dialogs[1];
    EXPECT_EQ(d.kind, "warning");
    EXPECT_EQ(d.title, "Let Quillon know");
    EXPECT_EQ(d.text, TextList{"Function Failed: Duration target \"normalize_duration_phrase_duration\" in "
                               "\"button_continue_to_grouping_Callback\""});
    EXPECT_TRUE(d.modal);
    EXPECT_FALSE(d.waited);
    expect_step_2_active();
    // The formants were normalized and stored before the duration method refused.
    EXPECT_TRUE(s.record().dataSubject.at("s2").normalizedTargets.at("u").contains("F2"));
}

} // namespace
} // namespace tarvik::testing
