// The step wizard on the headless main window: which controls each step enables, the frame highlight, and
// the one way back, from step 4 to step 3.
#include "app/wizard.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace tarvik::testing {
namespace {

const Color kFrame{0.863, 0.906, 0.906};
const Color kHighlight{0.992, 0.878, 0.808};
// The layout's colour of the step frames, until a step change replaces it with the record's.
const Color kLayoutStep = rgb255(220, 231, 231);

const std::array<TextList, 4> kStepFrames = {
    TextList{"button_step_1", "frame_step_1a"}, TextList{"button_step_2", "frame_step_2a"},
    TextList{"button_step_3", "frame_step_3a"}, TextList{"button_step_4", "frame_step_4a", "frame_step_5b"}};

// The controls of each step, which it enables and every other step disables.
const char* const kStepControls[] = {
    "button_load_file popupmenu_header_subject popupmenu_header_vowel popupmenu_header_f1 "
    "popupmenu_header_f2 "
    "popupmenu_header_duration popupmenu_header_phraseduration button_continue_to_normalize",
    "popupmenu_normalize_spectral1 popupmenu_normalize_spectral2 popupmenu_normalize_duration "
    "button_continue_to_grouping listbox_groupings listbox_types",
    "button_add button_add_to_all button_del listbox_currVowel_select button_create_new_vowelNum "
    "button_currVowel_delete listbox_currVowel_defined edit_currVowel_name button_continue_to_overlap "
    "listbox_groupings listbox_types",
    "popupmenu_overlap_group_a popupmenu_overlap_group_b button_calculate_2Doverlap "
    "button_calculate_3Doverlap "
    "checkbox_all_group_overlap popupmenu_plotSelection button_3d_plot button_2d_plot popupmenu_plot_group_a "
    "popupmenu_plot_group_b checkbox_plot_group_a checkbox_plot_group_b checkbox_plot_group_all "
    "edit_plot_title edit_plot_x_axis edit_plot_y_axis edit_plot_z_axis edit_plot_title_2D "
    "edit_plot_x_axis_2D "
    "edit_plot_y_axis_2D checkbox_show_legend popupmenu_plot_marker_group popupmenu_plot_marker_color "
    "popupmenu_plot_marker_type popupmenu_plot_marker_line"};

std::set<std::string> words(const std::string& text) {
    std::set<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        out.insert(w);
    return out;
}

// Of the controls of all steps exactly `enabled` are enabled.
void expect_enabled(const Session& s, const std::string& enabled) {
    const std::set<std::string> on = words(enabled);
    for (const char* controls : kStepControls)
        for (const auto& tag : words(controls))
            EXPECT_EQ(s.control(tag).enable, on.count(tag) ? Enable::On : Enable::Off) << tag;
}

// Only `step` carries the highlight: its button bold, its button and frames in the highlight colour; the
// others are in a frame colour.
void expect_step(const Session& s, int step, const std::string& enabled) {
    EXPECT_EQ(s.record().currStep, step);
    for (int k = 1; k <= 4; ++k) {
        const TextList& tags = kStepFrames[static_cast<std::size_t>(k) - 1];
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const Control& c = s.control(tags[i]);
            EXPECT_EQ(c.bold, k == step && i == 0) << tags[i];
            if (k == step)
                EXPECT_EQ(c.background, kHighlight) << tags[i];
            else
                EXPECT_TRUE(c.background == kFrame || c.background == kLayoutStep) << tags[i];
        }
    }
    expect_enabled(s, enabled);
}

using Wizard = StartedSession;

TEST_F(Wizard, EachStepHighlightsItsFramesAndEnablesOnlyItsControlsAndStep3LeadsBackFrom4) {
    EXPECT_TRUE(s.control("button_step_1").bold);
    expect_enabled(s, "button_load_file");
    run_step_1(s);
    expect_step(s, 2, kStepControls[1]);
    run_step_2(s);
    expect_step(s, 3, kStepControls[2]);

    Session t; // a study taken to step 4 with three groups
    t.start();
    run_steps_1_to_3(t);
    expect_step(t, 4, kStepControls[3]);
    // The buttons of steps 1 and 2 do nothing; that of step 4 is inactive.
    const Handles inStep4 = t.record();
    const std::vector<Control> before = t.fig().objects();
    for (const char* tag : {"button_step_1", "button_step_2", "button_step_4"})
        dispatch_event(t.rt, tag);
    EXPECT_EQ(t.record(), inStep4);
    EXPECT_EQ(t.fig().objects(), before);

    // Back to step 3: the groups are kept, the group list is rebuilt and its last group made current.
    t.fig().set_string("listbox_currVowel_select", {"1 stale label"});
    t.fig().set_value("listbox_currVowel_select", 1);
    t.scripted.dialogs.clear();
    dispatch_event(t.rt, "button_step_3");
    EXPECT_TRUE(t.scripted.dialogs.empty());
    expect_step(t, 3, kStepControls[2]);
    EXPECT_EQ(t.record().v.size(), 3u);
    EXPECT_EQ(t.record().currVowelNum, 3);
    EXPECT_EQ(t.control("listbox_currVowel_select").string, (TextList{"1 v1", "2 v2", "3 v3"}));
    EXPECT_EQ(t.control("listbox_currVowel_select").value, std::vector<double>{3});
    EXPECT_EQ(t.control("edit_currVowel_name").string, TextList{"v3"});
    EXPECT_EQ(t.control("listbox_currVowel_defined").string, t.record().v[2]->constraintList);
    EXPECT_FALSE(t.record().v[2]->constraintList.empty());
}

TEST_F(Wizard, UpdateFrameColorsMovesTheHighlightReturnsTheRecordAndWarnsOfAnUnknownStep) {
    Handles h = update_frame_colors(s.rt, s.record(), 4);
    EXPECT_EQ(h.currStep, 4);
    EXPECT_EQ(s.record().currStep, 1); // its callers store the record
    s.fig().store(h);
    expect_step(s, 4, "button_load_file");
    // The same step twice stays highlighted.
    s.fig().store(update_frame_colors(s.rt, update_frame_colors(s.rt, h, 2), 2));
    expect_step(s, 2, "button_load_file");
    EXPECT_TRUE(s.scripted.dialogs.empty());

    EXPECT_EQ(update_frame_colors(s.rt, s.record(), 5).currStep, 5);
    failure_report(s.scripted.last(), "Function \"update_frame_colors\"",
                   "Let Quillon know about this error:\n\n ");
}

TEST_F(Wizard, Step3ButtonBeforeStep4WarnsWithoutWaitingAndChangesNothing) {
    const char* const notYet = "Sorry, you have to complete Steps 1 & 2 before proceeding.";
    const char* const there = "You are already at Step 3. Please identify at least 2 vowel groupings then "
                              "press the 'Continue' button.";
    const std::tuple<int, const char*, const char*> presses[] = {
        {1, notYet, "Cannot proceed."}, {2, notYet, "Cannot proceed."}, {3, there, "You are there already."}};
    for (const auto& [step, text, title] : presses) {
        SCOPED_TRACE("step " + std::to_string(step));
        s.scripted.dialogs.clear();
        Handles h = s.record();
        h.currStep = step;
        s.fig().store(h);
        const std::vector<Control> before = s.fig().objects();

        dispatch_event(s.rt, "button_step_3");

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        expect_dialog(s.scripted.last(), "warning", title, {text}, Icon::Warn, false);
        EXPECT_TRUE(s.scripted.last().modal);
        EXPECT_EQ(s.record(), h);
        EXPECT_EQ(s.fig().objects(), before);
    }
}

} // namespace
} // namespace tarvik::testing
