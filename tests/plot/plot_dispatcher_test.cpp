// The plot buttons on the headless main window: refusals, the group list, window numbering, the
// titles, labels and legends of every plot kind, and the warnings of failed plots.
#include "plot/plot_dispatcher.h"

#include "support/plot_session.h"
#include "plot/plot_styles.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

using Labels = std::array<std::string, 3>;

TEST_F(PlotSession, EachKindIsTitledWithItsPrefixAndLabelledFromTheLabelBoxes) {
    reach_step_4({"plot_vowels.txt", true, true});
    choose_groups(true, 1, true, 3);
    const std::pair<int, const char*> titles[] = {
        {1, "Original Data (No rotation): 3D graph title"},
        {1, "Original Data (No rotation): 2D graph title"},
        {2, "Normalized Data:  3D graph title"}, // the prefix's blank and the joining one
        {2, "Normalized Data:  2D graph title"},
        {3, "Best Fit Ellipsoid: (Second Rotation) 3D graph title"},
        {3, "Best Fit Ellipse: (Second Rotation) 2D graph title"},
        {4, "3D Volumes: 3D graph title"},
        {4, "2D Spheres: 2D graph title"},
        {5, "Normalized data 3D overlap:\n(Overlapping data's color is averaged between the two groups) "
            "3D graph title"},
        {5, "Normalized data 2D overlap:\n(Overlapping data's color is averaged between the two groups)\n "
            "2D graph title"}};
    int number = 0;
    for (const auto& [kind, title] : titles) {
        const bool is3D = ++number % 2 == 1;
        SCOPED_TRACE(title);
        plot(kind, is3D ? "3d" : "2d");
        EXPECT_TRUE(s.scripted.dialogs.empty());
        const PlotDescription& d = shown(number);
        EXPECT_EQ(d.axes.title, title);
        EXPECT_EQ(d.axes.labels, is3D ? (Labels{"F2", "Duration", "F1"}) : (Labels{"F2", "F1", ""}));
        EXPECT_EQ(d.axes.is3D, is3D);
        EXPECT_EQ(d.name, "Output");
        EXPECT_EQ(d.buttonDownFcn, "plot_show_mouse_location");
        EXPECT_FALSE(d.axes.legend);
        EXPECT_EQ(plots().window(number).name, "Output");
        EXPECT_EQ(s.record().currentAxes, ControlRef{"plot_axes_" + std::to_string(number)});
    }
}

using PlotButtons = PlotsAtStep4;

TEST_F(PlotButtons, EditedLabelBoxesNameTheNextPlot) {
    s.fig().set_string("edit_plot_title_2D", {"Speaker s1"});
    s.fig().set_string("edit_plot_x_axis_2D", {"F2 (Hz)"});
    s.fig().set_string("edit_plot_y_axis_2D", {"F1 (Hz)"});
    plot(1, "2d");
    EXPECT_EQ(shown(1).axes.title, "Original Data (No rotation): Speaker s1");
    EXPECT_EQ(shown(1).axes.labels, (Labels{"F2 (Hz)", "F1 (Hz)", ""}));
}

TEST_F(PlotButtons, WithoutATickedGroupBoxOnlyTheNoteIsShown) {
    choose_groups(false, 1, false, 2);
    for (const char* dims : {"3d", "2d"})
        plot(1, dims);
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    for (const auto& d : s.scripted.dialogs) {
        EXPECT_EQ(d.title, "Plot checkbox checked?");
        EXPECT_EQ(d.text, TextList{"Make sure you have at least one plot checkbox checked."});
        EXPECT_TRUE(d.waited);
    }
    EXPECT_TRUE(plots().events.empty());
    EXPECT_TRUE(s.record().plotFigure.empty());
}

TEST_F(PlotButtons, AllGroupsOverridesAAndBWhichAreListedInThatOrderEvenWhenBComesFirst) {
    s.fig().set_value("checkbox_show_legend", 1);
    choose_groups(true, 3, true, 1, true);
    EXPECT_EQ(calculate_vowels_to_plot(s.rt, h), std::vector<int>{});
    plot(1, "3d");
    EXPECT_EQ(shown(1).axes.series.size(), 3u);
    EXPECT_EQ(shown(1).axes.legend, (std::vector<std::string>{"v1", "v2", "v3"}));

    choose_groups(false, 3, true, 3);
    EXPECT_EQ(calculate_vowels_to_plot(s.rt, h), std::vector<int>{3});
    choose_groups(true, 3, true, 1);
    EXPECT_EQ(calculate_vowels_to_plot(s.rt, h), (std::vector<int>{3, 1}));
    EXPECT_EQ(verify_plot_checkboxes(s.rt, h), true);
    plot(1, "2d");
    const PlotAxes& axes = shown(2).axes;
    ASSERT_EQ(axes.series.size(), 2u);
    EXPECT_EQ(axes.series[0].color, h.v[2].markerColor);
    EXPECT_EQ(axes.legend, (std::vector<std::string>{"v3", "v1"}));
}

TEST_F(PlotButtons, AnOverlapPlotOfOtherThanTwoGroupsClosesTheNewWindowAndWarnsWithoutWaiting) {
    const std::string twoGroups =
        "Overlap plotting is limited currently to two vowel groups. Make sure to have both 'Group A' and "
        "'Group B' checkboxes selected here in Plot options Also, you will need to have calculated the "
        "overlaps for those same vowel groups in the 'Calculate overlap options' area above.";
    const struct {
        bool a, b, all;
        int groupA, groupB;
        std::string text;
    } cases[] = {
        {true, true, true, 1, 2, twoGroups},
        {true, false, false, 1, 2, twoGroups},
        {true, true, false, 2, 2,
         "You cannot plot the overlap of a group with itself. Make sure 'Group A' is not the same as "
         "'Group B'"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.a << c.b << c.all << c.groupA << c.groupB);
        s.scripted.dialogs.clear();
        plots().events.clear();
        choose_groups(c.a, c.groupA, c.b, c.groupB, c.all);
        plot(5, "2d");
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(d.kind, "warning");
        EXPECT_EQ(d.title, "Cannot plot overlap");
        EXPECT_EQ(d.text, TextList{c.text});
        EXPECT_FALSE(d.modal || d.waited);
        const std::string n = std::to_string(s.record().plotFigure.size());
        EXPECT_EQ(plots().events, (std::vector<std::string>{"open " + n, "close " + n}));
    }
    EXPECT_EQ(s.record().plotFigure.size(), 3u);
}

TEST_F(PlotButtons, AFailedPlotStillUsesUpItsWindowNumber) {
    plot(4, "3d"); // no overlap calculated yet
    EXPECT_FALSE(plots().window(1).open);
    plot(1, "3d");
    EXPECT_TRUE(plots().window(2).open);
    EXPECT_EQ(shown(2).number, 2);
    EXPECT_EQ(s.record().plotFigure, (std::vector<ControlRef>{{"plot_figure_1"}, {"plot_figure_2"}}));
    EXPECT_EQ(s.record().currentAxes, ControlRef{"plot_axes_2"});
}

TEST_F(PlotButtons, TheFiveHundredFirstPlotEarnsANoteTheNextOneNothing) {
    for (int k = 1; k <= 500; ++k)
        h.plotFigure.push_back(ControlRef{"plot_figure_" + std::to_string(k)});
    s.fig().store(h);
    plot(1, "2d");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Just a note");
    EXPECT_EQ(s.scripted.last().text, TextList{"You have plotted over 500 graphs."});
    EXPECT_TRUE(s.scripted.last().waited);
    EXPECT_EQ(plots().events, (std::vector<std::string>{"open 501", "show 501"}));
    plot(1, "2d");
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_TRUE(plots().window(502).shown);
}

TEST_F(PlotButtons, FailedDrawingsWarnWithTheirKindsTexts) {
    // Group 4 does not exist: every drawing of kinds 1 to 3 fails on it.
    s.fig().set_value("popupmenu_plot_group_b", 4);
    const std::pair<int, const char*> kinds[] = {{1, "Failed to plot original data"},
                                                 {2, "Failed to plot normalized data"},
                                                 {3, "Failed to ellipsoid data"}};
    for (const char* dims : {"2d", "3d"})
        for (const auto& [kind, title] : kinds) {
            s.scripted.dialogs.clear();
            plot(kind, dims);
            ASSERT_EQ(s.scripted.dialogs.size(), 2u) << kind << dims;
            EXPECT_EQ(s.scripted.dialogs[1].title, title);
            EXPECT_FALSE(s.scripted.dialogs[1].modal);
        }
    EXPECT_EQ(s.scripted.dialogs[0].title, "Function \"plot_3D_ellipsoid\"");
    EXPECT_EQ(
        s.scripted.dialogs[1].text,
        TextList{"Did you calculate the overlaps for all the groups for which you want to plot volumes? If "
                 "so, make sure that you have selected both 'Group A' and 'Group B' checkboxes selected "
                 "here in 'Plot Options.'"});
    EXPECT_EQ(s.record().plotFigure.size(), 6u);
    EXPECT_EQ(plots().events.size(), 12u); // each window opened and closed
}

TEST_F(PlotSession, WithoutDurationsOnlyTheTwoDimensionalButtonPlots) {
    reach_step_4({"wiz_vowels.txt", false, false});
    plot(1, "3d");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Option not available");
    EXPECT_EQ(s.scripted.last().text,
              TextList{"This option is not available since there was no duration information specified."});
    EXPECT_TRUE(s.scripted.last().waited);
    EXPECT_TRUE(plots().events.empty());
    plot(1, "2d");
    EXPECT_TRUE(plots().window(1).shown);
}

TEST_F(PlotButtons, AMousePressSwitchesThePlotIntoEditing) {
    plot(1, "2d");
    plot_show_mouse_location(s.rt, 1);
    EXPECT_EQ(plots().events.back(), "edit 1");
    EXPECT_TRUE(plots().window(1).editing);
}

TEST_F(PlotButtons, AnUnknownPlotKindIsReportedAndItsWindowClosed) {
    plot(6, "2d");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Function \"plot_now\"");
    EXPECT_EQ(s.scripted.last().text,
              TextList{"Let Quillon know about this error:\n\n Unknown plot kind 6."});
    EXPECT_EQ(plots().events, (std::vector<std::string>{"open 1", "close 1"}));
    EXPECT_EQ(s.record().plotFigure.size(), 1u);
}

TEST_F(PlotButtons, WithoutPlotWindowsThePlotAndTheMouseHandlerReportIt) {
    Services services = s.scripted.services();
    services.plots = nullptr;
    Runtime rt(services);
    rt.set_main_window(s.rt.main_window());
    const Handles h = plot_now(rt, s.record(), "2d", {});
    plot_show_mouse_location(rt, 1);
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(s.scripted.dialogs[0].title, "Function \"plot_now\"");
    EXPECT_EQ(s.scripted.dialogs[1].title, "Let Quillon know: \"plot_show_mouse_location\"");
    EXPECT_EQ(s.scripted.dialogs[0].text,
              TextList{"Let Quillon know about this error:\n\n Plot windows cannot be opened here."});
    EXPECT_TRUE(h.plotFigure.empty());
}

} // namespace
} // namespace tarvik::testing
