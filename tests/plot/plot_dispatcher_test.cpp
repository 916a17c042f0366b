// The plot buttons on the headless main window: the titles and labels of every plot kind, the group
// list and legend, window numbering, and the notes, refusals and warnings a user sees.
#include "plot/plot_dispatcher.h"

#include "plot/plot_styles.h"
#include "support/plot_session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

using Labels = std::array<std::string, 3>;

TEST_F(PlotSession, EachKindIsTitledWithItsPrefixAndLabelledFromTheLabelBoxes) {
    reach_step_4({"plot_vowels.txt", true, true});
    choose_groups(true, 1, true, 3);
    // Kinds 1 to 5, each in 3D and then in 2D.
    const char* const titles[] = {
        "Original Data (No rotation): 3D graph title",
        "Original Data (No rotation): 2D graph title",
        "Normalized Data:  3D graph title", // the prefix's blank and the joining one
        "Normalized Data:  2D graph title",
        "Best Fit Ellipsoid: (Second Rotation) 3D graph title",
        "Best Fit Ellipse: (Second Rotation) 2D graph title",
        "3D Volumes: 3D graph title",
        "2D Spheres: 2D graph title",
        "Normalized data 3D overlap:\n(Overlapping data's color is averaged between the two groups) 3D graph "
        "title",
        "Normalized data 2D overlap:\n(Overlapping data's color is averaged between the two groups)\n 2D "
        "graph "
        "title"};
    for (int number = 1; number <= 10; ++number) {
        const bool is3D = number % 2 == 1;
        SCOPED_TRACE(titles[number - 1]);
        plot((number + 1) / 2, is3D ? "3d" : "2d");
        const PlotDescription& d = shown(number);
        EXPECT_EQ(d.axes.title, titles[number - 1]);
        EXPECT_EQ(d.axes.labels, is3D ? (Labels{"F2", "Duration", "F1"}) : (Labels{"F2", "F1", ""}));
        EXPECT_EQ(d.axes.is3D, is3D);
        EXPECT_FALSE(d.axes.legend);
        EXPECT_EQ(d.name, "Output");
        EXPECT_EQ(d.buttonDownFcn, "plot_show_mouse_location");
        EXPECT_EQ(s.record().currentAxes, ControlRef{"plot_axes_" + std::to_string(number)});
    }
    EXPECT_TRUE(s.scripted.dialogs.empty());
    plot_show_mouse_location(s.rt, 10); // a mouse press switches the plot into editing
    EXPECT_TRUE(plots().window(10).editing);
}

// The last dialog is the message box `title` with `text`, waited for.
void expect_note(const Session& s, const char* title, const char* text) {
    ASSERT_FALSE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.scripted.last().title, title);
    EXPECT_EQ(s.scripted.last().text, TextList{text});
    EXPECT_TRUE(s.scripted.last().waited);
}

using PlotButtons = PlotsAtStep4;

TEST_F(PlotButtons, WithoutATickedGroupBoxOnlyTheNoteIsShown) {
    choose_groups(false, 1, false, 2);
    plot(1, "2d");
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    expect_note(s, "Plot checkbox checked?", "Make sure you have at least one plot checkbox checked.");
    EXPECT_TRUE(plots().events.empty());
    EXPECT_TRUE(s.record().plotFigure.empty());
}

TEST_F(PlotButtons, AAndBAreDrawnAndNamedInThatOrderAndAllGroupsOverridesThem) {
    s.fig().set_value("checkbox_show_legend", 1);
    choose_groups(true, 3, true, 1);
    plot(1, "2d");
    ASSERT_EQ(shown(1).axes.series.size(), 2u);
    EXPECT_EQ(shown(1).axes.series[0].color, h.v[2].markerColor);
    EXPECT_EQ(shown(1).axes.legend, (std::vector<std::string>{"v3", "v1"}));

    choose_groups(true, 3, true, 1, true);
    plot(1, "3d");
    EXPECT_EQ(shown(2).axes.legend, (std::vector<std::string>{"v1", "v2", "v3"}));
    choose_groups(false, 3, true, 2);
    EXPECT_EQ(calculate_vowels_to_plot(s.rt, h), std::vector<int>{2});
}

TEST_F(PlotButtons, AnOverlapPlotOfOtherThanTwoGroupsClosesItsWindowAndWarns) {
    const std::string twoGroups =
        "Overlap plotting is limited currently to two vowel groups. Make sure to have both 'Group A' and "
        "'Group B' checkboxes selected here in Plot options Also, you will need to have calculated the "
        "overlaps for those same vowel groups in the 'Calculate overlap options' area above.";
    const std::string sameGroup =
        "You cannot plot the overlap of a group with itself. Make sure 'Group A' is "
        "not the same as 'Group B'";
    // A and B ticked, B's group, "All groups" ticked; the warning
    const std::tuple<bool, bool, int, bool, std::string> cases[] = {{true, true, 2, true, twoGroups},
                                                                    {true, false, 2, false, twoGroups},
                                                                    {true, true, 1, false, sameGroup}};
    int number = 0;
    for (const auto& [a, b, groupB, all, text] : cases) {
        SCOPED_TRACE(text);
        choose_groups(a, 1, b, groupB, all);
        plot(5, "2d");
        ++number;
        EXPECT_EQ(s.scripted.last().kind, "warning");
        EXPECT_EQ(s.scripted.last().title, "Cannot plot overlap");
        EXPECT_EQ(s.scripted.last().text, TextList{text});
        EXPECT_FALSE(s.scripted.last().modal || s.scripted.last().waited);
        EXPECT_FALSE(plots().window(number).open);
    }
    EXPECT_EQ(s.scripted.dialogs.size(), 3u);
}

// Group 4 does not exist and no overlap has been calculated: every kind fails in both dimensions, with the
// drawing's own report and then the kind's warning, and the window is closed but its number used up.
TEST_F(PlotButtons, AFailedDrawingIsReportedAndWarnedAboutAndUsesUpItsWindowNumber) {
    const std::string original = "There was an error attempting to plot the original vowel data. Make sure "
                                 "you have data for the group(s) you are trying to plot.";
    const std::string overlap = "Did you calculate the overlaps for the two groups for which you want to "
                                "plot the overlap? If so, make "
                                "sure that you have selected both 'Group A' and 'Group B' checkboxes "
                                "selected here in 'Plot Options.'";
    const struct {
        int kind;
        const char *dims, *report, *title;
        std::string text;
    } cases[] = {
        {1, "3d", "Function \"plot_original_data\"", "Failed to plot original data", original},
        {2, "2d", "Let Quillon know: Function \"plot_normalized_data\"", "Failed to plot normalized data",
         original},
        {3, "3d", "Function \"plot_3D_ellipsoid\"", "Failed to ellipsoid data",
         "Did you calculate the overlaps for all the groups for which you want to plot volumes? If so, make "
         "sure that you have selected both 'Group A' and 'Group B' checkboxes selected here in 'Plot "
         "Options.'"},
        {3, "2d", "Function \"plot_2D_ellipses\"", "Failed to ellipsoid data",
         "Did you calculate the overlaps for all the groups for which you want to plot ellipses? If so, make "
         "sure that you have selected both 'Group A' and 'Group B' checkboxes selected here in 'Plot "
         "Options.'"},
        {4, "3d", "Function \"plot_3D_volumes\"", "Failed to plot volumes",
         "Make sure to have both the Plot Options 'Group A' and 'Group B' checkboxes selected. Also, did you "
         "calculate the 3D overlaps for the groups for which you want to plot volumes?"},
        {4, "2d", "Function \"plot_2D_spheres\"", "Failed to plot spheres",
         "Make sure to have both the Plot Options 'Group A' and 'Group B' checkboxes selected. Also, did you "
         "calculate the 2D overlaps for the groups for which you want to plot spheres?"},
        {5, "3d", "Function \"plot_3D_vowels_overlap\"", "Failed to plot 3D overlap", overlap},
        {5, "2d", "Function \"plot_2D_vowels_overlap\"", "Failed to plot 2D overlap", overlap}};
    choose_groups(true, 1, true, 4);
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        s.scripted.dialogs.clear();
        plot(c.kind, c.dims);
        ++number;
        ASSERT_EQ(s.scripted.dialogs.size(), 2u);
        failure_report(s.scripted.dialogs[0], c.report,
                       c.kind == 2 ? "Error:\n\n " : "Let Quillon know about this error:\n\n ");
        EXPECT_EQ(s.scripted.last().kind, "warning");
        EXPECT_EQ(s.scripted.last().title, c.title);
        EXPECT_EQ(s.scripted.last().text, TextList{c.text});
        EXPECT_FALSE(s.scripted.last().modal || s.scripted.last().waited);
        EXPECT_FALSE(plots().window(number).open);
    }
    EXPECT_EQ(s.record().plotFigure.size(), 8u);
    choose_groups(true, 1, false, 4);
    plot(1, "2d");
    EXPECT_EQ(shown(9).number, 9);
}

TEST_F(PlotButtons, TheFiveHundredFirstPlotEarnsANoteTheNextOneNothing) {
    for (int k = 1; k <= 500; ++k)
        h.plotFigure.push_back(ControlRef{"plot_figure_" + std::to_string(k)});
    s.fig().store(h);
    plot(1, "2d");
    expect_note(s, "Just a note", "You have plotted over 500 graphs.");
    EXPECT_EQ(plots().events, (std::vector<std::string>{"open 501", "show 501"}));
    plot(1, "2d");
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_TRUE(plots().window(502).shown);
}

TEST_F(PlotSession, WithoutDurationsOnlyTheTwoDimensionalButtonPlots) {
    reach_step_4({"wiz_vowels.txt", false, false});
    plot(1, "3d");
    expect_note(s, "Option not available",
                "This option is not available since there was no duration information specified.");
    EXPECT_TRUE(plots().events.empty());
    plot(1, "2d");
    EXPECT_TRUE(plots().window(1).shown);
}

TEST_F(PlotButtons, WithoutPlotWindowsThePlotAndTheMouseHandlerReportIt) {
    Services services = s.scripted.services();
    services.plots = nullptr;
    Runtime rt(services);
    rt.set_main_window(s.rt.main_window());
    EXPECT_TRUE(plot_now(rt, h, "2d", {}).plotFigure.empty());
    plot_show_mouse_location(rt, 1);
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(failure_report(s.scripted.dialogs[0], "Function \"plot_now\"",
                             "Let Quillon know about this error:\n\n "),
              "Plot windows cannot be opened here.");
    failure_report(s.scripted.dialogs[1], "Let Quillon know: \"plot_show_mouse_location\"",
                   "Function Error:\n\n ");
}

} // namespace
} // namespace tarvik::testing
