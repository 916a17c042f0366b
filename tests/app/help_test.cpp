// The help buttons and the two menu items that show and hide them; the help request's way from the
// question to the web site or the local page.
#include "app/help.h"
#include "app/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

struct HelpButton {
    const char* tag;
    const char* page; // the local page it names
};
void PrintTo(const HelpButton& b, std::ostream* os) {
    *os << b.tag;
}

const HelpButton kHelpButtons[] = {
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

int visible_help_boxes(const Figure& fig) {
    int n = 0;
    for (const auto& b : kHelpButtons)
        n += fig.control(b.tag).visible ? 1 : 0;
    return n;
}

using HelpBoxes = StartedSession;

TEST_F(HelpBoxes, TheMenuShowsAndHidesAllSeven) {
    ASSERT_EQ(visible_help_boxes(s.fig()), 0);
    const auto shownBefore = [&] {
        std::vector<std::string> shown;
        for (const Control* c : s.fig().controls())
            if (c->visible)
                shown.push_back(c->tag);
        return shown;
    }();

    dispatch_event(s.rt, "menuitem_showHelpBoxes");
    EXPECT_EQ(visible_help_boxes(s.fig()), 7);
    // Nothing else appears: the hidden group file buttons and the log stay hidden.
    EXPECT_FALSE(s.control("button_load_vowelGroup").visible);
    EXPECT_FALSE(s.control("listbox_log").visible);

    dispatch_event(s.rt, "menuitem_hideHelpBoxes");
    EXPECT_EQ(visible_help_boxes(s.fig()), 0);
    std::vector<std::string> shownAfter;
    for (const Control* c : s.fig().controls())
        if (c->visible)
            shownAfter.push_back(c->tag);
    EXPECT_EQ(shownAfter, shownBefore);
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

class EveryHelpButton : public HelpRequest, public ::testing::WithParamInterface<HelpButton> {};

TEST_P(EveryHelpButton, AWorkingBrowserOpensTheSitesMainPage) {
    start(true);
    press(GetParam().tag);

    EXPECT_EQ(scripted.browserAddresses, TextList{homepage});
    EXPECT_EQ(titles(), TextList{"Continue now?"});
    EXPECT_TRUE(scripted.shellCommands.empty());
}

TEST_P(EveryHelpButton, WithoutABrowserWindowsOpensTheLocalPageInNotepad) {
    start(true);
    scripted.browserStatuses = {1};
    press(GetParam().tag);

    EXPECT_EQ(scripted.shellCommands, TextList{std::string("notepad help/") + GetParam().page});
    EXPECT_EQ(titles(), (TextList{"Continue now?", "Browser not found"}));
}

TEST_P(EveryHelpButton, ItsLocalPageIsThere) {
    EXPECT_EQ(help_page(GetParam().tag, ".php"), GetParam().page);
    // The pages ship in the folder help at the top of the source tree.
    const fs::path page = fs::path(TARVIK_TEST_DATA_DIR) / ".." / ".." / "help" / GetParam().page;
    ASSERT_TRUE(fs::is_regular_file(page)) << page;
    std::ifstream in(page, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_GT(text.str().size(), 500u);
    // Opened in a plain text editor: text, not a web page's markup.
    EXPECT_EQ(text.str().find("<?"), std::string::npos);
    EXPECT_EQ(text.str().find("</"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Buttons, EveryHelpButton, ::testing::ValuesIn(kHelpButtons),
                         [](const auto& info) { return std::string(info.param.tag).substr(12); });

TEST_F(HelpRequest, ClosingTheQuestionGoesOnToTheBrowser) {
    start(true);
    scripted.questionAnswers.push_back("");
    press("button_help_types");
    EXPECT_EQ(scripted.browserAddresses, TextList{homepage});
}

TEST_F(HelpRequest, BrowserNotFoundWarnsAndWaitsBeforeTheLocalPage) {
    start(true);
    scripted.browserStatuses = {7};
    press("button_help_groupings");

    ASSERT_EQ(scripted.dialogs.size(), 2u);
    const DialogRecord& d = scripted.dialogs[1];
    EXPECT_EQ(d.kind, "message");
    EXPECT_EQ(d.title, "Browser not found");
    EXPECT_EQ(d.text, TextList{kNoBrowserText});
    EXPECT_EQ(d.icon, Icon::Warn);
    EXPECT_TRUE(d.waited);
    // The site's main page was tried, not a page of its own.
    EXPECT_EQ(scripted.browserAddresses, TextList{homepage});
}

TEST_F(HelpRequest, EveryRequestTriesTheBrowserAgain) {
    start(true);
    scripted.browserStatuses = {1, 1, 1};
    press("button_help_loading_data");
    press("button_help_constraints");
    press("button_help_loading_data");

    EXPECT_EQ(scripted.browserAddresses, (TextList{homepage, homepage, homepage}));
    EXPECT_EQ(titles(), (TextList{"Continue now?", "Browser not found", "Continue now?", "Browser not found",
                                  "Continue now?", "Browser not found"}));
    EXPECT_EQ(scripted.shellCommands,
              (TextList{"notepad help/help_loading_data.php", "notepad help/help_constraints.php",
                        "notepad help/help_loading_data.php"}));
    EXPECT_EQ(rt->figure().retrieve()->web.isWorking, 1);
}

TEST_F(HelpRequest, WithoutABrowserElsewhereShowsThePlaceholderNote) {
    start(false);
    scripted.browserStatuses = {1};
    press("button_help_normalization");

    EXPECT_TRUE(scripted.shellCommands.empty());
    EXPECT_EQ(titles(), (TextList{"Continue now?", "Browser not found", "Just a note"}));
    EXPECT_TRUE(scripted.last().waited);
}

struct PageCase {
    const char* label;
    const char* tag;
    const char* extension;
    const char* page;
};
void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.label;
}

class HelpPageName : public ::testing::TestWithParam<PageCase> {};

// The page is the tag from its eighth character on, whatever the tag begins with.
TEST_P(HelpPageName, DropsTheFirstSevenCharacters) {
    EXPECT_EQ(help_page(GetParam().tag, GetParam().extension), GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, HelpPageName,
    ::testing::Values(PageCase{"HelpButton", "button_help_types", ".php", "help_types.php"},
                      PageCase{"OtherExtension", "button_help_types", ".txt", "help_types.txt"},
                      PageCase{"OtherPrefix", "abcdefgpage", ".php", "page.php"},
                      PageCase{"ExactlySeven", "button_", ".php", ".php"},
                      PageCase{"ShorterThanSeven", "help", ".php", ".php"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace tarvik::testing
