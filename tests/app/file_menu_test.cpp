// The File menu's own handlers (Print, Exit) and the placeholder note.
#include "support/session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

TEST(ExitQuestion, OnlyNoKeepsTheMainWindowAndAnExitedWindowNoLongerDispatches) {
    const std::pair<const char*, bool> answers[] = {{"No", true}, {"Yes", false}, {"", false}}; // "" closed
    for (const auto& [answer, windowStays] : answers) {
        SCOPED_TRACE(std::string("answer \"") + answer + "\"");
        Session s;
        s.start();
        s.scripted.questionAnswers.push_back(answer);
        dispatch_event(s.rt, "menuItem_exit");

        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(d.kind, "question");
        EXPECT_EQ(d.title, "Quit TARVIK3D?");
        EXPECT_EQ(d.text,
                  TextList{"Did you remember to save your session? Are you sure you want to quit now?"});
        EXPECT_EQ(d.buttons, (TextList{"Yes", "No", "No"}));
        EXPECT_EQ(s.rt.main_window() != nullptr, windowStays);
        dispatch_event(s.rt, "menuItem_about");
        EXPECT_EQ(s.scripted.dialogs.size(), windowStays ? 2u : 1u);
    }
}

using FileMenu = StartedSession;

TEST_F(FileMenu, PrintAsksThePrintServiceOnce) {
    dispatch_event(s.rt, "menuItem_print");
    EXPECT_EQ(s.scripted.printed, 1);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

// The two group file buttons stay disabled, so their handlers are called the way a callback text calls them.
TEST_F(FileMenu, GroupFileButtonsShowThePlaceholderNoteAndWaitForIt) {
    for (const std::string tag : {"button_save_vowelGroup", "button_load_vowelGroup"}) {
        s.scripted.dialogs.clear();
        s.call_handler(tag + "_Callback", tag);
        ASSERT_EQ(s.scripted.dialogs.size(), 1u) << tag;
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(d.kind, "message");
        EXPECT_EQ(d.title, "Just a note");
        EXPECT_EQ(d.text,
                  TextList{"Sorry, I haven't gotten to that yet. Please remind me if this is particulary "
                           "important feature or if you would like to see it enacted in a special way."});
        EXPECT_EQ(d.icon, Icon::Warn);
        EXPECT_TRUE(d.waited);
        EXPECT_TRUE(s.rt.main_window() != nullptr);
    }
}

} // namespace
} // namespace tarvik::testing
