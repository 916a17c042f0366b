// The plot buttons on the headless main window: the titles and labels of every plot kind, the group
// list and legend, window numbering, and the notes, refusals and warnings a user sees.
#include "plot/plot_dispatcher.h"

#include "session/session_file.h"
#include "session/session_menu.h"
#include "geometry/fits.h"
#include "overlap/overlap_ops.h"
#include "plot/plot_styles.h"
#include "support/plot_session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

using Labels = std::array<std::string, 3>;
using Columns = std::array<std::vector<double>, 3>;
using Names = std::vector<std::string>;

// The columns of a token matrix as a plot draws them: F2 on x, duration on y and F1 on z in 3D, F2 on x
// and F1 on y in 2D.
Columns xyz(const Matrix& m, bool is3D) {
    return {matrix_column(m, 0), matrix_column(m, is3D ? 2 : 1),
            is3D ? matrix_column(m, 1) : std::vector<double>{}};
}

// Groups A = 3 and B = 1 under every kind: the title and labels, group 3 drawn first and named first (the
// overlap draws the smaller group first), with the fields of the kind on the axes of the plot.
TEST_F(PlotSession, EachKindDrawsAAndBFromItsFieldsWithItsTitleLabelsAndLegend) {
    reach_step_4({"plot_vowels.txt", true, true});
    const Handles h = s.record();
    const VowelGroup &g1 = h.v[0], &g3 = h.v[2];
    // A group's inside points as a plot draws them.
    const auto inside = [&](int g, bool is3D) {
        const PointList3D p = group_inside_points(h, g, is3D).value_or(PointList3D{});
        return is3D ? Columns{p.x, p.z, p.y} : Columns{p.x, p.y, {}};
    };
    choose_groups(true, 3, true, 1);
    s.fig().set_value("checkbox_show_legend", 1);
    // Kinds 1 to 5, each in 3D and then in 2D.
    const std::pair<const char*, Columns> cases[] = {
        {"Original Data (No rotation): 3D graph title", xyz(g3.dataOriginal, true)},
        {"Original Data (No rotation): 2D graph title", xyz(g3.dataOriginal, false)},
        {"Normalized Data:  3D graph title", xyz(g3.data, true)}, // the prefix's blank and the joining one
        {"Normalized Data:  2D graph title", xyz(g3.data, false)},
        {"Best Fit Ellipsoid: (Second Rotation) 3D graph title", xyz(*g3.dubstar, true)},
        {"Best Fit Ellipse: (Second Rotation) 2D graph title", xyz(*g3.ellps2D, false)},
        {"3D Volumes: 3D graph title", inside(3, true)},
        {"2D Spheres: 2D graph title", inside(3, false)},
        {"Normalized data 3D overlap:\n(Overlapping data's color is averaged between the two groups) "
         "3D graph title",
         inside(1, true)},
        {"Normalized data 2D overlap:\n(Overlapping data's color is averaged between the two groups)\n 2D "
         "graph title",
         inside(1, false)}};
    // Every pair ran in order, so group 3 was last counted with group 2: its points are that walk's.
    const GridOverlap3D last = grid_overlap_3d(ellipsoid_of(h.v[1]), ellipsoid_of(g3), {});
    EXPECT_EQ(inside(3, true), (Columns{last.inside2.x, last.inside2.z, last.inside2.y}));
    for (int number = 1; number <= 10; ++number) {
        const auto& [title, first] = cases[number - 1];
        const bool is3D = number % 2 == 1, overlap = number > 8;
        SCOPED_TRACE(title);
        plot((number + 1) / 2, is3D ? "3d" : "2d");
        const PlotDescription& d = shown(number);
        EXPECT_EQ(d.axes.title, title);
        // The label boxes at their defaults: the mapped columns (duration is "Dur"), not normalized.
        EXPECT_EQ(d.axes.labels,
                  is3D ? (Labels{"F2 (Hz)", "Dur (ms)", "F1 (Hz)"}) : (Labels{"F2 (Hz)", "F1 (Hz)", ""}));
        EXPECT_EQ(d.axes.reversed, (std::array<bool, 3>{true, true, is3D}));
        EXPECT_EQ(d.axes.grid, d.axes.reversed);
        ASSERT_GE(d.axes.series.size(), 2u);
        EXPECT_EQ((Columns{d.axes.series[0].x, d.axes.series[0].y, d.axes.series[0].z}), first);
        EXPECT_EQ(d.axes.series[0].lineSpec, (overlap ? g1 : g3).markerType);
        EXPECT_EQ(d.axes.series[0].color, (overlap ? g1 : g3).markerColor);
        EXPECT_EQ(d.axes.series[1].color, (overlap ? g3 : g1).markerColor);
        EXPECT_EQ(d.axes.legend, overlap ? (Names{"v1", "v3"}) : (Names{"v3", "v1"}));
        EXPECT_EQ(d.name, "Output");
        EXPECT_EQ(d.buttonDownFcn, "plot_show_mouse_location");
        EXPECT_EQ(s.record().currentAxes, ControlRef{"plot_axes_" + std::to_string(number)});
    }
    EXPECT_TRUE(s.scripted.dialogs.empty());
    plot_show_mouse_location(s.rt, 10); // a mouse press switches the plot into editing
    EXPECT_TRUE(plots().window(10).editing);

    // Only normalized data have fixed limits: the session's extents, whatever groups are drawn.
    EXPECT_FALSE(shown(1).axes.limits[0]);
    const Axes3D& e = h.axes3D;
    EXPECT_EQ(shown(3).axes.limits[0], (AxisLimits{-e.Xwidth, e.Xwidth}));
    EXPECT_EQ(shown(3).axes.limits[1], (AxisLimits{-e.Ylength, e.Ylength}));
    EXPECT_EQ(shown(3).axes.limits[2], (AxisLimits{-e.Zheight, e.Zheight}));
    EXPECT_EQ(shown(4).axes.limits[1], (AxisLimits{-h.axes2D->Ylength, h.axes2D->Ylength}));

    // The ellipsoid's first view waits for a key under its own title and labels, then gains each group's
    // outline projected onto each coordinate plane in turn.
    const PlotAxes& first = plots().history[4].axes;
    EXPECT_EQ(first.title, "Best Fit Ellipsoid: First Rotation\n(press 'space' for second rotation)");
    EXPECT_EQ(first.labels,
              (Labels{"Principal \"star\" axis", "Secondary \"star\" axis", "Primary \"double star\" axis"}));
    EXPECT_EQ(plots().window(5).keyWaits, 1);
    const std::vector<PlotSeries>& outlines = shown(5).axes.series;
    ASSERT_EQ(outlines.size(), 2u + 3 * 2);
    const std::vector<double>&x = *g3.xdubstar, &y = *g3.ydubstar, &z = *g3.zdubstar, zero(x.size(), 0.0);
    EXPECT_EQ((Columns{outlines[2].x, outlines[2].y, outlines[2].z}), (Columns{zero, z, y}));
    EXPECT_EQ((Columns{outlines[3].x, outlines[3].y, outlines[3].z}), (Columns{x, zero, y}));
    EXPECT_EQ((Columns{outlines[4].x, outlines[4].y, outlines[4].z}), (Columns{x, z, zero}));
    EXPECT_EQ(outlines[5].color, g1.markerColor);

    // The overlap draws the points inside both as stars in the mean of the two groups' colours.
    const Color mean{(g1.markerColor.r + g3.markerColor.r) / 2, (g1.markerColor.g + g3.markerColor.g) / 2,
                     (g1.markerColor.b + g3.markerColor.b) / 2};
    // Every series is counted on the pair's grid, though group 3 was estimated with group 2 last.
    const PairPoints pair = pair_points(h, 1, 3, true);
    const PointList3D& both = pair.both;
    const PlotSeries& stars = shown(9).axes.series.at(2);
    EXPECT_EQ((Columns{stars.x, stars.y, stars.z}), (Columns{both.x, both.z, both.y}));
    const PlotSeries& second = shown(9).axes.series.at(1);
    EXPECT_EQ((Columns{second.x, second.y, second.z}), (Columns{pair.inside2.x, pair.inside2.z, pair.inside2.y}));
    EXPECT_NE((Columns{second.x, second.y, second.z}), inside(3, true));
    EXPECT_FALSE(stars.x.empty());
    EXPECT_EQ(stars.lineSpec, "*");
    EXPECT_EQ(stars.color, mean);
    EXPECT_EQ(shown(10).axes.series.at(2).y, pair_points(h, 1, 3, false).both.y);
    EXPECT_EQ(shown(10).axes.series.at(2).color, mean);
}

// The last dialog: `title` with the one line `text`, not modal; a message box that is waited for, or a
// warning left open beside the work.
void expect_last(const Session& s, const std::string& title, const std::string& text, bool waited) {
    ASSERT_FALSE(s.scripted.dialogs.empty());
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, waited ? "message" : "warning");
    EXPECT_EQ(d.title, title);
    EXPECT_EQ(d.text, TextList{text});
    EXPECT_FALSE(d.modal);
    EXPECT_EQ(d.waited, waited);
}

using PlotButtons = PlotsAtStep4;

TEST_F(PlotButtons, TheGroupBoxesMakeTheListAndWithoutAnyOnlyANoteIsShown) {
    choose_groups(true, 3, true, 1, true); // "All groups" overrides A and B
    EXPECT_EQ(calculate_vowels_to_plot(s.rt, h), std::vector<int>{});
    choose_groups(false, 3, true, 2);
    EXPECT_EQ(calculate_vowels_to_plot(s.rt, h), std::vector<int>{2});
    choose_groups(false, 1, false, 2);
    plot(1, "2d");
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    expect_last(s, "Plot checkbox checked?", "Make sure you have at least one plot checkbox checked.", true);
    EXPECT_TRUE(plots().events.empty());
    EXPECT_TRUE(s.record().plotFigure.empty());
}

// Group 4 does not exist and no overlap has been calculated: every kind fails in both dimensions, with the
// drawing's own report and then the kind's warning; an overlap of other than two groups is refused with a
// warning alone. The window is closed but its number used up.
TEST_F(PlotButtons, AFailedOrRefusedPlotIsWarnedAboutAndUsesUpItsWindowNumber) {
    const std::string original = "There was an error attempting to plot the original vowel data. Make sure "
                                 "you have data for the group(s) you are trying to plot.";
    const auto calculated = [](const std::string& groups) {
        return "Did you calculate the overlaps for " + groups + "? If so, make sure that you have selected " +
               "both 'Group A' and 'Group B' checkboxes selected here in 'Plot Options.'";
    };
    const auto checkboxes = [](const std::string& overlaps) {
        return "Make sure to have both the Plot Options 'Group A' and 'Group B' checkboxes selected. " +
               ("Also, did you calculate the " + overlaps) + "?";
    };
    const struct {
        int kind;
        const char* dims;
        bool all;   // "All groups" ticked besides A and B
        int groupA; // B is group 4
        const char *report, *title;
        std::string text;
    } cases[] = {
        {1, "3d", false, 1, "Function \"plot_original_data\"", "Failed to plot original data", original},
        {2, "2d", false, 1, "Let Quillon know: Function \"plot_normalized_data\"",
         "Failed to plot normalized data", original},
        {3, "3d", false, 1, "Function \"plot_3D_ellipsoid\"", "Failed to ellipsoid data",
         calculated("all the groups for which you want to plot volumes")},
        {3, "2d", false, 1, "Function \"plot_2D_ellipses\"", "Failed to ellipsoid data",
         calculated("all the groups for which you want to plot ellipses")},
        {4, "3d", false, 1, "Function \"plot_3D_volumes\"", "Failed to plot volumes",
         checkboxes("3D overlaps for the groups for which you want to plot volumes")},
        {4, "2d", false, 1, "Function \"plot_2D_spheres\"", "Failed to plot spheres",
         checkboxes("2D overlaps for the groups for which you want to plot spheres")},
        {5, "3d", false, 1, "Function \"plot_3D_vowels_overlap\"", "Failed to plot 3D overlap",
         calculated("the two groups for which you want to plot the overlap")},
        {5, "2d", false, 1, "Function \"plot_2D_vowels_overlap\"", "Failed to plot 2D overlap",
         calculated("the two groups for which you want to plot the overlap")},
        {5, "2d", true, 1, nullptr, "Cannot plot overlap",
         "Overlap plotting is limited currently to two vowel groups. Make sure to have both 'Group A' and "
         "'Group B' checkboxes selected here in Plot options Also, you will need to have calculated the "
         "overlaps for those same vowel groups in the 'Calculate overlap options' area above."},
        {5, "3d", false, 4, nullptr, "Cannot plot overlap",
         "You cannot plot the overlap of a group with itself. Make sure 'Group A' is not the same as "
         "'Group B'"}};
    int number = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        s.scripted.dialogs.clear();
        choose_groups(true, c.groupA, true, 4, c.all);
        plot(c.kind, c.dims);
        ASSERT_EQ(s.scripted.dialogs.size(), c.report ? 2u : 1u);
        if (c.report)
            failure_report(s.scripted.dialogs[0], c.report,
                           c.kind == 2 ? "Error:\n\n " : "Let Quillon know about this error:\n\n ");
        expect_last(s, c.title, c.text, false);
        EXPECT_FALSE(plots().window(++number).open);
    }
    EXPECT_EQ(s.record().plotFigure.size(), 10u);
    choose_groups(true, 1, false, 4);
    plot(1, "2d");
    EXPECT_EQ(shown(11).number, 11);
}

TEST_F(PlotButtons, TheFiveHundredFirstPlotEarnsANoteTheNextOneNothing) {
    for (int k = 1; k <= 500; ++k)
        h.plotFigure.push_back(ControlRef{"plot_figure_" + std::to_string(k)});
    s.fig().store(h);
    plot(1, "2d");
    expect_last(s, "Just a note", "You have plotted over 500 graphs.", true);
    plot(1, "2d");
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_TRUE(plots().window(502).shown);
}

TEST_F(PlotSession, WithoutDurationsOnlyTheTwoDimensionalButtonPlots) {
    reach_step_4({"wiz_vowels.txt", false, false});
    plot(1, "3d");
    expect_last(s, "Option not available",
                "This option is not available since there was no duration information specified.", true);
    EXPECT_TRUE(plots().events.empty());
    plot(1, "2d");
    EXPECT_TRUE(plots().window(1).shown);
}

// While the ellipsoid waits for its key, opening a session or loading a data file is refused. A session
// opened all the same (as by a handler without that check) keeps its own record: the record the plot
// holds, of the session that was closed, never reaches the new window.
TEST_F(PlotButtons, WhileAPlotWaitsNoOtherSessionOrFileComesInAndNoRecordGoesToAnotherWindow) {
    const TestFolder dir("plot_wait");
    Handles other = h;
    other.stdmult = 3; // tells the other session's record from this one's
    save_session_file(dir / "other.tarvik", s.fig(), other);
    s.fig().set_enable("button_load_file", Enable::On);
    for (const bool forced : {false, true}) {
        SCOPED_TRACE(forced);
        s.scripted.dialogs.clear();
        const std::shared_ptr<Figure> before = s.rt.main_window();
        plots().duringWait = [&](int) {
            if (forced) {
                const Runtime::CallbackScope opening(s.rt);
                open_session_window(s.rt, load_session_file(dir / "other.tarvik"));
                return;
            }
            dispatch_event(s.rt, "menuItem_openSession");
            dispatch_event(s.rt, "button_load_file");
        };
        plot(3, "3d");
        EXPECT_EQ(s.rt.main_window() != before, forced);
        EXPECT_EQ(s.record().stdmult, forced ? 3 : 2);
        EXPECT_EQ(s.record().plotFigure.size(), forced ? 0u : 1u);
        ASSERT_EQ(s.scripted.dialogs.size(), forced ? 0u : 2u);
        for (const DialogRecord& d : s.scripted.dialogs)
            expect_dialog(d, "message", "Finish the plot first",
                          {"A plot window is waiting for a key press. Press a key in the plot window or close "
                           "it, then try again."},
                          Icon::Warn, false);
    }
    // Beneath a handler paused otherwise (behind its progress dialog, say), the message is a general one.
    const Runtime::CallbackScope paused(s.rt);
    dispatch_event(s.rt, "menuItem_openSession");
    EXPECT_EQ(s.scripted.last().text,
              TextList{"Another step is still running or waiting for your answer. Finish it first, then try again."});
}

TEST_F(PlotButtons, WithoutPlotWindowsThePlotReportsIt) {
    Services services = s.scripted.services();
    services.plots = nullptr;
    Runtime rt(services);
    rt.set_main_window(s.rt.main_window());
    EXPECT_TRUE(plot_now(rt, h, PlotRequest{}).plotFigure.empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(
        failure_report(s.scripted.last(), "Function \"plot_now\"", "Let Quillon know about this error:\n\n "),
        "Plot windows cannot be opened here.");
}

} // namespace
} // namespace tarvik::testing
