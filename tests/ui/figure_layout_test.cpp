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

TEST_F(Layout, WindowPropertiesAnd133ControlsWithDistinctTagsAndHandlersNamedAfterThem) {
    const WindowProps& w = fig->window();
    EXPECT_EQ(w.name, "ZERIVIzi");
    EXPECT_EQ(w.pixelPosition, (Rect{5, 74, 1010, 645}));
    EXPECT_EQ(w.color, rgb255(224, 223, 227));
    EXPECT_FALSE(w.numberTitle);
    EXPECT_EQ(w.menuBar, "none");
    EXPECT_TRUE(w.resizable);

    EXPECT_EQ(fig->controls().size(), 133u);
    EXPECT_FALSE(fig->has(Figure::kWindowTag)); // the window is not one of its objects
    std::set<std::string> tags;
    for (const auto& o : fig->objects()) {
        EXPECT_TRUE(tags.insert(o.tag).second) << o.tag;
        EXPECT_TRUE(o.callback.empty() || o.tag == "menu_file" || o.callback == o.tag + "_Callback") << o.tag;
        EXPECT_TRUE(o.createFcn.empty() || o.createFcn == o.tag + "_CreateFcn") << o.tag;
        EXPECT_TRUE(o.buttonDownFcn.empty() || o.buttonDownFcn == o.tag + "_ButtonDownFcn") << o.tag;
    }
    EXPECT_EQ(c("menu_file").callback, "menu__file_Callback");
    EXPECT_EQ(c("frame_step_1a").buttonDownFcn, "frame_step_1a_ButtonDownFcn");
    EXPECT_TRUE(c("popupmenu_normalize_spectral2").callback.empty());
}

TEST_F(Layout, FileMenuItemsInOrderWithTheirSeparators) {
    EXPECT_EQ(c("menu_file").string, TextList{"File"});
    using Item = std::tuple<std::string, TextList, bool>; // tag, label, separator above
    const std::vector<Item> expected = {{"menuItem_openSession", {"Open Session"}, false},
                                        {"menuItem_saveSession", {"Save Session"}, false},
                                        {"menuItem_print", {"Print ..."}, true},
                                        {"menuitem_showHelpBoxes", {"Show Help Boxes"}, true},
                                        {"menuitem_hideHelpBoxes", {"Hide Help Boxes"}, false},
                                        {"menuItem_about", {"About ZERIVIzi"}, true},
                                        {"menuItem_exit", {"Exit"}, true}};
    std::vector<Item> items;
    for (const auto& o : fig->objects())
        if (o.parent == "menu_file") {
            EXPECT_EQ(o.style, Style::Menu) << o.tag;
            items.emplace_back(o.tag, o.string, o.separator);
        }
    EXPECT_EQ(items, expected);
}

// The 21 frames and shadows come first, so that they lie behind the controls placed on them.
TEST_F(Layout, FramesAndShadowsLieBehindTheControlsAndNotableControlsStartAsLaidOut) {
    const auto controls = fig->controls();
    for (std::size_t i = 0; i < controls.size(); ++i)
        EXPECT_TRUE(i < 21 ? controls[i]->string.empty() : controls[i]->style != Style::Frame)
            << controls[i]->tag;
    EXPECT_EQ(controls.at(21)->tag, "button_step_1");
    EXPECT_EQ(c("button_step_4").enable, Enable::Inactive);
    EXPECT_EQ(c("popupmenu_header_subject").background, (Color{0.502, 0, 0.251}));
    EXPECT_EQ(c("listbox_log").string, (TextList{"Welcome!", "", "ZERIVIzi LOG:"}));
    EXPECT_FALSE(c("listbox_log").visible);
    EXPECT_EQ(c("popupmenu_plotSelection").string,
              (TextList{"Original data", "Normalized data", "Ellipsoid/Ellipse", "Volumes/Spheres",
                        "Overlap (Group A & B Only)"}));
}

} // namespace
} // namespace tarvik
