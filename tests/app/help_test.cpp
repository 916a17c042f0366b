// The help buttons and the two menu items that show and hide them; the help request's way from the
// question to the web site or the local page.
#include "app/help.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

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

// A main window on Windows.
class HelpRequest : public ::testing::Test {
  protected:
    void SetUp() override { zerivizi_export(rt, {std::string("visible"), std::string("off")}); }
    TextList titles() const {
        TextList out;
        for (const auto& d : scripted.dialogs)
            out.push_back(d.title);
        return out;
    }
    std::string homepage() const { return rt.figure().retrieve()->web.homepage; }

    ScriptedServices scripted;
    Runtime rt{[this] {
        scripted.isWindows = true;
        return scripted.services();
    }()};
};

TEST_F(HelpRequest, AnsweringCancelDoesNothingElseAnythingElseOpensTheSitesMainPage) {
    scripted.questionAnswers = {"Cancel", "Connect to web", ""}; // "": the question closed
    const Handles before = *rt.figure().retrieve();
    dispatch_event(rt, "button_help_normalize_spectral");
    ASSERT_EQ(scripted.dialogs.size(), 1u);
    expect_dialog(
        scripted.last(), "question", "Continue now?",
        {"We are currently revamping the structure and names of the TARVIK3D help pages. In an upcoming "
         "releaseyou will be taken directly to the correct help page. For now, you'll be taken to the "
         "main site. We apologize for the inconvenience."},
        Icon::None, true);
    EXPECT_EQ(scripted.last().buttons, (TextList{"Connect to web", "Cancel", "Connect to web"}));
    EXPECT_TRUE(scripted.browserAddresses.empty());
    EXPECT_EQ(*rt.figure().retrieve(), before);

    for (const char* tag : kHelpButtons)
        dispatch_event(rt, tag);
    EXPECT_EQ(scripted.browserAddresses, TextList(std::size(kHelpButtons), homepage()));
    EXPECT_EQ(titles(), TextList(std::size(kHelpButtons) + 1, "Continue now?"));
    EXPECT_TRUE(scripted.shellCommands.empty());
}

// Each request tries the site's main page again, also after one found no browser; the page opened instead
// is the button's tag from its eighth character on, with the extension, and ships as plain text.
TEST_F(HelpRequest, WithoutABrowserWindowsWarnsAndOpensEachButtonsLocalPageInNotepad) {
    scripted.browserStatuses = {7, 1, 1, 1, 1, 1, 1};
    TextList commands, titlesSeen;
    for (const std::string tag : kHelpButtons) {
        dispatch_event(rt, tag);
        const std::string page = tag.substr(7) + ".php";
        commands.push_back("notepad help/" + page);
        titlesSeen.insert(titlesSeen.end(), {"Continue now?", "Browser not found"});
        const std::string text = file_contents(fs::path(TARVIK_TEST_DATA_DIR) / ".." / ".." / "help" / page);
        EXPECT_GT(text.size(), 500u) << page;
        EXPECT_EQ(text.find("</"), std::string::npos) << page; // no web page markup
    }
    EXPECT_EQ(scripted.shellCommands, commands);
    EXPECT_EQ(titles(), titlesSeen);
    EXPECT_EQ(scripted.browserAddresses, TextList(std::size(kHelpButtons), homepage()));
    expect_dialog(
        scripted.dialogs[1], "message", "Browser not found",
        {"There was no default browser detected. TARVIK will now try to load your local help pages."},
        Icon::Warn, true);
    EXPECT_EQ(help_page("abcdefgpage", ".txt"), "page.txt");
}

TEST_F(HelpBoxes, WithoutABrowserElsewhereTheRequestShowsThePlaceholderNote) {
    s.scripted.browserStatuses = {1};
    dispatch_event(s.rt, "button_help_normalization");
    EXPECT_TRUE(s.scripted.shellCommands.empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 3u);
    EXPECT_EQ(s.scripted.dialogs[1].title, "Browser not found");
    EXPECT_EQ(s.scripted.dialogs[2].title, "Just a note");
}

} // namespace
} // namespace tarvik::testing
