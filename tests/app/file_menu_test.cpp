// The File menu's own handlers (Print, Exit) and the placeholder note.
#include "app/session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

struct ExitCase {
    const char* name;
    std::string answer;
    bool windowStays;
};
void PrintTo(const ExitCase& c, std::ostream* os) {
    *os << c.name;
}

class ExitQuestion : public ::testing::TestWithParam<ExitCase> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(ExitQuestion, OnlyNoKeepsTheMainWindow) {
    s.scripted.questionAnswers.push_back(GetParam().answer);
    dispatch_event(s.rt, "menuItem_exit");

    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "question");
    EXPECT_EQ(d.title, "Quit TARVIK3D?");
    EXPECT_EQ(d.text, TextList{"Did you remember to save your session? Are you sure you want to quit now?"});
    EXPECT_EQ(d.buttons, (TextList{"Yes", "No", "No"}));
    EXPECT_EQ(s.rt.main_window() != nullptr, GetParam().windowStays);
}

INSTANTIATE_TEST_SUITE_P(Answers, ExitQuestion,
                         ::testing::Values(ExitCase{"No", "No", true}, ExitCase{"Yes", "Yes", false},
                                           ExitCase{"ClosedWithoutAnswer", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

using FileMenu = StartedSession;

TEST_F(FileMenu, ExitedWindowNoLongerDispatches) {
    s.scripted.questionAnswers.push_back("Yes");
    dispatch_event(s.rt, "menuItem_exit");
    ASSERT_EQ(s.rt.main_window(), nullptr);
    dispatch_event(s.rt, "menuItem_about");
    EXPECT_EQ(s.scripted.dialogs.size(), 1u);
}

TEST_F(FileMenu, PrintAsksThePrintServiceOnce) {
    dispatch_event(s.rt, "menuItem_print");
    EXPECT_EQ(s.scripted.printed, 1);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST_F(FileMenu, OpeningTheMenuDoesNothing) {
    const Handles before = s.record();
    dispatch_event(s.rt, "menu_file");
    EXPECT_TRUE(s.scripted.dialogs.empty());
    EXPECT_EQ(s.record(), before);
}

// The two group file buttons stay disabled, so their handlers are called the way a callback text calls them.
class PlaceholderNote : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override { s.start(); }
    Session s;
};

TEST_P(PlaceholderNote, ShowsTheNoteAndWaitsForIt) {
    const std::string tag = GetParam();
    s.call_handler(tag + "_Callback", tag);
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    const DialogRecord& d = s.scripted.last();
    EXPECT_EQ(d.kind, "message");
    EXPECT_EQ(d.title, "Just a note");
    EXPECT_EQ(d.text, TextList{"Sorry, I haven't gotten to that yet. Please remind me if this is particulary "
                               "important feature or if you would like to see it enacted in a special way."});
    EXPECT_EQ(d.icon, Icon::Warn);
    EXPECT_TRUE(d.waited);
    EXPECT_TRUE(s.rt.main_window() != nullptr);
}

INSTANTIATE_TEST_SUITE_P(GroupFileButtons, PlaceholderNote,
                         ::testing::Values("button_save_vowelGroup", "button_load_vowelGroup"));

} // namespace
} // namespace tarvik::testing
