// Saving and opening sessions from the File menu on the headless main window: the reopened window is the
// saved one in every control and field and goes on working; cancelled dialogs and unusable files leave
// the running session exactly as it was.
#include "app/session_menu.h"

#include "app/session.h"
#include "app/test_folder.h"
#include "app/session_file.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

const char* const kOpenFailedTitle = "Let Quillon know: \"menuItem_openSession_Callback\"";
const char* const kSaveFailedTitle = "Let Quillon know: \"menuItem_saveSession_Callback\"";

// The same double, NaN included.
bool same_number(const std::optional<double>& a, const std::optional<double>& b) {
    if (!a || !b)
        return !a && !b;
    return std::isnan(*a) ? std::isnan(*b)
                          : std::bit_cast<std::uint64_t>(*a) == std::bit_cast<std::uint64_t>(*b);
}

// Records compared field by field. Overlap results hold NaN where a group has no volume, and NaN is
// unequal to itself, so the overlap table is compared number by number and the rest with ==; the
// written form of both must be the same text as well.
void expect_same_record(const Handles& got, const Handles& want) {
    Handles gotRest = got;
    Handles wantRest = want;
    gotRest.overlap.clear();
    wantRest.overlap.clear();
    EXPECT_EQ(gotRest, wantRest);
    ASSERT_EQ(got.overlap.size(), want.overlap.size());
    for (const auto& [pair, cell] : want.overlap) {
        SCOPED_TRACE(std::to_string(pair.first) + "," + std::to_string(pair.second));
        ASSERT_TRUE(got.overlap.contains(pair));
        const OverlapCell& other = got.overlap.at(pair);
        for (auto field : {&OverlapCell::value, &OverlapCell::E1ovfrac, &OverlapCell::E2ovfrac,
                           &OverlapCell::E1sum, &OverlapCell::E2sum, &OverlapCell::Ebothsum,
                           &OverlapCell::value2D, &OverlapCell::E1ovfrac2D, &OverlapCell::E2ovfrac2D,
                           &OverlapCell::E1sum2D, &OverlapCell::E2sum2D, &OverlapCell::Ebothsum2D})
            EXPECT_TRUE(same_number(other.*field, cell.*field));
        for (auto field : {&OverlapCell::Bothcoordx, &OverlapCell::Bothcoordy, &OverlapCell::Bothcoordz,
                           &OverlapCell::Bothcoordx2D, &OverlapCell::Bothcoordy2D})
            EXPECT_EQ(other.*field, cell.*field);
    }
    const Figure window(main_window_properties(), main_window_layout());
    EXPECT_EQ(session_to_text(window, got), session_to_text(window, want));
}

class SessionMenu : public StartedSession {
  protected:
    void SetUp() override {
        StartedSession::SetUp();
        dir_ = make_test_folder("tarvik_session_menu");
        s.rt.onWindowCreated = [this](const std::shared_ptr<Figure>& w) {
            created_.push_back(w);
            // What a view sees when it is made for the window: its controls and its record.
            createdWithRecord_.push_back(w->retrieve().has_value());
        };
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Steps 1 to 3 with three groups, one per vowel, ending in step 4.
    void reach_step_4() { run_steps_1_to_3(s); }
    void click(const char* tag, double value) {
        s.fig().set_value(tag, value);
        dispatch_event(s.rt, tag);
    }
    // The log brought up over the window, as its view handler leaves it.
    void show_log() {
        Figure& f = s.fig();
        for (const auto& tag : f.find_style(Style::PopupMenu))
            f.set_visible(tag, false);
        f.set_position("listbox_log", {0.018, 0.057, 0.764, 0.938});
        f.set_visible("listbox_log", true);
        f.set_string("button_view_log", {"Hide Log"});
        f.set_position("text_log_rightside_cover", {0.286, 0.005, 0.516, 0.11});
        f.set_visible("text_log_rightside_cover", true);
        f.set_position("text_log_rightside_cover2", {0.712, 0.005, 0.288, 0.978});
        f.set_visible("text_log_rightside_cover2", true);
    }
    std::size_t overlap_lines() const {
        return static_cast<std::size_t>(
            std::count_if(s.log().begin(), s.log().end(),
                          [](const std::string& l) { return l.find("VOWEL OVERLAP") != std::string::npos; }));
    }

    void save_as(const std::string& name) {
        s.scripted.fileAnswers.push_back(FileChoice{name, dir_.string()});
        dispatch_event(s.rt, "menuItem_saveSession");
    }
    void open(const std::string& name) {
        s.scripted.fileAnswers.push_back(FileChoice{name, dir_.string()});
        dispatch_event(s.rt, "menuItem_openSession");
    }
    std::vector<std::string> folder() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / name, std::ios::binary) << text;
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

    fs::path dir_;
    std::vector<std::shared_ptr<Figure>> created_;
    std::vector<bool> createdWithRecord_;
};

TEST_F(SessionMenu, AStep4SessionWithTheLogShownReopensAsItWasSavedAndGoesOnWorking) {
    reach_step_4();
    click("checkbox_all_group_overlap", 1);
    dispatch_event(s.rt, "button_calculate_2Doverlap");
    dispatch_event(s.rt, "button_calculate_3Doverlap");
    ASSERT_EQ(overlap_lines(), 6u);
    show_log();
    s.scripted.dialogs.clear();
    const Snapshot saved = snapshot();

    save_as("study1");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "save");
    EXPECT_EQ(s.scripted.last().text, TextList{"*.tarvik"});
    EXPECT_EQ(s.scripted.last().title, "Save session");
    EXPECT_EQ(folder(), std::vector<std::string>{"study1.tarvik"});
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

TEST_F(SessionMenu, CancellingTheSaveDialogWritesNothing) {
    const Snapshot before = snapshot();
    dispatch_event(s.rt, "menuItem_saveSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "save");
    EXPECT_TRUE(folder().empty());
    expect_unchanged(before);
}

TEST_F(SessionMenu, CancellingTheOpenDialogSaysSoAndLeavesTheSession) {
    const Snapshot before = snapshot();
    dispatch_event(s.rt, "menuItem_openSession");
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
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

// ------------------------------------------------------------------------------------------------

struct UnusableFile {
    const char* name;
    std::string content; // "" for no file at all
    std::string reason;
};
void PrintTo(const UnusableFile& c, std::ostream* os) {
    *os << c.name;
}

class UnusableSessionFiles : public SessionMenu, public ::testing::WithParamInterface<UnusableFile> {};

TEST_P(UnusableSessionFiles, AreReportedAndLeaveTheCurrentSessionAsItWas) {
    // A session with work in it, to be kept.
    s.scripted.fileAnswers.push_back(FileChoice{"wiz_vowels.txt", TARVIK_TEST_DATA_DIR});
    dispatch_event(s.rt, "button_load_file");
    ASSERT_FALSE(s.record().header.empty());
    std::string content = GetParam().content;
    if (content == "<cut session>") {
        const std::string whole = session_to_text(s.fig(), s.record());
        content = whole.substr(0, whole.size() * 2 / 3);
    }
    if (!content.empty())
        write("bad.tarvik", content);
    s.scripted.dialogs.clear();
    const Snapshot before = snapshot();

    open("bad.tarvik");

    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    const DialogRecord& report = s.scripted.last();
    EXPECT_EQ(report.kind, "warning");
    EXPECT_EQ(report.title, kOpenFailedTitle);
    const std::string path = (dir_ / "bad.tarvik").string();
    EXPECT_EQ(report.text, TextList{"Function Error:\n\n Could not open the session file \"" + path +
                                    "\": " + GetParam().reason});
    EXPECT_TRUE(report.modal);
    EXPECT_TRUE(report.waited);
    expect_unchanged(before);
    EXPECT_TRUE(created_.empty());
    // The window goes on dispatching with its record.
    dispatch_event(s.rt, "menuItem_about");
    EXPECT_EQ(s.scripted.last().title, "About ZERIVIzi");
    EXPECT_EQ(s.scripted.last().text, before.record.aboutMessage);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableSessionFiles,
    ::testing::Values(
        UnusableFile{"Missing", "", "there is no such file."},
        UnusableFile{"Garbage", std::string("\x89PNG\r\n\x1a\n\0\0", 10),
                     "it is not a TARVIK3D session file (it is not JSON text)."},
        UnusableFile{"Truncated", "<cut session>",
                     "the file is incomplete: it ends before the session does."},
        UnusableFile{"Foreign", R"({"format":"tarvik3d-overlap","version":1,"pairs":[]})",
                     "it is not a TARVIK3D session file."},
        UnusableFile{
            "Newer", R"({"format":"tarvik3d-session","version":7,"window":{}})",
            "it was written by a newer version of TARVIK3D (session format 7; this version reads format 1)."},
        UnusableFile{"Damaged",
                     R"({"format":"tarvik3d-session","version":1,"program":"TARVIK3D","window":[]})",
                     "the file is damaged at window: expected an object."}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------------------------------------

struct SaveName {
    const char* chosen;
    const char* written;
};
void PrintTo(const SaveName& c, std::ostream* os) {
    *os << c.chosen;
}

class SessionSaveNames : public SessionMenu, public ::testing::WithParamInterface<SaveName> {};

TEST_P(SessionSaveNames, GetTheExtensionOnlyWhenTheyLackIt) {
    save_as(GetParam().chosen);
    EXPECT_EQ(folder(), std::vector<std::string>{GetParam().written});
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Names, SessionSaveNames,
                         ::testing::Values(SaveName{"study1", "study1.tarvik"},
                                           SaveName{"study1.tarvik", "study1.tarvik"},
                                           SaveName{"run.tarvik.bak", "run.tarvik.bak"},
                                           SaveName{"Study.TARVIK", "Study.TARVIK.tarvik"}),
                         [](const auto& info) {
                             std::string n = info.param.chosen;
                             std::replace(n.begin(), n.end(), '.', '_');
                             return n;
                         });

TEST_F(SessionMenu, ASaveThatFailsIsReportedAndChangesNothing) {
    fs::create_directory(dir_ / "study1.tarvik");
    const Snapshot before = snapshot();
    save_as("study1");
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    const DialogRecord& report = s.scripted.last();
    EXPECT_EQ(report.title, kSaveFailedTitle);
    EXPECT_EQ(report.text, TextList{"Function Error:\n\n Could not save the session to \"" +
                                    (dir_ / "study1.tarvik").string() + "\": a folder has that name."});
    EXPECT_TRUE(report.modal);
    EXPECT_TRUE(report.waited);
    EXPECT_TRUE(fs::is_directory(dir_ / "study1.tarvik"));
    EXPECT_EQ(folder(), std::vector<std::string>{"study1.tarvik"});
    expect_unchanged(before);
}

} // namespace
} // namespace tarvik::testing
