// Step 1's Continue on the headless main window: the refusals, the 2D question and a completed mapping.
#include "import/column_mapping.h"

#include "import_session.h"

#include <algorithm>

namespace tarvik::testing {
namespace {

// tests/data/wiz_vowels.txt has the header Speaker Vowel F1 F2 Dur Phrase Group, so the role entries are
// 3 Speaker, 4 Vowel, 5 F1, 6 F2, 7 Dur, 8 Phrase, 9 Group.
const TextList kSelectAll = {
    "Please specify the header names to the data in all popup menus. For example, if you "
    "do not have phrase duration information then be sure to say so."};
const TextList kRequired = {"Subject, Vowel, F1, and F2 data are required.",
                            "Make sure you have column corresponding to these data."};
const TextList kSameHeaders = {"Please make sure no headers are the same."};
TextList no_numbers(const std::string& column, const std::string& role, const std::string& first) {
    return {"The column \"" + column + "\" chosen for " + role + " holds no numbers: its first value is \"" +
                first + "\".",
            "Choose a column of measurements."};
}

class ColumnMapping : public ImportSession {
  protected:
    void SetUp() override {
        ImportSession::SetUp();
        press_load(data_file("wiz_vowels.txt"));
    }
};

// Each refusal shows why, waits and stores nothing, so one session takes them all in turn.
TEST_F(ColumnMapping, RefusedChoicesShowWhyWaitAndStoreNothing) {
    const Handles before = s.record();
    const TextList log = s.log();
    const std::vector<std::pair<Roles, TextList>> cases = {
        {{1, 4, 5, 6, 7, 8}, kSelectAll}, // Subject unset
        {{3, 1, 5, 6, 7, 8}, kSelectAll}, // Vowel unset
        {{3, 4, 1, 6, 7, 8}, kSelectAll}, // F1 unset
        {{3, 4, 5, 1, 7, 8}, kSelectAll}, // F2 unset
        {{3, 4, 5, 6, 1, 8}, kSelectAll}, // Duration unset
        {{3, 4, 5, 6, 7, 1}, kSelectAll}, // only PhraseDuration unset
        {{2, 4, 5, 6, 7, 8}, kRequired},  // Subject not available
        {{3, 2, 5, 6, 7, 8}, kRequired},  // Vowel not available
        {{3, 4, 2, 6, 7, 8}, kRequired},  // F1 not available
        {{3, 4, 5, 2, 7, 8}, kRequired},  // F2 not available
        // The first offending popup in role order decides the message.
        {{3, 4, 1, 2, 7, 8}, kSelectAll},
        {{3, 2, 5, 6, 7, 1}, kRequired},
        {{3, 3, 5, 6, 7, 8}, kSameHeaders}, // Subject and Vowel the same
        {{3, 4, 5, 6, 7, 7}, kSameHeaders}, // Duration and PhraseDuration the same
        {{3, 4, 5, 6, 2, 5}, kSameHeaders}, // PhraseDuration is the F1 column
        // A measurement column (F1, F2, Duration) without a single number.
        {{3, 4, 9, 6, 7, 8}, no_numbers("Group", "F1", "man")},
        {{3, 5, 6, 4, 7, 8}, no_numbers("Vowel", "F2", "i")},
        {{3, 4, 5, 6, 9, 8}, no_numbers("Group", "Duration", "man")},
    };
    for (const auto& [roles, text] : cases) {
        SCOPED_TRACE(::testing::PrintToString(roles));
        map_and_continue(roles);
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        EXPECT_EQ(shown(s.scripted.dialogs[0]),
                  Shown("message", "Cannot continue", text, Icon::Warn, false, true));
        EXPECT_EQ(s.record(), before);
        EXPECT_EQ(s.log(), log);
        expect_step_active(1);
    }
}

// No duration column (here with a phrase-duration column): cancelling the 2D question stores nothing,
// continuing limits the analysis.
TEST_F(ColumnMapping, WithoutDurationCancelStoresNothingContinueKeepsTheDurationMenuDisabled) {
    const Handles before = s.record();
    s.scripted.questionAnswers = {"cancel", "continue"};
    map_and_continue({3, 4, 5, 6, 2, 8});
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& q = s.scripted.dialogs[0];
    EXPECT_EQ(shown(q),
              Shown("question", "Proceed with 2D only?",
                    {"You have have not specified a temporal dimension to your data. You will only be "
                     "allowed to perform 2D overlap calculation and plotting. Would you like to "
                     "continue anyway?"},
                    Icon::None, true, true));
    EXPECT_EQ(q.buttons, (TextList{"continue", "cancel", "continue"}));
    EXPECT_EQ(s.record(), before);
    expect_step_active(1);

    map_and_continue({3, 4, 5, 6, 2, 8});
    const Handles h = s.record();
    EXPECT_EQ(h.currStep, 2);
    EXPECT_EQ(h.onlyAllow2D, 1);
    EXPECT_EQ(h.HeaderName.Duration, "notAvailable");
    EXPECT_EQ(h.HeaderName.PhraseDuration, "Phrase");
    EXPECT_EQ(s.control("popupmenu_normalize_duration").enable, Enable::Off);
}

// Cells of a measurement column that are neither numbers nor missing: one warning line per column, in
// one dialog, with their count and first five rows; the step goes on and the log keeps the lines.
TEST_F(ColumnMapping, ValuesThatAreNotNumbersAreWarnedOfOncePerColumn) {
    press_load(write("mixed.txt", "Speaker\tVowel\tF1\tF2\tDur\tPhrase\tGroup\n"
                                  "s1\ti\t300\t2300\t100\t1000\tman\ns1\ti\tx\ta\t100\t1000\tman\n"
                                  "s1\ta\tNA\tb\t100\t1000\tman\ns1\ta\tabc\tc\t100\t1000\tman\n"
                                  "s1\ta\t350\td\t100\t1000\tman\ns1\ti\t--\te\t100\t1000\tman\n"
                                  "s1\ti\t\tf\t100\t1000\tman\ns1\tu\t400\tg\tz\t1000\tman\n"));
    map_and_continue({3, 4, 5, 6, 7, 8});
    const TextList lines = {
        "The column \"F1\" chosen for F1 holds 3 values that are not numbers, in rows 2 (\"x\"), 4 (\"abc\"), "
        "6 (\"--\"). They are read as missing.",
        "The column \"F2\" chosen for F2 holds 7 values that are not numbers, in rows 2 (\"a\"), 3 (\"b\"), "
        "4 (\"c\"), 5 (\"d\"), 6 (\"e\") and 2 more. They are read as missing.",
        "The column \"Dur\" chosen for Duration holds 1 value that is not a number, in row 8 (\"z\"). It is "
        "read as missing."};
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    TextList text = lines;
    text.insert(text.begin(), "3 warnings:");
    EXPECT_EQ(shown(s.scripted.dialogs[0]),
              Shown("warning", "Values that are not numbers", text, Icon::Warn, true, false));
    EXPECT_EQ(s.record().currStep, 2);
    EXPECT_NE(std::search(s.log().begin(), s.log().end(), lines.begin(), lines.end()), s.log().end());
}

TEST_F(ColumnMapping, A3DMappingRecordsTheRolesOpensStep2AndFillsItsMenus) {
    map_and_continue({3, 4, 5, 6, 7, 8});
    EXPECT_TRUE(s.scripted.dialogs.empty());
    const Handles h = s.record();
    EXPECT_EQ(h.HeaderName, (HeaderNames{"Speaker", "Vowel", "F1", "F2", "Dur", "Phrase"}));
    EXPECT_EQ(h.onlyAllow2D, 0);
    EXPECT_EQ(h.dataSubject.keys(), (TextList{"s1", "s2"})); // the NULL subject's row is no subject

    const TextList& log = s.log();
    EXPECT_EQ(
        TextList(log.end() - 2, log.end()),
        (TextList{"You successfully specified header names. Value types for all non-numerical values "
                  "have been identified.",
                  "You can view the value types in Step 3, but you need to specify normalization if any "
                  "in Step 2 first."}));
    EXPECT_EQ(s.control("listbox_groupings").value, std::vector<double>{1});

    const TextList spectral = {"(please select)",
                               "Do not normalize - Already normalized",
                               "Apply Z-score (Lobanov) normalization",
                               "Apply Logarithmic (Nearey 1) normalization",
                               "Apply Known Extremes normalization",
                               "Apply Log-mean, shared (Nearey 2) normalization",
                               "Apply Watt-Fabricius normalization",
                               "Apply Bark normalization (no speaker normalization)"};
    EXPECT_EQ(s.control("popupmenu_normalize_spectral1").string, spectral);
    EXPECT_EQ(s.control("popupmenu_normalize_spectral2").string, spectral);
    EXPECT_EQ(s.control("popupmenu_normalize_duration").string,
              (TextList{"(please select)", "Do not normalize - Already normalized",
                        "Apply Z-score normalization", "Apply Phrase Duration normalization"}));
}

} // namespace
} // namespace tarvik::testing
