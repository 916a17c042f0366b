// The plot style controls (a group's colour, marker and line choices, the menus following the chosen
// group, the "All groups" box) and the point-series primitives every plot is drawn with.
#include "plot/plot_styles.h"

#include "app/record.h"
#include "plot/plot_series.h"
#include "support/plot_session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

using PlotStyles = PlotsAtStep4;

TEST_F(PlotStyles, TheStyleMenusSetTheChosenGroupsStyleAndFollowTheChosenGroup) {
    click("popupmenu_plot_marker_group", 2);
    click("popupmenu_plot_marker_color", 11); // black
    click("popupmenu_plot_marker_type", 6);
    click("popupmenu_plot_marker_line", 3);
    const VowelGroup g2 = s.record().v[1];
    EXPECT_EQ(g2.markerColor, (Color{0, 0, 0}));
    EXPECT_EQ(g2.markerColorIndex, 11);
    EXPECT_EQ(g2.markerType, "s");
    EXPECT_EQ(g2.markerLine, ":");

    click("popupmenu_plot_marker_group", 1);
    EXPECT_EQ(s.control("popupmenu_plot_marker_color").value, std::vector<double>{1}); // blue
    click("popupmenu_plot_marker_group", 2);
    EXPECT_EQ(s.control("popupmenu_plot_marker_color").value, std::vector<double>{11});
    EXPECT_EQ(s.control("popupmenu_plot_marker_type").value, std::vector<double>{6});
    EXPECT_EQ(s.control("popupmenu_plot_marker_line").value, std::vector<double>{3});
    EXPECT_TRUE(s.scripted.dialogs.empty());

    // The line style changes no plot (the marker drawn is the group's: plot_dispatcher_test).
    choose_groups(true, 2, false, 1);
    plot(1, "2d");
    click("popupmenu_plot_marker_line", 2);
    plot(1, "2d");
    EXPECT_EQ(shown(2).axes, shown(1).axes);
}

TEST_F(PlotStyles, AStyleChoiceForAGroupThatDoesNotExistIsReported) {
    for (const std::string menu : {"group", "color", "type", "line"}) {
        s.scripted.dialogs.clear();
        click("popupmenu_plot_marker_" + menu, menu == "group" ? 5 : 1); // the group menu first
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        EXPECT_EQ(failure_report(s.scripted.last(),
                                 "Let Quillon know: \"popupmenu_plot_marker_" + menu + "_Callback\"",
                                 "Function Error:\n\n "),
                  "There is no group 5: the session has 3 groups.");
    }
    EXPECT_EQ(s.record(), h);
}

TEST_F(PlotStyles, AllGroupsDisablesAAndBAndLeavesThemUnticked) {
    const char* const tags[] = {"popupmenu_plot_group_a", "popupmenu_plot_group_b", "checkbox_plot_group_a",
                                "checkbox_plot_group_b"};
    for (const double all : {1, 0}) {
        click("checkbox_plot_group_all", all);
        for (const char* tag : tags)
            EXPECT_EQ(s.control(tag).enable, all ? Enable::Off : Enable::On) << tag;
        EXPECT_EQ(s.control("checkbox_plot_group_a").value, std::vector<double>{0});
        EXPECT_EQ(s.control("checkbox_plot_group_b").value, std::vector<double>{0});
    }
}

TEST_F(PlotStyles, AStyleMissingFromAMenuLeavesItWithoutSelection) {
    for (int k = 0; k < 3; ++k)
        h = create_newVowel(s.rt, std::move(h));
    ASSERT_EQ(h.v[5]->markerLine, "."); // the sixth group's line style is not in the line menu
    click("popupmenu_plot_marker_group", 6);
    EXPECT_TRUE(s.control("popupmenu_plot_marker_line").value.empty());
    EXPECT_EQ(s.control("popupmenu_plot_marker_color").value, std::vector<double>{6});
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

const Color kRed{1, 0, 0};

TEST(PlotPrimitives, AxesThatDoNotKeepContentStartOverKeptOnesGrowAndBadSeriesAreReported) {
    Session s; // dialogs only; no main window is needed
    PlotAxes axes;
    plot3dRGB(s.rt, axes, {1, 2}, {3, 4}, {5, 6}, "o", kRed);
    plot3dRGB(s.rt, axes, {7}, {8}, {9}, "x", kRed);
    EXPECT_EQ(axes.series, (std::vector<PlotSeries>{{{7}, {8}, {9}, "x", kRed}}));

    // Every marker and line style of the style menus is accepted.
    axes.hold = true;
    for (const char* style : {"x", "+", "o", "*", ".", "s", "^", "v", ">", "<", "-", "--", ":", "-."})
        plot2dRGB(s.rt, axes, {1}, {1}, style, kRed);
    EXPECT_EQ(axes.series.size(), 15u);

    // A bad series adds nothing and is reported under the primitive's own name.
    plot2dRGB(s.rt, axes, {1, 2}, {1}, "x", kRed);
    plot3dRGB(s.rt, axes, {1}, {1}, {1}, "q", kRed);
    EXPECT_EQ(axes.series.size(), 15u);
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    failure_report(s.scripted.dialogs[0], "Let Quillon know: \"plot2dRGB\"", "Function Error:\n\n ");
    failure_report(s.scripted.dialogs[1], "Let Quillon know: \"plot3dRGB\"", "Function Error:\n\n ");
}

} // namespace
} // namespace tarvik::testing
