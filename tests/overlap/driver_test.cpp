// The overlap buttons and the overlap step on the headless main window: which pairs run, in what order,
// under one progress dialog, Cancel, the refusals, and the step's request.
#include "overlap/driver.h"

#include "app/log.h"
#include "session/session_file.h"
#include "core/format.h"
#include "overlap/overlap_step.h"
#include "support/session.h"

#include <gtest/gtest.h>
#include <regex>
#include <nlohmann/json.hpp>

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
    std::vector<std::string> overlap_lines() const {
        std::vector<std::string> out;
        for (const auto& line : s.log())
            if (line.find("VOWEL OVERLAP") != std::string::npos)
                out.push_back(line.substr(0, line.find(" is: ")));
        return out;
    }
};

// Cancel part way through a run leaves the record and the result shown as they were before the run (the
// earlier results kept, missing values included), with one line in the log that says so.
TEST_F(OverlapDriver, ACancelledRunKeepsTheEarlierResults) {
    reach_step_4(true);
    s.click("checkbox_all_group_overlap", 1);
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    const auto record = [&] { return nlohmann::ordered_json::parse(session_to_text(s.fig(), s.record())).at("record"); };
    const auto before = record();
    TextList log = s.log();
    const TextList shown = s.control("text_2D_overlap").string;
    Handles coarser = s.record(); // so that the pairs the run reaches get other results
    coarser.overlapResolution = {5, 5, 5};
    s.rt.store(coarser);
    s.scripted.cancelAfterUpdates = 14; // during the second of three pairs, seen before the third
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    for (const char* field : {"overlap", "v"})
        EXPECT_EQ(record().at(field), before.at(field)) << field;
    EXPECT_EQ(s.control("text_2D_overlap").string, shown);
    log.insert(log.end(), {"", "", "2D overlap cancelled after 2 of 3 pairs: the results of before the run are kept."});
    EXPECT_EQ(s.log(), log);
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
}

// Cancel within the grid walk of a single pair: the whole session (window, record, log but its one line)
// stays as it was.
TEST_F(OverlapDriver, ACancelledPairLeavesTheSessionAsItWas) {
    reach_step_4(true);
    s.fig().set_value("popupmenu_overlap_group_b", 2);
    const std::string before = session_to_text(s.fig(), s.record());
    const std::size_t logSize = s.log().size();
    s.scripted.cancelAfterUpdates = 2; // at the first column of the walk, seen at the second
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    EXPECT_EQ(s.log().back(), "3D overlap cancelled after 0 of 1 pairs: the results of before the run are kept.");
    EXPECT_EQ(s.scripted.progress.back().kind, "close");
    cut_log(s.rt, logSize);
    EXPECT_EQ(session_to_text(s.fig(), s.record()), before);
}

// Cancel stops every thread of a run whose pairs they share: however far they got, the session but its
// log line stays as it was.
TEST_F(OverlapDriver, ACancelStopsEveryThreadOfTheRun) {
    reach_step_4(true);
    s.click("checkbox_all_group_overlap", 1);
    const std::string before = session_to_text(s.fig(), s.record());
    const std::size_t logSize = s.log().size();
    s.scripted.cancelAfterUpdates = 3; // within the calling thread's first pair
    calculate_overlap(s.rt, {.threeD = true, .pair = std::nullopt, .resolution = std::nullopt, .threads = 4});
    const std::regex cancelled(R"(3D overlap cancelled after [0-2] of 3 pairs: the results of before the run are kept\.)");
    EXPECT_TRUE(std::regex_match(s.log().back(), cancelled)) << s.log().back();
    cut_log(s.rt, logSize);
    EXPECT_EQ(session_to_text(s.fig(), s.record()), before);
}

// The request of a run: the same after JSON and back, one line of text; a JSON that is no request is
// refused.
TEST(OverlapRequest, ReadsBackWhatItWritesAndSaysItInOneLine) {
    const struct {
        OverlapRequest r;
        std::string json, text;
    } cases[] = {{{.threeD = false, .pair = std::nullopt, .resolution = std::nullopt}, R"({"dimension":"2D","pair":null})",
                  "2D overlap of every pair"},
                 {{.threeD = true, .pair = std::pair{3, 1}, .resolution = std::nullopt}, R"({"dimension":"3D","pair":[3,1]})",
                  "3D overlap of groups 3 and 1"},
                 {{.threeD = true, .pair = std::nullopt, .resolution = OverlapResolution{20, 10, 5}},
                  R"({"dimension":"3D","pair":null,"resolution":[20.0,10.0,5.0]})", "3D overlap of every pair"},
                 {{.threeD = false, .pair = std::nullopt, .resolution = std::nullopt, .threads = 3},
                  R"({"dimension":"2D","pair":null,"threads":3})", "2D overlap of every pair"}};
    for (const auto& c : cases) {
        const nlohmann::json j = c.r;
        EXPECT_EQ(j.dump(), c.json);
        EXPECT_EQ(j.get<OverlapRequest>(), c.r);
        EXPECT_EQ(::testing::PrintToString(c.r), c.text);
    }
    EXPECT_NE(cases[0].r, cases[1].r);
    for (const char* bad : {R"({"dimension":"4D","pair":null})", R"({"dimension":"2D","pair":[1]})", "[2, 1]",
                            R"({"dimension":"2D","pair":null,"threads":-1})"})
        EXPECT_THROW(nlohmann::json::parse(bad).get<OverlapRequest>(), std::invalid_argument) << bad;
}

// Ticking the box disables the menus without changing them, and every pair runs in order under one
// progress dialog; unticked, the pair of the menus runs, smaller index first, and a group with itself
// overlaps fully.
TEST_F(OverlapDriver, AllPairsOrThePairOfTheMenus) {
    reach_step_4(true);
    s.fig().set_value("popupmenu_overlap_group_a", 3);
    s.fig().set_value("popupmenu_overlap_group_b", 1);
    s.click("checkbox_all_group_overlap", 1);
    EXPECT_EQ(s.control("popupmenu_overlap_group_a").enable, Enable::Off);
    EXPECT_EQ(s.control("popupmenu_overlap_group_b").enable, Enable::Off);
    dispatch_event(s.rt, "button_calculate_2Doverlap");

    EXPECT_EQ(overlap_lines(), (std::vector<std::string>{"2D VOWEL OVERLAP of Group <v1> and Group <v2>",
                                                         "2D VOWEL OVERLAP of Group <v1> and Group <v3>",
                                                         "2D VOWEL OVERLAP of Group <v2> and Group <v3>"}));
    const Handles h = s.record();
    EXPECT_EQ(first_text(s.control("text_2D_overlap")), format_significant(*h.overlap.at({2, 3}).value2D));
    const auto& events = s.scripted.progress;
    ASSERT_EQ(events.size(), 3 * 22u + 2);
    EXPECT_EQ(events.front().kind + " " + *events.front().message, "create One moment... ");
    EXPECT_EQ(events.back().kind, "close");
    const char* const names[] = {"v1 and v2", "v1 and v3", "v2 and v3"};
    for (int k = 0; k < 3; ++k) { // each pair's text at the start of its third of the bar, then 21 columns
        EXPECT_EQ(events[1 + 22 * k].message, "Pair " + std::to_string(k + 1) + " of 3: " + names[k]);
        EXPECT_DOUBLE_EQ(events[1 + 22 * k].fraction, k / 3.0);
    }
    EXPECT_EQ(s.fig().window().pointer, Pointer::Arrow);
    EXPECT_FALSE(h.waitbar.has_value());

    s.click("checkbox_all_group_overlap", 0);
    EXPECT_EQ(s.control("popupmenu_overlap_group_a").enable, Enable::On);
    EXPECT_EQ(first_value(s.control("popupmenu_overlap_group_a")), 3);
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    EXPECT_EQ(overlap_lines().back(), "3D VOWEL OVERLAP of Group <v1> and Group <v3>");
    EXPECT_TRUE(s.record().overlap.at({1, 3}).value.has_value());

    s.fig().set_value("popupmenu_overlap_group_a", 2);
    s.fig().set_value("popupmenu_overlap_group_b", 2);
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    EXPECT_EQ(s.record().overlap.at({2, 2}).value2D, 1.0);
    EXPECT_EQ(first_text(s.control("text_2D_overlap")), "1");
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
    EXPECT_EQ(failure_report(s.scripted.dialogs[0],
                             "Let Quillon know: Function: calculate_pairs_for_overlap\"",
                             "Function Error:\n\n ", false),
              "pointer refused");
    EXPECT_EQ(s.scripted.dialogs[1].title, "Contact Quillon");
    EXPECT_EQ(s.scripted.dialogs[1].text,
              TextList{"Function \"calculate_pairs_for_overlap\" in 3D failed to succeed"});
    EXPECT_FALSE(s.scripted.dialogs[1].waited);
    EXPECT_TRUE(overlap_lines().empty());
}

} // namespace
} // namespace tarvik::testing
