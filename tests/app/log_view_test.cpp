// The activity log's two buttons: showing the log over the window, hiding it, and saving it as text.
#include "app/log.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

// The log right after start, as saved: "Session started" with the scripted clock.
const char* const kStartLog = "Welcome!\n\nZERIVIzi LOG:\n\n\nSession started: 05-Dec-2026 11:54:46\n";

class LogSave : public StartedSession {
  protected:
    void save_as(const std::optional<std::string>& name) {
        s.scripted.dialogs.clear();
        s.scripted.fileAnswers.push_back(name ? std::optional(FileChoice{*name, folder.path().string()})
                                              : std::nullopt);
        dispatch_event(s.rt, "button_save_log");
    }
    TestFolder folder{"tarvik_log"};
};

// Cancelling writes nothing and shows nothing more; every item is one line, empty items included; an
// existing file is replaced whole.
TEST_F(LogSave, WritesTheLogLineByLineReplacingAnExistingFileUnlessCancelled) {
    save_as(std::nullopt);
    EXPECT_TRUE(folder.names().empty());
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    save_as("session.txt");
    EXPECT_EQ(file_contents(folder / "session.txt"), kStartLog);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    expect_dialog(s.scripted.last(), "save", "Save log", {"*.txt"}, Icon::None, true);

    write_contents(folder / "session.txt", std::string(5000, 'x') + "\n");
    update_log(s.rt, s.record(), TextList{"Subject  N", "", "s1  3"});
    save_as("session.txt");
    EXPECT_EQ(file_contents(folder / "session.txt"), std::string(kStartLog) + "\nSubject  N\n\ns1  3\n");
    EXPECT_EQ(folder.names(), TextList{"session.txt"});
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
}

// The extension is added only when ".txt" appears nowhere in the chosen name, compared case by case.
TEST_F(LogSave, TxtAnywhereInTheNameKeepsIt) {
    const std::pair<const char*, const char*> names[] = {
        {"notes", "notes.txt"},       {"notes.txt.bak", "notes.txt.bak"}, {"notes.txt", "notes.txt"},
        {"notes.txtx", "notes.txtx"}, {"notes.TXT", "notes.TXT.txt"},     {"notes.log", "notes.log.txt"}};
    for (const auto& [chosen, written] : names) {
        save_as(chosen);
        EXPECT_EQ(folder.names(), TextList{written}) << chosen;
        fs::remove(folder / written);
    }
}

TEST_F(LogSave, AnUnwritableFileIsReportedAndNothingIsWritten) {
    fs::create_directory(folder / "log.txt");
    write_contents(folder / "log.txt/keep", "kept");
    for (const char* name : {"no/such/log.txt", "log.txt"}) { // a missing folder, a folder of that name
        save_as(name);
        ASSERT_EQ(s.scripted.dialogs.size(), 2u) << name;
        const std::string reason =
            failure_report(s.scripted.last(), "Let Quillon know: \"log_save\"", "Function Error:\n\n ");
        EXPECT_NE(reason.find("Could not write"), std::string::npos) << reason;
        // Nothing new, not even a temporary file, is left behind.
        EXPECT_EQ(folder.names(), TextList{"log.txt"}) << name;
        EXPECT_EQ(file_contents(folder / "log.txt/keep"), "kept");
    }
}

using LogView = StartedSession;

// Shown, the log and its two covers lie over every control but the two log buttons, and every popup menu
// is hidden; hidden again, they keep their positions and the popup menus come back.
TEST_F(LogView, ShowingAndHidingTheLog) {
    const std::pair<const char*, Rect> covers[] = {
        {"listbox_log", {0.018, 0.057, 0.764, 0.938}},
        {"text_log_rightside_cover", {0.286, 0.005, 0.516, 0.11}},
        {"text_log_rightside_cover2", {0.712, 0.005, 0.288, 0.978}}};
    const auto popups = s.fig().find_style(Style::PopupMenu);
    ASSERT_EQ(popups.size(), 18u);
    for (bool shown : {true, false}) {
        SCOPED_TRACE(shown ? "shown" : "hidden");
        dispatch_event(s.rt, "button_view_log");
        EXPECT_EQ(s.control("button_view_log").string, TextList{shown ? "Hide Log" : "Show Log"});
        // Shown, the log is at its newest line.
        EXPECT_EQ(s.control("listbox_log").value, std::vector<double>{double(s.control("listbox_log").string.size())});
        for (const auto& tag : popups)
            EXPECT_EQ(s.control(tag).visible, !shown) << tag;
        for (const auto& [tag, position] : covers) {
            EXPECT_EQ(s.control(tag).visible, shown) << tag;
            EXPECT_EQ(s.control(tag).position, position) << tag;
        }
    }
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

} // namespace
} // namespace tarvik::testing
