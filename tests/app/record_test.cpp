// The session record as the opening function leaves it, and the defaults of new vowel groups.
#include "app/record.h"
#include "support/session.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarvik::testing {
namespace {

const Color kRed{1, 0, 0}, kGreen{0, 1, 0}, kBlue{0, 0, 1}, kCyan{0, 1, 1}, kMagenta{1, 0, 1},
    kYellow{1, 1, 0}, kBlack{0, 0, 0};

TextList tags_of(const std::vector<ControlRef>& refs) {
    TextList out;
    for (const auto& r : refs)
        out.push_back(r.tag);
    return out;
}

// The words of a text, split at blanks.
TextList words(const std::string& text) {
    TextList out;
    std::istringstream in(text);
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

using RecordAtStart = StartedSession;

TEST_F(RecordAtStart, HoldsTwoDefaultGroupsAndTheTuningValues) {
    const Handles h = s.record();
    ASSERT_EQ(h.v.size(), 2u);
    EXPECT_EQ(h.currVowelNum, 1);
    EXPECT_EQ(h.totalVowelNum, 2);
    EXPECT_EQ(h.currStep, 1);
    EXPECT_TRUE(h.overlap.empty());
    EXPECT_EQ(h.stdmult, 2);
    EXPECT_EQ(h.overlapResolution, (OverlapResolution{20, 20, 20}));
    EXPECT_EQ(h.onlyAllow2D, 0);
    EXPECT_EQ(h.axes3D, Axes3D{});
    EXPECT_EQ(h.axes3DOriginal, Axes3D{});

    for (const VowelGroup& g : h.v) // their names and styles: NewGroupsFollowTheColourRuleAndTheStyleQueues
        EXPECT_TRUE(g.constraintList.empty() && g.constraints.empty() && g.data.empty());
    EXPECT_EQ(h.vowelColor, (std::vector<Color>{kRed, kGreen, kBlue, kCyan, kMagenta, kYellow, kBlack}));
    // The two groups made at start-up each took one character off the front of both queues.
    EXPECT_EQ(h.vowelLineStyle, "-:-.--");
    EXPECT_EQ(h.vowelMarkerType, "o*.s^x+");
}

TEST_F(RecordAtStart, DataFieldsAreEmptyAndLateFieldsAbsent) {
    const Handles h = s.record();
    EXPECT_EQ(h.HeaderName, HeaderNames{}); // every role still unset, not an empty text
    EXPECT_TRUE(h.header.empty() && h.dataRow.empty() && h.dataColumn.empty() && h.dataSubject.empty() &&
                h.dataNormalizedColumn.empty() && h.groups.empty() && h.groupsNumeric.empty() &&
                h.subgroup.empty() && h.plotFigure.empty());
    EXPECT_FALSE(h.axes2D || h.axes2DOriginal || h.currentAxes || h.currentSelectedGroup ||
                 h.currentSelectedType || h.waitbar || h.dataLine);
}

TEST_F(RecordAtStart, StepListsFramesAndColours) {
    const Handles h = s.record();
    EXPECT_EQ(tags_of(h.stepObjects[0]),
              words("button_load_file popupmenu_header_subject popupmenu_header_vowel popupmenu_header_f1 "
                    "popupmenu_header_f2 popupmenu_header_duration popupmenu_header_phraseduration "
                    "button_continue_to_normalize"));
    EXPECT_EQ(
        tags_of(h.stepObjects[1]),
        words("popupmenu_normalize_spectral1 popupmenu_normalize_spectral2 popupmenu_normalize_duration "
              "button_continue_to_grouping listbox_groupings listbox_types"));
    EXPECT_EQ(tags_of(h.stepObjects[2]),
              words("button_add button_add_to_all button_del listbox_currVowel_select "
                    "button_create_new_vowelNum button_currVowel_delete listbox_currVowel_defined "
                    "edit_currVowel_name button_continue_to_overlap listbox_groupings listbox_types"));
    EXPECT_EQ(tags_of(h.stepObjects[3]),
              words("popupmenu_overlap_group_a popupmenu_overlap_group_b button_calculate_2Doverlap "
                    "button_calculate_3Doverlap checkbox_all_group_overlap popupmenu_plotSelection "
                    "button_3d_plot button_2d_plot popupmenu_plot_group_a popupmenu_plot_group_b "
                    "checkbox_plot_group_a checkbox_plot_group_b checkbox_plot_group_all edit_plot_title "
                    "edit_plot_x_axis edit_plot_y_axis edit_plot_z_axis edit_plot_title_2D "
                    "edit_plot_x_axis_2D edit_plot_y_axis_2D checkbox_show_legend "
                    "popupmenu_plot_marker_group popupmenu_plot_marker_color popupmenu_plot_marker_type "
                    "popupmenu_plot_marker_line"));
    EXPECT_EQ(h.stepFrames,
              (std::array<TextList, 4>{TextList{"button_step_1", "frame_step_1a"},
                                       TextList{"button_step_2", "frame_step_2a"},
                                       TextList{"button_step_3", "frame_step_3a"},
                                       TextList{"button_step_4", "frame_step_4a", "frame_step_5b"}}));
    // Every tag the step lists name is a control of the window.
    for (const auto& step : h.stepObjects)
        for (const auto& ref : step)
            EXPECT_TRUE(s.fig().has(ref.tag)) << ref.tag;
    for (const auto& frames : h.stepFrames)
        for (const auto& tag : frames)
            EXPECT_TRUE(s.fig().has(tag)) << tag;

    EXPECT_EQ(h.frameColor, (Color{0.863, 0.906, 0.906}));
    EXPECT_EQ(h.frameColorHighlight, (Color{0.992, 0.878, 0.808}));
}

TEST_F(RecordAtStart, RefersToEveryObjectOfTheWindowAndToItsOutputAndHoldsTheWebSettings) {
    const Handles h = s.record();
    ASSERT_TRUE(h.output.has_value());
    EXPECT_EQ(h.output->tag, "figure1");

    EXPECT_EQ(h.objects.size(), s.fig().objects().size() + 1);
    ASSERT_NE(h.objects.find("figure1"), nullptr);
    for (const auto& c : s.fig().objects()) {
        const ControlRef* ref = h.objects.find(c.tag);
        ASSERT_NE(ref, nullptr) << c.tag;
        EXPECT_EQ(ref->tag, c.tag);
    }
    EXPECT_EQ(h.web.homepage.rfind("http://", 0), 0u) << h.web.homepage;
    EXPECT_EQ(h.web.homepage.back(), '/');
    EXPECT_EQ(h.web.extension, ".php");
    EXPECT_EQ(h.web.isWorking, 1);
}

TEST_F(RecordAtStart, MarkerStyleMenusAreFilled) {
    EXPECT_EQ(s.control("popupmenu_plot_marker_color").string,
              (TextList{"red", "green", "blue", "cyan", "magenta", "yellow", "black"}));
    EXPECT_EQ(s.control("popupmenu_plot_marker_line").string, (TextList{"-", "--", ":", "-."}));
    EXPECT_EQ(s.control("popupmenu_plot_marker_type").string,
              (TextList{"x", "+", "o", "*", ".", "s", "^", "v", ">", "<"}));
}

// Colour index n mod 8 with 0 read as 1; line styles repeat every 6 groups, markers every 7.
TEST_F(RecordAtStart, NewGroupsFollowTheColourRuleAndTheStyleQueues) {
    const struct {
        double colorIndex;
        Color color;
        const char* line;
        const char* marker;
    } groups[] = {{1, kRed, "-", "x"},   {2, kGreen, "-", "+"},   {3, kBlue, "-", "o"},
                  {4, kCyan, ":", "*"},  {5, kMagenta, "-", "."}, {6, kYellow, ".", "s"},
                  {7, kBlack, "-", "^"}, {1, kRed, "-", "x"},     {1, kRed, "-", "+"},
                  {2, kGreen, ":", "o"}};
    Handles h = s.record();
    while (h.v.size() < std::size(groups))
        h = create_newVowel(s.rt, h);
    // create_newVowel keeps the window's record up to date itself.
    EXPECT_EQ(s.record(), h);
    for (std::size_t i = 0; i < std::size(groups); ++i) {
        SCOPED_TRACE("group " + std::to_string(i + 1));
        EXPECT_EQ(h.v[i].markerColorIndex, groups[i].colorIndex);
        EXPECT_EQ(h.v[i].markerColor, groups[i].color);
        EXPECT_EQ(h.v[i].markerLine, groups[i].line);
        EXPECT_EQ(h.v[i].markerType, groups[i].marker);
        EXPECT_EQ(h.v[i].name, "(change my name)");
    }
}

TEST_F(RecordAtStart, NewGroupStylesComeFromTheQueuesNotFromTheGroupNumber) {
    Handles h = s.record();
    h.v.pop_back(); // a deleted group does not give its styles back
    h = create_newVowel(s.rt, h);
    ASSERT_EQ(h.v.size(), 2u);
    EXPECT_EQ(h.v[1].markerColorIndex, 2);
    EXPECT_EQ(h.v[1].markerLine, "-");
    EXPECT_EQ(h.v[1].markerType, "o");
    EXPECT_EQ(h.vowelMarkerType, "*.s^x+o");
}

} // namespace
} // namespace tarvik::testing
