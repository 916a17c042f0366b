// The main window as the layout builds it, and the window model's own rules.
#include "ui/figure.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace tarvik {
namespace {

class Layout : public ::testing::Test {
  protected:
    std::shared_ptr<Figure> fig = build_main_window();
    const Control& c(const std::string& tag) const { return fig->control(tag); }
};

// The window's own properties travel with a session (session_file_test.cpp). The File menu's items come in
// this order, with a separator above some.
TEST_F(Layout, Has139ControlsWithDistinctTagsHandlersNamedAfterThemAndTheFileMenusItems) {
    EXPECT_EQ(fig->controls().size(), 139u);
    EXPECT_FALSE(fig->has(Figure::kWindowTag));           // the window is not one of its objects
    using Item = std::tuple<std::string, TextList, bool>; // tag, label, separator above
    const std::vector<Item> menu = {{"menuItem_openSession", {"Open Session"}, false},
                                    {"menuItem_saveSession", {"Save Session"}, false},
                                    {"menuItem_print", {"Print ..."}, true},
                                    {"menuitem_showHelpBoxes", {"Show Help Boxes"}, true},
                                    {"menuitem_hideHelpBoxes", {"Hide Help Boxes"}, false},
                                    {"menuItem_mirroredFitAxes", {"Mirrored fit axes (compatibility)"}, true},
                                    {"menuItem_about", {"About ZERIVIzi"}, true},
                                    {"menuItem_exit", {"Exit"}, true}};
    std::vector<Item> items;
    std::set<std::string> tags;
    for (const auto& o : fig->objects()) {
        EXPECT_TRUE(tags.insert(o.tag).second) << o.tag;
        EXPECT_TRUE(o.callback.empty() || o.tag == "menu_file" || o.callback == o.tag + "_Callback") << o.tag;
        EXPECT_TRUE(o.createFcn.empty() || o.createFcn == o.tag + "_CreateFcn") << o.tag;
        EXPECT_TRUE(o.buttonDownFcn.empty() || o.buttonDownFcn == o.tag + "_ButtonDownFcn") << o.tag;
        if (o.parent == "menu_file" && o.style == Style::Menu)
            items.emplace_back(o.tag, o.string, o.separator);
    }
    EXPECT_EQ(items, menu);
    EXPECT_EQ(c("menuItem_mirroredFitAxes").value, std::vector<double>{0}); // a check entry, unchecked
    EXPECT_EQ(c("menu_file").string, TextList{"File"});
    EXPECT_EQ(c("menu_file").callback, "menu__file_Callback");
    EXPECT_EQ(c("frame_step_1a").buttonDownFcn, "frame_step_1a_ButtonDownFcn");
    EXPECT_TRUE(c("popupmenu_normalize_spectral2").callback.empty());
}

// The 21 frames and shadows come first, so that they lie behind the controls placed on them.
TEST_F(Layout, FramesAndShadowsLieBehindTheControlsAndThePlotSelectionListsItsFiveKinds) {
    const auto controls = fig->controls();
    for (std::size_t i = 0; i < controls.size(); ++i)
        EXPECT_TRUE(i < 21 ? controls[i]->string.empty() : controls[i]->style != Style::Frame)
            << controls[i]->tag;
    EXPECT_EQ(controls.at(21)->tag, "button_step_1");
    EXPECT_EQ(c("button_step_4").enable, Enable::Inactive);
    EXPECT_EQ(c("popupmenu_plotSelection").string,
              (TextList{"Original data", "Normalized data", "Ellipsoid/Ellipse", "Volumes/Spheres",
                        "Overlap (Group A & B Only)"}));
}

} // namespace
} // namespace tarvik
