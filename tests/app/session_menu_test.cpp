// Saving and opening sessions from the File menu on the headless main window: the reopened window is the
// saved one in every control and field and goes on working; cancelled dialogs and unwritable files leave
// the running session exactly as it was. (Damaged files: hostile_session_test.cpp.)
#include "app/session_file.h"
#include "support/session.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

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
    void choose(const std::string& name, const std::string& menuItem) {
        s.scripted.dialogs.clear();
        s.scripted.fileAnswers.push_back(FileChoice{name, dir_.path().string()});
        dispatch_event(s.rt, menuItem);
    }
    // The running session: its window, and that window with its controls and record written out.
    std::pair<std::shared_ptr<Figure>, std::string> snapshot() const {
        return {s.rt.main_window(), session_to_text(s.fig(), s.record())};
    }
    void expect_unchanged(const std::pair<std::shared_ptr<Figure>, std::string>& before) const {
        ASSERT_EQ(s.rt.main_window(), before.first);
        EXPECT_TRUE(before.first->alive());
        EXPECT_EQ(snapshot().second, before.second);
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
    const auto saved = snapshot();

    choose("study1", "menuItem_saveSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    expect_dialog(s.scripted.last(), "save", "Save session", {"*.tarvik"}, Icon::None, true);
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    expect_unchanged(saved); // saving changes nothing in the running session

    // Work goes on and is then thrown away by opening the saved session.
    dispatch_event(s.rt, "button_step_3");
    ASSERT_EQ(s.record().currStep, 3);
    choose("study1.tarvik", "menuItem_openSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    expect_dialog(s.scripted.last(), "open", "Open a .tarvik session file", {"*.tarvik"}, Icon::None, true);
    const auto reopened = s.rt.main_window();
    ASSERT_NE(reopened, saved.first);
    EXPECT_FALSE(saved.first->alive());
    ASSERT_EQ(created_, std::vector<std::shared_ptr<Figure>>{reopened});
    EXPECT_TRUE(createdWithRecord_[0]);

    // The same window, now shown, with every control and field as saved: step 4 with the log shown over
    // it and the popup menus hidden.
    EXPECT_TRUE(reopened->window().visible);
    reopened->set_window_visible(false);
    expect_unchanged({reopened, saved.second});
    EXPECT_EQ(s.record().currStep, 4);
    EXPECT_TRUE(s.control("listbox_log").visible);
    for (const auto& tag : s.fig().find_style(Style::PopupMenu))
        EXPECT_FALSE(s.control(tag).visible) << tag;

    // Its callbacks dispatch with its own record.
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    EXPECT_EQ(overlap_lines(), 9u);
    dispatch_event(s.rt, "button_step_3");
    EXPECT_EQ(s.record().currStep, 3);
    EXPECT_EQ(s.control("button_continue_to_overlap").enable, Enable::On);

    // A reopened window is replaced like any other.
    choose("study1.tarvik", "menuItem_openSession");
    EXPECT_FALSE(reopened->alive());
    EXPECT_EQ(s.rt.main_window(), created_.at(1));
}

TEST_F(SessionMenu, CancellingEitherDialogLeavesTheSessionAndCancellingTheOpenDialogSaysSo) {
    const auto before = snapshot();
    dispatch_event(s.rt, "menuItem_saveSession");
    dispatch_event(s.rt, "menuItem_openSession");
    EXPECT_TRUE(dir_.names().empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 3u);
    expect_dialog(s.scripted.last(), "message", "Could not open file.",
                  {"This file is empty or you selected 'Cancel'. Please select a different file."},
                  Icon::None, true);
    expect_unchanged(before);
    EXPECT_TRUE(created_.empty());
}

TEST_F(SessionMenu, ASaveThatFailsIsReportedAndChangesNothing) {
    fs::create_directory(dir_ / "study1.tarvik");
    const auto before = snapshot();
    choose("study1", "menuItem_saveSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(failure_report(s.scripted.last(), "Let Quillon know: \"menuItem_saveSession_Callback\"",
                             "Function Error:\n\n "),
              "Could not save the session to \"" + (dir_ / "study1.tarvik") + "\": a folder has that name.");
    EXPECT_TRUE(fs::is_directory(dir_ / "study1.tarvik"));
    EXPECT_EQ(dir_.names(), std::vector<std::string>{"study1.tarvik"});
    expect_unchanged(before);
}

} // namespace
} // namespace tarvik::testing
