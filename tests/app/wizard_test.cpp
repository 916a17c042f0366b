// The step wizard on the headless main window: the frame highlight and the one way back, from step 4
// to step 3.
#include "app/wizard.h"

#include "support/session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

const Color kFrame{0.863, 0.906, 0.906};
const Color kHighlight{0.992, 0.878, 0.808};

const std::array<TextList, 4> kStepFrames = {
    TextList{"button_step_1", "frame_step_1a"}, TextList{"button_step_2", "frame_step_2a"},
    TextList{"button_step_3", "frame_step_3a"}, TextList{"button_step_4", "frame_step_4a", "frame_step_5b"}};

// The layout's colours of the step frames before the first step change replaces them with the record's.
const Color kLayoutStep = rgb255(220, 231, 231);
const Color kLayoutCurrent = rgb255(253, 224, 206);

class Wizard : public StartedSession {
  protected:
    // Only `step` carries the highlight: its button bold, its button and frames in the highlight colour.
    // The step that had it is back to the record's frame colour; the others keep any frame colour.
    void expect_highlight_on(int step, int previous) const {
        for (int k = 1; k <= 4; ++k) {
            const TextList& tags = kStepFrames[static_cast<std::size_t>(k) - 1];
            for (std::size_t i = 0; i < tags.size(); ++i) {
                SCOPED_TRACE(tags[i]);
                const Control& c = s.control(tags[i]);
                EXPECT_EQ(c.bold, k == step && i == 0);
                if (k == step)
                    EXPECT_EQ(c.background, kHighlight);
                else if (k == previous)
                    EXPECT_EQ(c.background, kFrame);
                else
                    EXPECT_TRUE(c.background == kFrame || c.background == kLayoutStep);
            }
        }
    }

    // The window as it stands in step 4 with two groups: the highlight on step 4, its controls enabled.
    void go_to_step_4() {
        Handles h = s.record();
        h.v.assign(2, VowelGroup{});
        h.v[0].name = "front";
        h.v[0].constraintList = {"Vowel : i"};
        h.v[1].name = "back";
        h.v[1].constraintList = {"Vowel : a", "Group : man"};
        h.totalVowelNum = 2;
        h.currVowelNum = 1;
        h = update_frame_colors(s.rt, h, 4);
        enable_step(s.rt, h, 1, Enable::Off);
        enable_step(s.rt, h, 4, Enable::On);
        s.fig().set_string("listbox_currVowel_select", {"1 stale label"});
        s.fig().set_value("listbox_currVowel_select", 1);
        s.fig().store(h);
        s.scripted.dialogs.clear();
    }
};

// ---- update_frame_colors ------------------------------------------------------------------------

TEST_F(Wizard, StartsWithTheHighlightOnStepOneThenItMovesAndTheRecordIsNotStored) {
    EXPECT_EQ(s.record().currStep, 1);
    for (int k = 1; k <= 4; ++k)
        for (const auto& tag : kStepFrames[static_cast<std::size_t>(k) - 1])
            EXPECT_EQ(s.control(tag).background, k == 1 ? kLayoutCurrent : kLayoutStep) << tag;
    EXPECT_TRUE(s.control("button_step_1").bold);
    EXPECT_FALSE(s.control("frame_step_1a").bold);

    Handles h = update_frame_colors(s.rt, s.record(), 2);
    EXPECT_EQ(h.currStep, 2);
    expect_highlight_on(2, 1);
    EXPECT_EQ(s.record().currStep, 1); // its callers store the record

    // Every tag of step 4 (three of them) takes the highlight, and step 2 gives it up.
    h = update_frame_colors(s.rt, h, 4);
    EXPECT_EQ(h.currStep, 4);
    expect_highlight_on(4, 2);
    // The same step twice stays highlighted.
    h = update_frame_colors(s.rt, update_frame_colors(s.rt, h, 3), 3);
    EXPECT_EQ(h.currStep, 3);
    expect_highlight_on(3, 4);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(Wizard, UnknownStepIsReportedInFormAWithTheNewStepKept) {
    const Handles h = update_frame_colors(s.rt, s.record(), 5);
    EXPECT_EQ(h.currStep, 5);
    failure_report(s.scripted.last(), "Function \"update_frame_colors\"",
                   "Let Quillon know about this error:\n\n ");
}

TEST_F(Wizard, Step3ButtonBeforeStep4WarnsWithoutWaitingAndChangesNothing) {
    const char* const notYet = "Sorry, you have to complete Steps 1 & 2 before proceeding.";
    const struct {
        int step;
        const char* text;
        const char* title;
    } presses[] = {{1, notYet, "Cannot proceed."},
                   {2, notYet, "Cannot proceed."},
                   {3,
                    "You are already at Step 3. Please identify at least 2 vowel groupings then press the "
                    "'Continue' button.",
                    "You are there already."}};
    for (const auto& p : presses) {
        SCOPED_TRACE("step " + std::to_string(p.step));
        s.scripted.dialogs.clear();
        Handles h = s.record();
        h.currStep = p.step;
        s.fig().store(h);
        const std::vector<Control> before = s.fig().objects();

        dispatch_event(s.rt, "button_step_3");

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.dialogs[0];
        EXPECT_EQ(d.kind, "warning");
        EXPECT_EQ(d.text, TextList{p.text});
        EXPECT_EQ(d.title, p.title);
        EXPECT_EQ(d.icon, Icon::Warn);
        EXPECT_TRUE(d.modal);
        EXPECT_FALSE(d.waited);
        EXPECT_EQ(s.record(), h);
        EXPECT_EQ(s.fig().objects(), before);
    }
}

// ---- back from step 4 ---------------------------------------------------------------------------

TEST_F(Wizard, Step3ButtonInStep4GoesBackToStep3) {
    go_to_step_4();
    dispatch_event(s.rt, "button_step_3");

    EXPECT_TRUE(s.scripted.dialogs.empty());
    const Handles h = s.record();
    EXPECT_EQ(h.currStep, 3);
    for (const auto& ref : h.stepObjects[3])
        EXPECT_EQ(s.control(ref.tag).enable, Enable::Off) << ref.tag;
    for (const auto& ref : h.stepObjects[2])
        EXPECT_EQ(s.control(ref.tag).enable, Enable::On) << ref.tag;
    for (const auto& ref : h.stepObjects[0])
        EXPECT_EQ(s.control(ref.tag).enable, Enable::Off) << ref.tag;
    expect_highlight_on(3, 4);

    // The group list is rebuilt and its last group made current; the groups are kept.
    EXPECT_EQ(s.control("listbox_currVowel_select").string, (TextList{"1 front", "2 back"}));
    EXPECT_EQ(s.control("listbox_currVowel_select").value, std::vector<double>{2});
    EXPECT_EQ(h.currVowelNum, 2);
    EXPECT_EQ(h.v.size(), 2u);
    EXPECT_EQ(s.control("edit_currVowel_name").string, TextList{"back"});
    EXPECT_EQ(s.control("listbox_currVowel_defined").string, (TextList{"Vowel : a", "Group : man"}));
}

// button_step_4 shows as enabled but is inactive; the other two have handlers that do nothing.
TEST_F(Wizard, Steps1And2And4ButtonsInStep4ChangeNothing) {
    go_to_step_4();
    const Handles h = s.record();
    const std::vector<Control> before = s.fig().objects();
    for (const char* tag : {"button_step_1", "button_step_2", "button_step_4"})
        dispatch_event(s.rt, tag);
    EXPECT_EQ(s.record(), h);
    EXPECT_EQ(s.fig().objects(), before);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

} // namespace
} // namespace tarvik::testing
