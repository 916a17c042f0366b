// Step 1's Continue on the headless main window: the refusals, the 2D question and a completed mapping.
#include "import/column_mapping.h"

#include "support/session.h"

#include <gtest/gtest.h>

#include <array>

namespace tarvik::testing {
namespace {

// tests/data/wiz_vowels.txt has the header Speaker Vowel F1 F2 Dur Phrase Group, so popup entry k + 2 is
// header k: 3 Speaker, 4 Vowel, 5 F1, 6 F2, 7 Dur, 8 Phrase, 9 Group. 1 "(please select)", 2 "(not
// available)".
using Roles = std::array<double, 6>;
constexpr Roles k3D = {3, 4, 5, 6, 7, 8};

const std::array<const char*, 6> kRolePopups = {
    "popupmenu_header_subject", "popupmenu_header_vowel",    "popupmenu_header_f1",
    "popupmenu_header_f2",      "popupmenu_header_duration", "popupmenu_header_phraseduration"};

const TextList kSelectAll = {
    "Please specify the header names to the data in all popup menus. For example, if you "
    "do not have phrase duration information then be sure to say so."};
const TextList kRequired = {"Subject, Vowel, F1, and F2 data are required.",
                            "Make sure you have column corresponding to these data."};
const TextList kSameHeaders = {"Please make sure no headers are the same."};
const char* const k2DText =
    "You have have not specified a temporal dimension to your data. You will only be "
    "allowed to perform 2D overlap calculation and plotting. Would you like to continue "
    "anyway?";

class ColumnMapping : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        s.scripted.fileAnswers.push_back(FileChoice{"wiz_vowels.txt", TARVIK_TEST_DATA_DIR});
        dispatch_event(s.rt, "button_load_file");
        ASSERT_EQ(s.record().header.size(), 7u);
        s.scripted.dialogs.clear();
    }
    void press(const Roles& roles) {
        for (std::size_t k = 0; k < roles.size(); ++k)
            s.fig().set_value(kRolePopups[k], roles[k]);
        dispatch_event(s.rt, "button_continue_to_normalize");
    }
    void expect_step_1_active() const {
        const Handles h = s.record();
        EXPECT_EQ(h.currStep, 1);
        for (const auto& ref : h.stepObjects[0])
            EXPECT_EQ(s.control(ref.tag).enable, Enable::On) << ref.tag;
        EXPECT_EQ(s.control("button_continue_to_grouping").enable, Enable::Off);
        EXPECT_TRUE(s.control("button_step_1").bold);
    }
};

// ---- refusals -----------------------------------------------------------------------------------

// Each refusal shows why, waits and stores nothing, so one session takes them all in turn.
TEST_F(ColumnMapping, RefusedChoicesShowWhyWaitAndStoreNothing) {
    const Handles before = s.record();
    const TextList log = s.log();
    const std::vector<std::pair<Roles, TextList>> cases = {
        {{1, 4, 5, 6, 7, 8}, kSelectAll}, // Subject unset
        {{3, 4, 5, 6, 1, 8}, kSelectAll}, // Duration unset
        {{3, 4, 5, 6, 7, 1}, kSelectAll}, // only PhraseDuration unset
        {{2, 4, 5, 6, 7, 8}, kRequired},  // Subject not available
        {{3, 4, 5, 2, 7, 8}, kRequired},  // F2 not available
        // The first offending popup in role order decides the message.
        {{3, 4, 1, 2, 7, 8}, kSelectAll},
        {{3, 2, 5, 6, 7, 1}, kRequired},
        {{3, 3, 5, 6, 7, 8}, kSameHeaders}, // Subject and Vowel the same
        {{3, 4, 5, 6, 7, 7}, kSameHeaders}, // Duration and PhraseDuration the same
        {{3, 4, 5, 6, 2, 5}, kSameHeaders}, // PhraseDuration is the F1 column
    };
    for (const auto& [roles, text] : cases) {
        SCOPED_TRACE(::testing::PrintToString(roles));
        s.scripted.dialogs.clear();
        press(roles);
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.dialogs[0];
        EXPECT_EQ(d.kind, "message");
        EXPECT_EQ(d.text, text);
        EXPECT_EQ(d.title, "Cannot continue");
        EXPECT_EQ(d.icon, Icon::Warn);
        EXPECT_FALSE(d.modal);
        EXPECT_TRUE(d.waited);
        EXPECT_EQ(s.record(), before);
        EXPECT_EQ(s.log(), log);
        expect_step_1_active();
    }
}

// ---- no duration column: cancelling the 2D question stores nothing, continuing limits the analysis --

class TwoDimensions : public ColumnMapping, public ::testing::WithParamInterface<double> {};

TEST_P(TwoDimensions, CancelStoresNothingContinueKeepsTheDurationMenuDisabled) {
    const Handles before = s.record();
    s.scripted.questionAnswers = {"cancel", "continue"};
    press({3, 4, 5, 6, 2, GetParam()});

    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& q = s.scripted.dialogs[0];
    EXPECT_EQ(q.kind, "question");
    EXPECT_EQ(q.title, "Proceed with 2D only?");
    EXPECT_EQ(q.text, TextList{k2DText});
    EXPECT_EQ(q.buttons, (TextList{"continue", "cancel", "continue"}));
    EXPECT_TRUE(q.modal);
    EXPECT_EQ(s.record(), before);
    EXPECT_EQ(s.record().onlyAllow2D, 0);
    expect_step_1_active();

    press({3, 4, 5, 6, 2, GetParam()});
    const Handles h = s.record();
    EXPECT_EQ(h.currStep, 2);
    EXPECT_EQ(h.onlyAllow2D, 1);
    EXPECT_EQ(h.HeaderName.Duration, "notAvailable");
    EXPECT_EQ(h.HeaderName.PhraseDuration, GetParam() == 8 ? "Phrase" : "(not available)");
    EXPECT_EQ(s.control("popupmenu_normalize_duration").enable, Enable::Off);
    EXPECT_EQ(s.control("popupmenu_normalize_spectral1").enable, Enable::On);
    EXPECT_EQ(s.control("button_continue_to_grouping").enable, Enable::On);
}

INSTANTIATE_TEST_SUITE_P(Phrase, TwoDimensions, ::testing::Values(2.0, 8.0), [](const auto& info) {
    return std::string(info.param == 8 ? "WithPhraseColumn" : "NoPhraseColumn");
});

// ---- a completed 3D mapping ---------------------------------------------------------------------

TEST_F(ColumnMapping, A3DMappingRecordsTheRolesOpensStep2AndFillsItsMenus) {
    press(k3D);
    const Handles h = s.record();
    EXPECT_EQ(h.HeaderName, (HeaderNames{"Speaker", "Vowel", "F1", "F2", "Dur", "Phrase"}));
    EXPECT_EQ(h.onlyAllow2D, 0);
    EXPECT_EQ(h.dataSubject.keys(), (TextList{"s1", "s2"})); // the NULL subject's row is no subject
    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(h.currStep, 2);
    for (const auto& ref : h.stepObjects[0])
        EXPECT_EQ(s.control(ref.tag).enable, Enable::Off) << ref.tag;
    for (const auto& ref : h.stepObjects[1])
        EXPECT_EQ(s.control(ref.tag).enable, Enable::On) << ref.tag;
    // The highlight moves to step 2 (its colours are the wizard's own business).
    EXPECT_TRUE(s.control("button_step_2").bold);
    EXPECT_FALSE(s.control("button_step_1").bold);

    const TextList& log = s.log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(
        TextList(log.end() - 2, log.end()),
        (TextList{"You successfully specified header names. Value types for all non-numerical values "
                  "have been identified.",
                  "You can view the value types in Step 3, but you need to specify normalization if any "
                  "in Step 2 first."}));
    EXPECT_EQ(s.control("listbox_groupings").value, std::vector<double>{1});
    EXPECT_EQ(s.control("listbox_groupings").string, (TextList{"Speaker", "Vowel", "Group"}));

    const TextList spectral = {"(please select)", "Do not normalize - Already normalized",
                               "Apply Z-score normalization", "Apply Logarithmic normalization",
                               "Apply Known Extremes normalization"};
    EXPECT_EQ(s.control("popupmenu_normalize_spectral1").string, spectral);
    EXPECT_EQ(s.control("popupmenu_normalize_spectral2").string, spectral);
    EXPECT_EQ(s.control("popupmenu_normalize_duration").string,
              (TextList{"(please select)", "Do not normalize - Already normalized",
                        "Apply Z-score normalization", "Apply Phrase Duration normalization"}));
}

} // namespace
} // namespace tarvik::testing
