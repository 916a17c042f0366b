// The help buttons and the two menu items that show and hide them; the help request's way from the
// question to the web site or the local page.
#include "app/help.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

// Each help button and the local page it names.
const std::pair<const char*, const char*> kHelpButtons[] = {
    {"button_help_loading_data", "help_loading_data.php"},
    {"button_help_normalization", "help_normalization.php"},
    {"button_help_normalize_spectral", "help_normalize_spectral.php"},
    {"button_help_normalize_duration", "help_normalize_duration.php"},
    {"button_help_groupings", "help_groupings.php"},
    {"button_help_types", "help_types.php"},
    {"button_help_constraints", "help_constraints.php"},
};

const char* const kQuestionText = "We are currently revamping the structure and names of the TARVIK3D help "
                                  "pages. In an upcoming releaseyou "
                                  "will be taken directly to the correct help page. For now, you'll be taken "
                                  "to the main site. We apologize "
                                  "for the inconvenience.";
const char* const kNoBrowserText =
    "There was no default browser detected. TARVIK will now try to load your local help pages.";

using HelpBoxes = StartedSession;

TEST_F(HelpBoxes, TheMenuShowsAndHidesAllSevenAndNothingElse) {
    const auto shown = [&] {
        std::set<std::string> tags;
        for (const Control* c : s.fig().controls())
            if (c->visible)
                tags.insert(c->tag);
        return tags;
    };
    const auto before = shown();
    auto expected = before;
    for (const auto& [tag, page] : kHelpButtons)
        EXPECT_TRUE(expected.insert(tag).second) << tag << " was shown before";
    dispatch_event(s.rt, "menuitem_showHelpBoxes");
    EXPECT_EQ(shown(), expected);
    dispatch_event(s.rt, "menuitem_hideHelpBoxes");
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

// A started main window with the help boxes shown, on Windows or elsewhere.
class HelpRequest : public ::testing::Test {
  protected:
    void start(bool windows) {
        scripted.isWindows = windows;
        rt = std::make_unique<Runtime>(scripted.services());
        zerivizi_export(*rt, {std::string("visible"), std::string("off")});
        dispatch_event(*rt, "menuitem_showHelpBoxes");
        homepage = rt->figure().retrieve()->web.homepage;
    }
    void press(const std::string& tag) { dispatch_event(*rt, tag); }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& d : scripted.dialogs)
            out.push_back(d.title);
        return out;
    }

    ScriptedServices scripted;
    std::unique_ptr<Runtime> rt;
    std::string homepage;
};

TEST_F(HelpRequest, CancelInTheFixedQuestionDoesNothingElse) {
    start(true);
    scripted.questionAnswers.push_back("Cancel");
    const Handles before = *rt->figure().retrieve();
    press("button_help_normalize_spectral");

    ASSERT_EQ(scripted.dialogs.size(), 1u);
    const DialogRecord& d = scripted.last();
    EXPECT_EQ(d.kind, "question");
    EXPECT_EQ(d.title, "Continue now?");
    EXPECT_EQ(d.text, TextList{kQuestionText});
    EXPECT_EQ(d.buttons, (TextList{"Connect to web", "Cancel", "Connect to web"}));
    EXPECT_TRUE(scripted.browserAddresses.empty());
    EXPECT_TRUE(scripted.shellCommands.empty());
    EXPECT_EQ(*rt->figure().retrieve(), before);
}

TEST_F(HelpRequest, EveryButtonOpensTheSitesMainPageInAWorkingBrowser) {
    start(true);
    scripted.questionAnswers = {"Connect to web", ""}; // closing the question goes on too
    for (const auto& [tag, page] : kHelpButtons)
        press(tag);
    EXPECT_EQ(scripted.browserAddresses, TextList(std::size(kHelpButtons), homepage));
    EXPECT_EQ(titles(), TextList(std::size(kHelpButtons), "Continue now?"));
    EXPECT_TRUE(scripted.shellCommands.empty());
}

// Each request tries the browser again, also after one found none.
TEST_F(HelpRequest, WithoutABrowserWindowsWarnsAndOpensEachButtonsLocalPageInNotepad) {
    start(true);
    scripted.browserStatuses = {7, 1, 1, 1, 1, 1, 1};
    TextList commands, titlesSeen;
    for (const auto& [tag, page] : kHelpButtons) {
        press(tag);
        commands.push_back(std::string("notepad help/") + page);
        titlesSeen.insert(titlesSeen.end(), {"Continue now?", "Browser not found"});
    }
    EXPECT_EQ(scripted.shellCommands, commands);
    EXPECT_EQ(titles(), titlesSeen);
    // The site's main page was tried each time, not a page of its own.
    EXPECT_EQ(scripted.browserAddresses, TextList(std::size(kHelpButtons), homepage));
    EXPECT_EQ(rt->figure().retrieve()->web.isWorking, 1);
    const DialogRecord& d = scripted.dialogs[1];
    EXPECT_EQ(d.kind, "message");
    EXPECT_EQ(d.text, TextList{kNoBrowserText});
    EXPECT_EQ(d.icon, Icon::Warn);
    EXPECT_TRUE(d.waited);
}

TEST(HelpPages, EveryButtonsLocalPageShipsAsPlainText) {
    for (const auto& [tag, page] : kHelpButtons) {
        EXPECT_EQ(help_page(tag, ".php"), page);
        // The pages ship in the folder help at the top of the source tree.
        const fs::path path = fs::path(TARVIK_TEST_DATA_DIR) / ".." / ".." / "help" / page;
        ASSERT_TRUE(fs::is_regular_file(path)) << path;
        const std::string text = file_contents(path);
        EXPECT_GT(text.size(), 500u) << page;
        // Opened in a plain text editor: text, not a web page's markup.
        EXPECT_EQ(text.find("<?"), std::string::npos) << page;
        EXPECT_EQ(text.find("</"), std::string::npos) << page;
    }
}

TEST_F(HelpRequest, WithoutABrowserElsewhereShowsThePlaceholderNote) {
    start(false);
    scripted.browserStatuses = {1};
    press("button_help_normalization");

    EXPECT_TRUE(scripted.shellCommands.empty());
    EXPECT_EQ(titles(), (TextList{"Continue now?", "Browser not found", "Just a note"}));
    EXPECT_TRUE(scripted.last().waited);
}

// The page is the tag from its eighth character on, whatever the tag begins with.
TEST(HelpPageName, DropsTheFirstSevenCharacters) {
    EXPECT_EQ(help_page("button_help_types", ".php"), "help_types.php");
    EXPECT_EQ(help_page("button_help_types", ".txt"), "help_types.txt");
    EXPECT_EQ(help_page("abcdefgpage", ".php"), "page.php");
    EXPECT_EQ(help_page("button_", ".php"), ".php");
    EXPECT_EQ(help_page("help", ".php"), ".php");
}

} // namespace
} // namespace tarvik::testing
