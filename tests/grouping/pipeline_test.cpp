// Step 3's Continue on the headless main window: the stages in order under one progress dialog, the
// removal of groups without constraints, stops that keep the earlier groups, and the move to step 4.
#include "grouping/pipeline.h"

#include "support/session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

const std::vector<std::string> k3DTexts = {"One moment... calculating 3D plot axes",
                                           "One moment... calculating 3D rotating variables",
                                           "One moment... calculating 3D ellipsoid data",
                                           "One moment... calculating 2D plot axes",
                                           "One moment... calculating 2D rotating variables",
                                           "One moment... calculating 2D ellipse data",
                                           "One moment... writing to log file"};

// tests/data/wiz_vowels.txt: categories Speaker (s1, s2, NULL), Vowel (i, a, u) and Group (man, woman);
// vowel i has 3 tokens (rows 1, 2, 4), a has 3 (rows 3, 5 and 6, whose Subject is NULL), u one (row 7).
class Pipeline : public StartedSession {
  protected:
    // Loads the file, maps the columns (with or without durations) and normalizes nothing: step 3.
    void reach_step_3(bool withDuration) {
        run_step_1(s, StudySetup{.withDuration = withDuration});
        run_step_2(s);
        ASSERT_EQ(s.record().currStep, 3);
        s.scripted.dialogs.clear();
    }
    // Adds "category : type" to group `group` as a user would: select the group, the category, the type, >>.
    void constrain(double group, double category, double type) {
        s.click("listbox_currVowel_select", group);
        s.click("listbox_groupings", category);
        s.click("listbox_types", type);
        dispatch_event(s.rt, "button_add");
    }
    // Continue, with the progress dialog's texts after its opening; each update moves the bar on by 1/steps.
    std::vector<std::string> go(double steps = 8) {
        s.scripted.progress.clear();
        dispatch_event(s.rt, "button_continue_to_overlap");
        std::vector<std::string> texts;
        for (const auto& p : s.scripted.progress)
            if (p.kind == "update") {
                texts.push_back(p.message.value_or("(none)"));
                EXPECT_EQ(p.fraction, texts.size() / steps);
            }
        return texts;
    }
    // The step reached, and whether step 3's controls are still enabled.
    void expect_step(double step) const {
        EXPECT_EQ(s.record().currStep, step);
        EXPECT_EQ(s.control("button_continue_to_overlap").enable, step == 3 ? Enable::On : Enable::Off);
    }
};

TEST_F(Pipeline, ThreeDimensionalRunFitsEveryGroupAndOpensStep4AndAStopKeepsTheFits) {
    reach_step_3(true);
    constrain(1, 2, 1); // Vowel : i
    constrain(2, 2, 2); // Vowel : a
    EXPECT_EQ(go(), k3DTexts);

    expect_step(4);
    const Handles h = s.record();
    ASSERT_EQ(h.v.size(), 2u);
    EXPECT_EQ(h.v[1]->data.rows, 3u); // rows 3, 5 and 6: a row without subject still matches its vowel
    EXPECT_TRUE(h.v[0]->avg && h.v[0]->ellps3D && h.v[0]->avg2D && h.v[0]->ellps2D);

    // One dialog, opened with the bar at 0 and closed at the end; the pointer is back.
    EXPECT_EQ(s.scripted.progress.front().kind, "create");
    EXPECT_EQ(s.scripted.progress.front().message,
              std::optional<std::string>("One moment... obtaining group data"));
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);

    for (const char* menu :
         {"popupmenu_overlap_group_a", "popupmenu_overlap_group_b", "popupmenu_plot_group_a",
          "popupmenu_plot_group_b", "popupmenu_plot_marker_group"})
        EXPECT_EQ(s.control(menu).string, (TextList{"(change my name)", "(change my name)"})) << menu;
    EXPECT_EQ(first_value(s.control("popupmenu_overlap_group_b")), 2);
    EXPECT_EQ(first_value(s.control("popupmenu_plot_marker_group")), 1);

    const TextList& log = s.log();
    EXPECT_NE(std::find(log.begin(), log.end(), "You have defined 2 VOWEL groups:"), log.end());

    // Back in step 3, a group that selects no token stops the next run; the groups keep the data and
    // fits of this one, also group 1, which would now select rows 1 and 2 only.
    dispatch_event(s.rt, "button_step_3");
    constrain(1, 1, 1); // Vowel : i and Speaker : s1
    constrain(2, 1, 1); // Vowel : a and Speaker : s1 match row 3,
    constrain(2, 3, 2); // but s1 is never in Group woman: no token matches
    s.scripted.dialogs.clear();
    go();
    EXPECT_EQ(s.scripted.dialogs.back().title, "Cannot continue");
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
    expect_step(3);
    EXPECT_EQ(s.record().v[0]->data, h.v[0]->data);
    EXPECT_EQ(s.record().v[0]->ellps3D, h.v[0]->ellps3D);
}

// Groups 1, 3 and 4 have no constraint: No keeps every group in step 3; Yes deletes them and goes on
// with group 2 alone, which then fills the second group menus too. Without durations the run skips the
// 3D stages and writes no 3D field.
TEST_F(Pipeline, GroupsWithoutConstraintsAreKeptOnNoDeletedOnYesAndOneGroupIsEnoughIn2D) {
    reach_step_3(false);
    dispatch_event(s.rt, "button_create_new_vowelNum");
    dispatch_event(s.rt, "button_create_new_vowelNum");
    constrain(2, 2, 1);
    s.scripted.questionAnswers = {"No"};
    EXPECT_TRUE(go().empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_NE(s.scripted.last().text.at(0).find("\n\n[1 3 4]\n\n"), std::string::npos);
    EXPECT_EQ(s.record().v.size(), 4u);
    expect_step(3);

    s.scripted.questionAnswers = {"Yes"};
    EXPECT_EQ(go(5), std::vector<std::string>(k3DTexts.begin() + 3, k3DTexts.end()));
    expect_step(4);
    const Handles h = s.record();
    EXPECT_EQ(h.v[0]->data.cols, 2u);
    EXPECT_FALSE(h.v[0]->avg || h.v[0]->dubstar || h.v[0]->A || h.v[0]->ellps3D);
    EXPECT_TRUE(h.v[0]->avg2D && h.v[0]->A2D);
    EXPECT_EQ(s.control("listbox_currVowel_select").string, TextList{"1 (change my name)"});
    EXPECT_EQ(s.control("popupmenu_plot_group_b").string, TextList{"(change my name)"});
    EXPECT_EQ(first_value(s.control("popupmenu_overlap_group_b")), 1);
}

} // namespace
} // namespace tarvik::testing
