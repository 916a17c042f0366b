// The activity log's two buttons: showing the log over the window, hiding it, and saving it as text.
#include "app/log.h"
#include "app/log_view.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

const Rect kShownLog = {0.018, 0.057, 0.764, 0.938};
const Rect kShownCover = {0.286, 0.005, 0.516, 0.11};
const Rect kShownCover2 = {0.712, 0.005, 0.288, 0.978};
const int kPopupMenus = 18;

// The log right after start, as saved: "Session started" with the scripted clock.
const char* const kStartLog = "Welcome!\n\nZERIVIzi LOG:\n\n\nSession started: 05-Dec-2026 11:54:46\n";

class LogSave : public StartedSession {
  protected:
    void save_as(const std::optional<std::string>& name) {
        s.scripted.fileAnswers.push_back(name ? std::optional(FileChoice{*name, folder.path().string()})
                                              : std::nullopt);
        dispatch_event(s.rt, "button_save_log");
    }
    TestFolder folder{"tarvik_log"};
};

TEST_F(LogSave, RightAfterStartWritesTheWelcomeBlockAndTheSessionLine) {
    save_as("session.txt");

    EXPECT_EQ(file_contents(folder / "session.txt"), kStartLog);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "save");
    EXPECT_EQ(d.text, TextList{"*.txt"});
    EXPECT_EQ(d.title, "Save log");
}

TEST_F(LogSave, EveryItemIsOneLineEmptyItemsIncluded) {
    Handles h = update_log(s.rt, s.record(), TextList{"Subject  N", "", "s1  3"});
    update_log(s.rt, h, std::string("last"));
    save_as("study.txt");

    EXPECT_EQ(file_contents(folder / "study.txt"),
              std::string(kStartLog) + "\nSubject  N\n\ns1  3\n\n\nlast\n");
    EXPECT_EQ(log_file_text({}), "");
    EXPECT_EQ(log_file_text({""}), "\n");
}

TEST_F(LogSave, AnExistingFileIsReplacedWhole) {
    write_contents(folder / "old.txt", std::string(5000, 'x') + "\n");
    save_as("old.txt");

    EXPECT_EQ(file_contents(folder / "old.txt"), kStartLog);
    EXPECT_EQ(folder.names(), TextList{"old.txt"});
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
}

TEST_F(LogSave, CancellingWritesNothingAndShowsNothing) {
    const TextList logBefore = s.log();
    save_as(std::nullopt);

    EXPECT_TRUE(folder.names().empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "save");
    EXPECT_EQ(s.log(), logBefore);
}

// The extension is added only when ".txt" appears nowhere in the chosen name, compared case by case.
TEST_F(LogSave, TxtAnywhereInTheNameKeepsIt) {
    const std::pair<const char*, const char*> names[] = {
        {"notes", "notes.txt"},       {"notes.txt.bak", "notes.txt.bak"}, {"notes.txt", "notes.txt"},
        {"notes.txtx", "notes.txtx"}, {"notes.TXT", "notes.TXT.txt"},     {"notes.log", "notes.log.txt"}};
    for (const auto& [chosen, written] : names) {
        save_as(chosen);
        EXPECT_EQ(folder.names(), TextList{written}) << chosen;
        EXPECT_EQ(file_contents(folder / written), kStartLog) << chosen;
        fs::remove(folder / written);
    }
}

TEST_F(LogSave, AnUnwritableFileIsReportedAndNothingIsWritten) {
    fs::create_directory(folder / "log.txt");
    write_contents(folder / "log.txt/keep", "kept");
    const auto before = folder.names();
    for (const char* name : {"no/such/log.txt", "log.txt"}) { // a missing folder, a folder of that name
        s.scripted.dialogs.clear();
        save_as(name);
        ASSERT_EQ(s.scripted.dialogs.size(), 2u) << name;
        const std::string reason =
            failure_report(s.scripted.last(), "Let Quillon know: \"log_save\"", "Function Error:\n\n ");
        EXPECT_NE(reason.find("Could not write"), std::string::npos) << reason;
        // Nothing new, not even a temporary file, is left behind.
        EXPECT_EQ(folder.names(), before) << name;
        EXPECT_EQ(file_contents(folder / "log.txt/keep"), "kept");
    }
}

class LogView : public StartedSession {
  protected:
    int visible_popup_menus() const {
        int n = 0;
        for (const auto& tag : s.fig().find_style(Style::PopupMenu))
            n += s.control(tag).visible ? 1 : 0;
        return n;
    }
    void expect_log_shown(bool shown) const {
        EXPECT_EQ(visible_popup_menus(), shown ? 0 : kPopupMenus);
        EXPECT_EQ(s.control("button_view_log").string, TextList{shown ? "Hide Log" : "Show Log"});
        // Hiding keeps the positions.
        const std::pair<const char*, Rect> covers[] = {{"listbox_log", kShownLog},
                                                       {"text_log_rightside_cover", kShownCover},
                                                       {"text_log_rightside_cover2", kShownCover2}};
        for (const auto& [tag, position] : covers) {
            EXPECT_EQ(s.control(tag).visible, shown) << tag;
            EXPECT_EQ(s.control(tag).position, position) << tag;
        }
        EXPECT_TRUE(s.scripted.dialogs.empty());
    }
};

TEST_F(LogView, ShowingBringsTheLogAndItsCoversUpOverAllButTheTwoLogButtons) {
    ASSERT_EQ(s.fig().find_style(Style::PopupMenu).size(), static_cast<std::size_t>(kPopupMenus));
    ASSERT_EQ(visible_popup_menus(), kPopupMenus);
    dispatch_event(s.rt, "button_view_log");
    expect_log_shown(true);

    auto overlaps = [](const Rect& a, const Rect& b) {
        return a.left < b.left + b.width && b.left < a.left + a.width && a.bottom < b.bottom + b.height &&
               b.bottom < a.bottom + a.height;
    };
    for (const char* button : {"button_view_log", "button_save_log"})
        for (const char* cover : {"listbox_log", "text_log_rightside_cover", "text_log_rightside_cover2"})
            EXPECT_FALSE(overlaps(s.control(button).position, s.control(cover).position)) << button << cover;
}

TEST_F(LogView, HidingShowsEveryPopupMenuAgainAndKeepsThePositions) {
    dispatch_event(s.rt, "button_view_log");
    dispatch_event(s.rt, "button_view_log");
    expect_log_shown(false);
}

} // namespace
} // namespace tarvik::testing
