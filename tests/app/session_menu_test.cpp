// Saving and opening sessions from the File menu on the headless main window: the reopened window is the
// saved one in every control and field and goes on working; cancelled dialogs and unusable files leave
// the running session exactly as it was.
#include "app/session_menu.h"

#include "support/session.h"
#include "app/session_file.h"
#include "support/test_folder.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

const char* const kOpenFailedTitle = "Let Quillon know: \"menuItem_openSession_Callback\"";
const char* const kSaveFailedTitle = "Let Quillon know: \"menuItem_saveSession_Callback\"";

// Records compared with ==, all but the overlap table: its results hold NaN where a group has no volume,
// and NaN is unequal to itself. The written form of both, NaN included, must be the same text as well.
void expect_same_record(const Handles& got, const Handles& want) {
    Handles gotRest = got;
    Handles wantRest = want;
    gotRest.overlap.clear();
    wantRest.overlap.clear();
    EXPECT_EQ(gotRest, wantRest);
    const Figure window(main_window_properties(), main_window_layout());
    EXPECT_EQ(session_to_text(window, got), session_to_text(window, want));
}

class SessionMenu : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        s.rt.onWindowCreated = [this](const std::shared_ptr<Figure>& w) {
            created_.push_back(w);
            // What a view sees when it is made for the window: its controls and its record.
            createdWithRecord_.push_back(w->retrieve().has_value());
        };
    }
    std::size_t overlap_lines() const {
        return static_cast<std::size_t>(
            std::count_if(s.log().begin(), s.log().end(),
                          [](const std::string& l) { return l.find("VOWEL OVERLAP") != std::string::npos; }));
    }
    void save_as(const std::string& name) {
        s.scripted.fileAnswers.push_back(FileChoice{name, dir_.path().string()});
        dispatch_event(s.rt, "menuItem_saveSession");
    }
    void open(const std::string& name) {
        s.scripted.fileAnswers.push_back(FileChoice{name, dir_.path().string()});
        dispatch_event(s.rt, "menuItem_openSession");
    }

    // The running session, to check that something left it alone.
    struct Snapshot {
        std::shared_ptr<Figure> window;
        WindowProps props;
        std::vector<Control> objects;
        Handles record;
    };
    Snapshot snapshot() const {
        return {s.rt.main_window(), s.fig().window(), s.fig().objects(), s.record()};
    }
    void expect_unchanged(const Snapshot& before) const {
        ASSERT_EQ(s.rt.main_window(), before.window);
        EXPECT_TRUE(before.window->alive());
        EXPECT_EQ(s.fig().window(), before.props);
        EXPECT_EQ(s.fig().objects(), before.objects);
        expect_same_record(s.record(), before.record);
    }

    TestFolder dir_{"tarvik_session_menu"};
    std::vector<std::shared_ptr<Figure>> created_;
    std::vector<bool> createdWithRecord_;
};

TEST_F(SessionMenu, AStep4SessionWithTheLogShownReopensAsItWasSavedAndGoesOnWorking) {
    run_steps_1_to_3(s, {.overlaps = true});
    s.click("checkbox_all_group_overlap", 1);
    ASSERT_EQ(overlap_lines(), 6u);
    dispatch_event(s.rt, "button_view_log");
    s.scripted.dialogs.clear();
    const Snapshot saved = snapshot();

    save_as("study1");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "save");
    EXPECT_EQ(s.scripted.last().text, TextList{"*.tarvik"});
    EXPECT_EQ(s.scripted.last().title, "Save session");
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    // Saving changes nothing in the running session.
    expect_unchanged(saved);

    // Work goes on and is then thrown away by opening the saved session.
    dispatch_event(s.rt, "button_step_3");
    ASSERT_EQ(s.record().currStep, 3);
    s.scripted.dialogs.clear();
    open("study1.tarvik");

    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "open");
    EXPECT_EQ(s.scripted.last().text, TextList{"*.tarvik"});
    EXPECT_EQ(s.scripted.last().title, "Open a .tarvik session file");
    const auto reopened = s.rt.main_window();
    ASSERT_NE(reopened, nullptr);
    ASSERT_NE(reopened, saved.window);
    EXPECT_FALSE(saved.window->alive());
    ASSERT_EQ(created_.size(), 1u);
    EXPECT_EQ(created_[0], reopened);
    EXPECT_TRUE(createdWithRecord_[0]);

    // The same window, now shown, with every control as it was saved.
    WindowProps shown = saved.props;
    shown.visible = true;
    EXPECT_EQ(reopened->window(), shown);
    ASSERT_EQ(reopened->objects().size(), saved.objects.size());
    for (std::size_t i = 0; i < saved.objects.size(); ++i) {
        SCOPED_TRACE(saved.objects[i].tag);
        EXPECT_EQ(reopened->objects()[i], saved.objects[i]);
    }
    const Handles record = s.record();
    expect_same_record(record, saved.record);

    // Step 4 with the log shown over it and the popup menus hidden.
    EXPECT_EQ(record.currStep, 4);
    EXPECT_TRUE(s.control("listbox_log").visible);
    EXPECT_EQ(s.control("button_view_log").string, TextList{"Hide Log"});
    for (const auto& tag : s.fig().find_style(Style::PopupMenu))
        EXPECT_FALSE(s.control(tag).visible) << tag;
    EXPECT_EQ(s.control("button_calculate_2Doverlap").enable, Enable::On);
    EXPECT_EQ(s.control("button_continue_to_overlap").enable, Enable::Off);

    // Its callbacks dispatch with its own record.
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    EXPECT_EQ(overlap_lines(), 9u);
    expect_same_record(s.record(), saved.record);
    dispatch_event(s.rt, "button_step_3");
    EXPECT_EQ(s.record().currStep, 3);
    EXPECT_EQ(s.control("button_continue_to_overlap").enable, Enable::On);
    EXPECT_EQ(s.rt.main_window(), reopened);
}

TEST_F(SessionMenu, TheReopenedWindowReplacesEvenAnEarlierReopenedOne) {
    save_as("first");
    open("first.tarvik");
    const auto second = s.rt.main_window();
    open("first.tarvik");
    EXPECT_FALSE(second->alive());
    EXPECT_EQ(created_.size(), 2u);
    EXPECT_EQ(s.rt.main_window(), created_.back());
    EXPECT_EQ(s.log().back().rfind("Session started: ", 0), 0u);
}

TEST_F(SessionMenu, CancellingEitherDialogLeavesTheSessionAndCancellingTheOpenDialogSaysSo) {
    const Snapshot before = snapshot();
    dispatch_event(s.rt, "menuItem_saveSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "save");
    EXPECT_TRUE(dir_.names().empty());

    dispatch_event(s.rt, "menuItem_openSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 3u);
    const DialogRecord& note = s.scripted.last();
    EXPECT_EQ(note.kind, "message");
    EXPECT_EQ(note.title, "Could not open file.");
    EXPECT_EQ(note.text,
              TextList{"This file is empty or you selected 'Cancel'. Please select a different file."});
    EXPECT_EQ(note.icon, Icon::None);
    EXPECT_TRUE(note.waited);
    expect_unchanged(before);
    EXPECT_TRUE(created_.empty());
}

TEST_F(SessionMenu, UnusableFilesAreReportedAndLeaveTheCurrentSessionAsItWas) {
    // A session with work in it, to be kept. (More damaged and cut files: hostile_session_test.cpp.)
    s.scripted.fileAnswers.push_back(FileChoice{"wiz_vowels.txt", TARVIK_TEST_DATA_DIR});
    dispatch_event(s.rt, "button_load_file");
    ASSERT_FALSE(s.record().header.empty());
    const std::pair<std::string, std::string> files[] = {
        // content, "" for no file at all; reason
        {"", "there is no such file."},
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10),
         "it is not a TARVIK3D session file (it is not JSON text)."},
        {R"({"format":"tarvik3d-session","version":7,"window":{}})",
         "it was written by a newer version of TARVIK3D (session format 7; this version reads format 1)."},
        {R"({"format":"tarvik3d-session","version":1,"program":"TARVIK3D","window":[]})",
         "the file is damaged at window: expected an object."}};
    const Snapshot before = snapshot();
    for (const auto& [content, reason] : files) {
        SCOPED_TRACE(reason);
        fs::remove(dir_ / "bad.tarvik");
        if (!content.empty())
            write_contents(dir_ / "bad.tarvik", content);
        s.scripted.dialogs.clear();
        open("bad.tarvik");

        ASSERT_EQ(s.scripted.dialogs.size(), 2u);
        EXPECT_EQ(failure_report(s.scripted.last(), kOpenFailedTitle, "Function Error:\n\n "),
                  "Could not open the session file \"" + (dir_ / "bad.tarvik") + "\": " + reason);
        expect_unchanged(before);
        EXPECT_TRUE(created_.empty());
        // The window goes on dispatching with its record.
        dispatch_event(s.rt, "menuItem_about");
        EXPECT_EQ(s.scripted.last().title, "About ZERIVIzi");
        EXPECT_EQ(s.scripted.last().text, before.record.aboutMessage);
    }
}

// The rule itself: SessionNames in session_file_test.cpp.
TEST_F(SessionMenu, SavedNamesGetTheExtensionOnlyWhenTheyLackItCaseByCase) {
    save_as("Study.TARVIK");
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"Study.TARVIK.tarvik"});
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
}

TEST_F(SessionMenu, ASaveThatFailsIsReportedAndChangesNothing) {
    fs::create_directory(dir_ / "study1.tarvik");
    const Snapshot before = snapshot();
    save_as("study1");
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(failure_report(s.scripted.last(), kSaveFailedTitle, "Function Error:\n\n "),
              "Could not save the session to \"" + (dir_ / "study1.tarvik") + "\": a folder has that name.");
    EXPECT_TRUE(fs::is_directory(dir_ / "study1.tarvik"));
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    expect_unchanged(before);
}

} // namespace
} // namespace tarvik::testing
