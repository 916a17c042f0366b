// The plot style controls: a group's colour, marker and line choices, the menus following the chosen
// group, and the "All groups" box.
#include "plot/plot_styles.h"

#include "app/record.h"
#include "support/plot_session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

class PlotStyles : public PlotsAtStep4 {
  protected:
    std::vector<double> value(const char* tag) const { return s.control(tag).value; }
};

TEST_F(PlotStyles, BlackIsTheSeventhColourAndTheColourMenuFollowsTheChosenGroup) {
    click("popupmenu_plot_marker_group", 2);
    click("popupmenu_plot_marker_color", 7);
    EXPECT_EQ(s.record().v[1].markerColor, (Color{0, 0, 0}));
    EXPECT_EQ(s.record().v[1].markerColorIndex, 7);

    click("popupmenu_plot_marker_group", 1);
    EXPECT_EQ(value("popupmenu_plot_marker_color"), std::vector<double>{1});
    click("popupmenu_plot_marker_group", 2);
    EXPECT_EQ(value("popupmenu_plot_marker_color"), std::vector<double>{7});
    EXPECT_EQ(value("popupmenu_plot_marker_type"), std::vector<double>{2}); // "+"
    EXPECT_EQ(value("popupmenu_plot_marker_line"), std::vector<double>{1}); // "-"
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(PlotStyles, AChosenMarkerDrawsTheGroupsPointsALineStyleChangesNoPlot) {
    plot(1, "3d");
    click("popupmenu_plot_marker_group", 1);
    click("popupmenu_plot_marker_line", 3);
    EXPECT_EQ(s.record().v[0].markerLine, ":");
    plot(1, "3d");
    PlotDescription again = shown(2);
    again.number = 1;
    EXPECT_EQ(again, shown(1));

    click("popupmenu_plot_marker_type", 6);
    EXPECT_EQ(s.record().v[0].markerType, "s");
    plot(1, "2d");
    EXPECT_EQ(shown(3).axes.series[0].lineSpec, "s");
}

TEST_F(PlotStyles, AStyleChoiceForAGroupThatDoesNotExistIsReported) {
    s.fig().set_value("popupmenu_plot_marker_group", 5);
    const Handles before = s.record();
    click("popupmenu_plot_marker_color", 3);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Let Quillon know: \"popupmenu_plot_marker_color_Callback\"");
    EXPECT_EQ(s.scripted.last().text,
              TextList{"Function Error:\n\n There is no group 5: the session has 3 groups."});
    EXPECT_TRUE(s.scripted.last().waited);
    EXPECT_EQ(s.record(), before);
}

TEST_F(PlotStyles, AllGroupsDisablesAAndBAndLeavesThemUnticked) {
    const char* const tags[] = {"popupmenu_plot_group_a", "popupmenu_plot_group_b", "checkbox_plot_group_a",
                                "checkbox_plot_group_b"};
    click("checkbox_plot_group_all", 1);
    for (const char* tag : tags)
        EXPECT_EQ(s.control(tag).enable, Enable::Off) << tag;
    EXPECT_EQ(value("checkbox_plot_group_a"), std::vector<double>{0});
    EXPECT_EQ(value("checkbox_plot_group_b"), std::vector<double>{0});

    click("checkbox_plot_group_all", 0);
    for (const char* tag : tags)
        EXPECT_EQ(s.control(tag).enable, Enable::On) << tag;
    EXPECT_EQ(value("checkbox_plot_group_a"), std::vector<double>{0});
    plot(1, "2d");
    EXPECT_EQ(s.scripted.last().title, "Plot checkbox checked?");
}

TEST(PlotStyleMenus, AStyleMissingFromAMenuLeavesItWithoutSelection) {
    Session s;
    s.start();
    Handles h = s.record();
    for (int k = 0; k < 4; ++k)
        h = create_newVowel(s.rt, std::move(h));
    ASSERT_EQ(h.v[5].markerLine, ".");
    s.fig().set_value("popupmenu_plot_marker_group", 6);
    s.call_handler("popupmenu_plot_marker_group_Callback", "popupmenu_plot_marker_group");
    EXPECT_TRUE(s.control("popupmenu_plot_marker_line").value.empty());
    EXPECT_EQ(s.control("popupmenu_plot_marker_color").value, std::vector<double>{6});
    EXPECT_EQ(s.control("popupmenu_plot_marker_type").value, std::vector<double>{6}); // "s"
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

} // namespace
} // namespace tarvik::testing
