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
TEST_F(Layout, FramesAndShadowsLieBehindTheControls) {
    const auto controls = fig->controls();
    const auto firstControl =
        std::find_if(controls.begin(), controls.end(), [](const Control* x) { return !x->string.empty(); });
    ASSERT_EQ(std::distance(controls.begin(), firstControl), 21);
    EXPECT_EQ((*firstControl)->tag, "button_step_1");
    for (auto it = firstControl; it != controls.end(); ++it)
        EXPECT_NE((*it)->style, Style::Frame) << (*it)->tag;
    EXPECT_EQ(c("frame52").style, Style::Frame);
    EXPECT_EQ(c("frame_step_4a").position, (Rect{0.781, 0.020, 0.209, 0.932}));
    EXPECT_EQ(c("listbox_types").position, (Rect{0.316, 0.346, 0.209, 0.265}));
}

TEST_F(Layout, InitialStatesOfNotableControls) {
    EXPECT_EQ(c("button_step_4").enable, Enable::Inactive);
    EXPECT_EQ(c("popupmenu_header_subject").background, (Color{0.502, 0, 0.251}));
    EXPECT_EQ(c("button_help_types").background, rgb255(255, 255, 0));
    for (const char* tag : {"button_load_vowelGroup", "button_save_vowelGroup"}) {
        EXPECT_FALSE(c(tag).visible) << tag;
        EXPECT_EQ(c(tag).enable, Enable::Off) << tag;
    }
    EXPECT_EQ(c("listbox_log").string, (TextList{"Welcome!", "", "ZERIVIzi LOG:"}));
    EXPECT_FALSE(c("listbox_log").visible);
    EXPECT_EQ(c("listbox_log").max, 20);
    EXPECT_EQ(c("listbox_currVowel_select").string, (TextList{"1 (change my name)", "2 (change my name)"}));
    EXPECT_EQ(c("popupmenu_plotSelection").string,
              (TextList{"Original data", "Normalized data", "Ellipsoid/Ellipse", "Volumes/Spheres",
                        "Overlap (Group A & B Only)"}));
}

TEST(FigureModel, SettersAnnounceOnlyRealChanges) {
    auto fig = build_main_window();
    std::vector<std::pair<std::string, Property>> heard;
    const int id = fig->subscribe([&](const std::string& tag, Property p) { heard.emplace_back(tag, p); });
    fig->set_enable("button_add", Enable::On);
    fig->set_enable("button_add", Enable::On);
    fig->set_string("listbox_types", {"a", "b"});
    fig->unsubscribe(id);
    fig->set_visible("button_add", false);
    EXPECT_EQ(heard, (std::vector<std::pair<std::string, Property>>{{"button_add", Property::Enable},
                                                                    {"listbox_types", Property::String}}));
    EXPECT_THROW(fig->set_enable("no_such_tag", Enable::On), std::out_of_range);
}

} // namespace
} // namespace tarvik
