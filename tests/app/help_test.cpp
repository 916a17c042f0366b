// Help inside the program: the help buttons and F1 ask the help service for their page, the pages they
// ask for exist and link to each other, and the menu items that show and hide the buttons.
#include "app/help.h"
#include "batch/batch_options.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kHelpFolder = fs::path(TARVIK_TEST_DATA_DIR) / ".." / ".." / "help";

const char* const kHelpButtons[] = {"button_help_loading_data",       "button_help_normalization",
                                    "button_help_normalize_spectral", "button_help_normalize_duration",
                                    "button_help_groupings",          "button_help_types",
                                    "button_help_constraints"};

using HelpBoxes = StartedSession;

TEST_F(HelpBoxes, TheMenuShowsAndHidesAllSevenAndNothingElse) {
    const std::vector<Control> before = s.fig().objects();
    dispatch_event(s.rt, "menuitem_showHelpBoxes");
    for (std::size_t i = 0; i < before.size(); ++i) {
        Control expected = before[i];
        expected.visible = expected.visible || std::ranges::count(kHelpButtons, expected.tag) == 1;
        EXPECT_EQ(s.fig().objects()[i], expected) << expected.tag;
    }
    dispatch_event(s.rt, "menuitem_hideHelpBoxes");
    EXPECT_EQ(s.fig().objects(), before);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

// No question first: each button asks for its own page, and nothing else changes.
TEST_F(HelpBoxes, EachHelpButtonAsksForItsPageAndShowsNoDialog) {
    const Handles before = s.record();
    for (const char* tag : kHelpButtons)
        dispatch_event(s.rt, tag);
    EXPECT_EQ(s.scripted.helpPages,
              (TextList{"help_loading_data.html", "help_normalization.html", "help_normalize_spectral.html",
                        "help_normalize_duration.html", "help_groupings.html", "help_types.html",
                        "help_constraints.html"}));
    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.record(), before);
}

TEST(ContextHelp, F1ShowsTheFocusedControlsPageElseTheCurrentStepsPage) {
    const struct {
        double step;
        const char* focused;
        const char* page;
    } rows[] = {
        {1, "", "help_loading_data.html"},          {2, "canvas", "help_normalization.html"},
        {3, "button_continue_to_overlap", "help_groupings.html"}, {4, "text_2D_overlap", "help_overlap.html"},
        {0, "", "index.html"},                      {1, "button_help_types", "help_types.html"},
        {2, "popupmenu_normalize_duration", "help_normalize_duration.html"},
        {3, "listbox_currVowel_defined", "help_constraints.html"},
        {4, "popupmenu_plot_marker_color", "help_plots.html#styles"},
        {4, "popupmenu_header_vowel", "help_column_mapping.html"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(context_help_page(r.step, r.focused), r.page) << r.step << " " << r.focused;

    Session s;
    s.start();
    show_context_help(s.rt, "listbox_types");
    show_context_help(s.rt, "");
    EXPECT_EQ(s.scripted.helpPages, (TextList{"help_types.html", "help_loading_data.html"}));
}

// Whatever has the focus in whatever step, F1 asks for a page that is there; every page is listed on the
// contents page, and every link between the pages leads to a page that is there.
TEST(HelpPages, EveryPageAskedForExistsAndEveryPageIsLinkedFromTheContents) {
    Session s;
    s.start();
    for (const Control& c : s.fig().objects())
        for (const double step : {1, 2, 3, 4}) {
            const std::string page = context_help_page(step, c.tag);
            EXPECT_TRUE(fs::is_regular_file(kHelpFolder / page.substr(0, page.find('#')))) << c.tag << ": " << page;
        }
    const std::string index = file_contents(kHelpFolder / kHelpIndexPage);
    const std::regex link(R"(href="([^"#:]+)(#[^"]*)?")");
    for (const auto& entry : fs::directory_iterator(kHelpFolder)) {
        const std::string name = entry.path().filename().string();
        ASSERT_EQ(entry.path().extension(), ".html") << name;
        EXPECT_TRUE(name == kHelpIndexPage || index.find("href=\"" + name + "\"") != std::string::npos) << name;
        const std::string text = file_contents(entry.path());
        for (auto m = std::sregex_iterator(text.begin(), text.end(), link); m != std::sregex_iterator(); ++m)
            EXPECT_TRUE(fs::is_regular_file(kHelpFolder / (*m)[1].str())) << name << " links to " << (*m)[1];
    }
}

// The batch page names every option the tool's --help lists.
TEST(HelpPages, TheBatchPageNamesEveryOptionOfTheBatchTool) {
    const std::string usage = batch_usage();
    const std::string page = file_contents(kHelpFolder / "help_batch.html");
    const std::regex option(R"(--[a-z][a-z0-9-]*)");
    std::size_t options = 0;
    for (auto m = std::sregex_iterator(usage.begin(), usage.end(), option); m != std::sregex_iterator(); ++m, ++options)
        EXPECT_NE(page.find("<code>" + m->str()), std::string::npos) << m->str();
    EXPECT_GT(options, 30u);
}

} // namespace
} // namespace tarvik::testing
