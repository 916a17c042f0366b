// The overlap buttons and their driver on the headless main window: which pairs run, in what order,
// under one progress dialog, and the refusals.
#include "overlap/driver.h"

#include "support/session.h"
#include "core/format.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

class OverlapDriver : public StartedSession {
  protected:
    // Steps 1 to 3 with three groups, one per vowel, ending in step 4.
    void reach_step_4(bool withDuration) {
        run_steps_1_to_3(s, {.withDuration = withDuration});
        s.scripted.dialogs.clear();
        s.scripted.progress.clear();
    }
    void click(const char* tag, double value) {
        s.fig().set_value(tag, value);
        dispatch_event(s.rt, tag);
    }
    std::vector<std::string> overlap_lines() const {
        std::vector<std::string> out;
        for (const auto& line : s.log())
            if (line.find("VOWEL OVERLAP") != std::string::npos)
                out.push_back(line);
        return out;
    }
};

TEST(OverlapPairs, EveryPairOnceInLexicographicOrder) {
    EXPECT_EQ(all_pairs(3), (std::vector<std::pair<int, int>>{{1, 2}, {1, 3}, {2, 3}}));
    EXPECT_EQ(all_pairs(48).size(), 1128u);
    EXPECT_TRUE(all_pairs(1).empty());
    EXPECT_TRUE(all_pairs(0).empty());
}

TEST_F(OverlapDriver, AllPairsRunInOrderUnderOneProgressDialog) {
    reach_step_4(true);
    click("checkbox_all_group_overlap", 1);
    dispatch_event(s.rt, "button_calculate_2Doverlap");

    const auto lines = overlap_lines();
    ASSERT_EQ(lines.size(), 3u);
    const Handles h = s.record();
    EXPECT_EQ(lines[0].rfind("2D VOWEL OVERLAP of Group <v1> and Group <v2> is: ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("2D VOWEL OVERLAP of Group <v1> and Group <v3> is: ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("2D VOWEL OVERLAP of Group <v2> and Group <v3> is: ", 0), 0u);
    EXPECT_TRUE(h.overlap.count({1, 2}) && h.overlap.count({1, 3}) && h.overlap.count({2, 3}));
    EXPECT_EQ(first_text(s.control("text_2D_overlap")), format_significant(*h.overlap.at({2, 3}).value2D));

    // One dialog, opened first with "One moment... " and closed last.
    std::vector<std::string> kinds, texts;
    for (const auto& p : s.scripted.progress) {
        if (p.kind != "update")
            kinds.push_back(p.kind + " " + p.message.value_or(""));
        else if (p.message)
            texts.push_back(*p.message);
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"create One moment... ", "close "}));
    EXPECT_EQ(texts, (std::vector<std::string>{"One moment, calculating overlap for 1 out of 3 pairs",
                                               "One moment, calculating overlap for 2 out of 3 pairs",
                                               "One moment, calculating overlap for 3 out of 3 pairs"}));
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
    EXPECT_FALSE(h.waitbar.has_value());
}

TEST_F(OverlapDriver, SinglePairIsOrderedSmallerFirstAndAGroupWithItselfOverlapsFully) {
    reach_step_4(true);
    s.fig().set_value("popupmenu_overlap_group_a", 3);
    s.fig().set_value("popupmenu_overlap_group_b", 1);
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    EXPECT_TRUE(s.record().overlap.count({1, 3}));
    EXPECT_FALSE(s.record().overlap.count({3, 1}));
    ASSERT_EQ(overlap_lines().size(), 1u);
    EXPECT_EQ(overlap_lines()[0].rfind("3D VOWEL OVERLAP of Group <v1> and Group <v3> is: ", 0), 0u);

    s.fig().set_value("popupmenu_overlap_group_a", 2);
    s.fig().set_value("popupmenu_overlap_group_b", 2);
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    EXPECT_EQ(s.record().overlap.at({2, 2}).value2D, 1.0);
    EXPECT_EQ(first_text(s.control("text_2D_overlap")), "1");
}

TEST_F(OverlapDriver, TickingAllPairsDisablesTheMenusWithoutChangingThem) {
    reach_step_4(true);
    s.fig().set_value("popupmenu_overlap_group_b", 3);
    click("checkbox_all_group_overlap", 1);
    EXPECT_EQ(s.control("popupmenu_overlap_group_a").enable, Enable::Off);
    EXPECT_EQ(s.control("popupmenu_overlap_group_b").enable, Enable::Off);
    click("checkbox_all_group_overlap", 0);
    EXPECT_EQ(s.control("popupmenu_overlap_group_a").enable, Enable::On);
    EXPECT_EQ(first_value(s.control("popupmenu_overlap_group_b")), 3);
}

TEST_F(OverlapDriver, ThreeDimensionsNeedDurations) {
    reach_step_4(false);
    const Handles before = s.record();
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Option not available");
    EXPECT_EQ(s.scripted.last().text,
              TextList{"This option is not available since there was no duration information specified."});
    EXPECT_TRUE(s.scripted.last().waited);
    EXPECT_TRUE(s.scripted.progress.empty());
    EXPECT_EQ(s.record(), before);

    dispatch_event(s.rt, "button_calculate_2Doverlap");
    EXPECT_EQ(overlap_lines().size(), 1u);
}

TEST_F(OverlapDriver, AFailureOfTheDriverClosesItsProgressDialogAndReportsIt) {
    reach_step_4(true);
    // The busy pointer is the driver's own step right after its progress dialog opens: make it fail.
    const int id = s.fig().subscribe([this](const std::string& tag, Property p) {
        if (tag == Figure::kWindowTag && p == Property::Pointer && s.fig().window().pointer == Pointer::Watch)
            throw std::runtime_error("pointer refused");
    });
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    s.fig().unsubscribe(id);

    ASSERT_EQ(s.scripted.progress.size(), 2u);
    EXPECT_EQ(s.scripted.progress[1].kind, "close");
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(s.scripted.dialogs[0].title, "Let Quillon know: Function: calculate_pairs_for_overlap\"");
    EXPECT_EQ(s.scripted.dialogs[0].text, TextList{"Function Error:\n\n pointer refused"});
    EXPECT_FALSE(s.scripted.dialogs[0].waited);
    EXPECT_EQ(s.scripted.dialogs[1].title, "Contact Quillon");
    EXPECT_EQ(s.scripted.dialogs[1].text,
              TextList{"Function \"calculate_pairs_for_overlap\" in 3D failed to succeed"});
    EXPECT_FALSE(s.scripted.dialogs[1].waited);
    EXPECT_TRUE(overlap_lines().empty());
}

} // namespace
} // namespace tarvik::testing
