// The activity log's two buttons: showing the log over the window, hiding it, and saving it as text.
#include "app/log.h"
#include "app/log_view.h"
#include "app/session.h"
#include "app/test_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarvik::testing {
namespace {

namespace fs = std::filesystem;

const Rect kShownLog = {0.018, 0.057, 0.764, 0.938};
const Rect kShownCover = {0.286, 0.005, 0.516, 0.11};
const Rect kShownCover2 = {0.712, 0.005, 0.288, 0.978};
const int kPopupMenus = 18;

const char* const kLogSaveTitle = "Let Quillon know: \"log_save\"";

// The log right after start, as saved: "Session started" with the scripted clock.
const char* const kStartLog = "Welcome!\n\nZERIVIzi LOG:\n\n\nSession started: 05-Dec-2026 11:54:46\n";

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The names in a folder, sorted.
std::vector<std::string> folder_names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// An empty folder for one test, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        dir_ = make_test_folder("tarvik_log");
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return dir_; }
    FileChoice choice(const std::string& name) const { return {name, dir_.string()}; }

  private:
    fs::path dir_;
};

class LogSave : public StartedSession {
  protected:
    void save_as(const std::optional<FileChoice>& answer) {
        s.scripted.fileAnswers.push_back(answer);
        dispatch_event(s.rt, "button_save_log");
    }
    TempFolder folder;
};

TEST_F(LogSave, RightAfterStartWritesTheWelcomeBlockAndTheSessionLine) {
    save_as(folder.choice("session.txt"));

    EXPECT_EQ(read_file(folder.path() / "session.txt"), kStartLog);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "save");
    EXPECT_EQ(d.text, TextList{"*.txt"});
    EXPECT_EQ(d.title, "Save log");
}

TEST_F(LogSave, EveryItemIsOneLineEmptyItemsIncluded) {
    Handles h = update_log(s.rt, s.record(), TextList{"Subject  N", "", "s1  3"});
    update_log(s.rt, h, std::string("last"));
    save_as(folder.choice("study.txt"));

    EXPECT_EQ(read_file(folder.path() / "study.txt"),
              std::string(kStartLog) + "\nSubject  N\n\ns1  3\n\n\nlast\n");
}

TEST_F(LogSave, AnExistingFileIsReplacedWhole) {
    std::ofstream(folder.path() / "old.txt") << std::string(5000, 'x') << "\n";
    save_as(folder.choice("old.txt"));

    EXPECT_EQ(read_file(folder.path() / "old.txt"), kStartLog);
    EXPECT_EQ(folder_names(folder.path()), TextList{"old.txt"});
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
}

TEST_F(LogSave, CancellingWritesNothingAndShowsNothing) {
    const TextList logBefore = s.log();
    save_as(std::nullopt);

    EXPECT_TRUE(folder_names(folder.path()).empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().kind, "save");
    EXPECT_EQ(s.log(), logBefore);
}

struct NameCase {
    const char* label;
    const char* chosen;
    const char* written;
};
void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.label;
}

class LogFileName : public LogSave, public ::testing::WithParamInterface<NameCase> {};

// The extension is added only when ".txt" appears nowhere in the chosen name, compared case by case.
TEST_P(LogFileName, TxtAnywhereKeepsTheName) {
    save_as(folder.choice(GetParam().chosen));

    EXPECT_EQ(folder_names(folder.path()), TextList{GetParam().written});
    EXPECT_EQ(read_file(folder.path() / GetParam().written), kStartLog);
}

INSTANTIATE_TEST_SUITE_P(ChosenNames, LogFileName,
                         ::testing::Values(NameCase{"NoExtension", "notes", "notes.txt"},
                                           NameCase{"TxtInTheMiddle", "notes.txt.bak", "notes.txt.bak"},
                                           NameCase{"TxtExtension", "notes.txt", "notes.txt"},
                                           NameCase{"TxtAsPartOfALongerExtension", "notes.txtx",
                                                    "notes.txtx"},
                                           NameCase{"CapitalTxt", "notes.TXT", "notes.TXT.txt"},
                                           NameCase{"OtherExtension", "notes.log", "notes.log.txt"}),
                         [](const auto& info) { return std::string(info.param.label); });

struct UnwritableCase {
    const char* label;
    // Prepares the folder and returns the name to choose, relative to it.
    std::string (*prepare)(const fs::path& dir);
};
void PrintTo(const UnwritableCase& c, std::ostream* os) {
    *os << c.label;
}

class UnwritableLogFile : public LogSave, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableLogFile, ReportsAndWritesNothing) {
    const std::string name = GetParam().prepare(folder.path());
    const auto before = folder_names(folder.path());
    save_as(folder.choice(name));

    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "warning");
    EXPECT_EQ(d.title, kLogSaveTitle);
    ASSERT_EQ(d.text.size(), 1u);
    EXPECT_EQ(d.text.front().rfind("Function Error:\n\n ", 0), 0u) << d.text.front();
    EXPECT_NE(d.text.front().find("Could not write"), std::string::npos) << d.text.front();
    EXPECT_TRUE(d.modal);
    EXPECT_TRUE(d.waited);
    // Nothing new, not even a temporary file, is left behind.
    EXPECT_EQ(folder_names(folder.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Targets, UnwritableLogFile,
                         ::testing::Values(UnwritableCase{"MissingFolder",
                                                          [](const fs::path&) {
                                                              return std::string("no/such/log.txt");
                                                          }},
                                           UnwritableCase{"FolderOfThatName",
                                                          [](const fs::path& dir) {
                                                              fs::create_directory(dir / "log.txt");
                                                              std::ofstream(dir / "log.txt" / "keep")
                                                                  << "kept";
                                                              return std::string("log.txt");
                                                          }}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(LogFileText, EveryItemEndsInALineBreak) {
    EXPECT_EQ(log_file_text({}), "");
    EXPECT_EQ(log_file_text({""}), "\n");
    EXPECT_EQ(log_file_text({"a", "", "b"}), "a\n\nb\n");
}

class LogView : public StartedSession {
  protected:
    std::vector<std::string> popup_menus() const { return s.fig().find_style(Style::PopupMenu); }
    int visible_popup_menus() const {
        int n = 0;
        for (const auto& tag : popup_menus())
            n += s.control(tag).visible ? 1 : 0;
        return n;
    }
};

TEST_F(LogView, ShowingBringsTheLogAndItsCoversUpAndHidesEveryPopupMenu) {
    ASSERT_EQ(popup_menus().size(), static_cast<std::size_t>(kPopupMenus));
    ASSERT_EQ(visible_popup_menus(), kPopupMenus);
    dispatch_event(s.rt, "button_view_log");

    EXPECT_EQ(visible_popup_menus(), 0);
    EXPECT_TRUE(s.control("listbox_log").visible);
    EXPECT_EQ(s.control("listbox_log").position, kShownLog);
    EXPECT_EQ(s.control("button_view_log").string, TextList{"Hide Log"});
    EXPECT_TRUE(s.control("text_log_rightside_cover").visible);
    EXPECT_EQ(s.control("text_log_rightside_cover").position, kShownCover);
    EXPECT_TRUE(s.control("text_log_rightside_cover2").visible);
    EXPECT_EQ(s.control("text_log_rightside_cover2").position, kShownCover2);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(LogView, HidingShowsEveryPopupMenuAgainAndKeepsThePositions) {
    dispatch_event(s.rt, "button_view_log");
    dispatch_event(s.rt, "button_view_log");

    EXPECT_EQ(visible_popup_menus(), kPopupMenus);
    EXPECT_FALSE(s.control("listbox_log").visible);
    EXPECT_EQ(s.control("button_view_log").string, TextList{"Show Log"});
    EXPECT_FALSE(s.control("text_log_rightside_cover").visible);
    EXPECT_FALSE(s.control("text_log_rightside_cover2").visible);
    EXPECT_EQ(s.control("listbox_log").position, kShownLog);
    EXPECT_EQ(s.control("text_log_rightside_cover").position, kShownCover);
    EXPECT_EQ(s.control("text_log_rightside_cover2").position, kShownCover2);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(LogView, TheTwoLogButtonsStayUncovered) {
    dispatch_event(s.rt, "button_view_log");
    auto overlaps = [](const Rect& a, const Rect& b) {
        return a.left < b.left + b.width && b.left < a.left + a.width && a.bottom < b.bottom + b.height &&
               b.bottom < a.bottom + a.height;
    };
    for (const char* button : {"button_view_log", "button_save_log"})
        for (const char* cover : {"listbox_log", "text_log_rightside_cover", "text_log_rightside_cover2"})
            EXPECT_FALSE(overlaps(s.control(button).position, s.control(cover).position)) << button << cover;
}

} // namespace
} // namespace tarvik::testing
