// The Help window on the test display: F1 in each step of the real main window opens the one window
// titled "Help" on that step's page (or on the focused control's), a page that is missing brings the
// contents page with a note, Back and Forward walk the pages shown, and the search marks the word and
// lists the pages that hold it. The picture of step 3's page is saved in the build folder for the
// README (scripts/make-screenshots.sh copies it to docs/images).
#include "qt/help_window.h"
#include "qt/main_window_view.h"
#include "support/session.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace tarvik::testing {
namespace {

class HelpKey : public ::testing::Test {
  protected:
    void SetUp() override {
        s.rt.onWindowCreated = [this](const std::shared_ptr<Figure>& f) { view = new MainWindowView(s.rt, f); };
        s.start({});
        ASSERT_TRUE(view);
    }
    void TearDown() override { delete view.data(); }

    // F1 in the main window with the keyboard focus on the control `tag` (else on no control).
    HelpWindow* press_f1(const char* tag = nullptr) {
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view));
        QWidget* focus = tag ? view->widget(tag) : view->canvas();
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F1);
        return help.window();
    }

    QtHelp help;
    Session s{help};
    QPointer<MainWindowView> view;
};

TEST_F(HelpKey, F1InEachStepOpensTheOneHelpWindowOnThatStepsPageOrTheFocusedControls) {
    const std::function<void()> toNextStep[] = {
        [&] { run_step_1(s); }, [&] { run_step_2(s); },
        [&] { // both groups take the first vowel: enough for step 4
            s.click("listbox_groupings", 2);
            s.click("listbox_types", 1);
            dispatch_event(s.rt, "button_add_to_all");
            dispatch_event(s.rt, "button_continue_to_overlap");
        }};
    const char* const pages[] = {"help_loading_data.html", "help_normalization.html", "help_groupings.html",
                                 "help_overlap.html"};
    HelpWindow* first = nullptr;
    for (int step = 1; step <= 4; ++step) {
        if (step > 1)
            toNextStep[step - 2]();
        ASSERT_EQ(s.record().currStep, step);
        HelpWindow* w = press_f1();
        ASSERT_NE(w, nullptr);
        first = first ? first : w;
        EXPECT_EQ(w, first);
        EXPECT_EQ(w->windowTitle(), "Help");
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->current_page(), pages[step - 1]);
        EXPECT_TRUE(w->browser()->documentTitle().startsWith(QString("Step %1:").arg(step)));
        if (step == 3) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            EXPECT_TRUE(w->grab().save(QString(TARVIK_BUILD_DIR) + "/help_window_step3.png"));
            EXPECT_EQ(press_f1("listbox_types")->current_page(), "help_types.html");
        }
    }
    const auto windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::ranges::count_if(windows, [](QWidget* w) { return w->isVisible() && w->windowTitle() == "Help"; }), 1);
}

TEST(HelpWindow, AMissingPageShowsTheContentsWithANoteAndBackAndForwardWalkThePagesShown) {
    QtHelp help;
    help.show("help_types.html");
    HelpWindow* w = help.window();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->note_label()->isVisibleTo(w));
    EXPECT_FALSE(w->forward_button()->isEnabled());

    help.show("help_nowhere.html");
    EXPECT_EQ(w->current_page(), "index.html");
    EXPECT_EQ(w->note_label()->text(), "The help page help_nowhere.html was not found.");
    EXPECT_TRUE(w->note_label()->isVisibleTo(w));

    QTest::mouseClick(w->back_button(), Qt::LeftButton);
    EXPECT_EQ(w->current_page(), "help_types.html");
    EXPECT_FALSE(w->note_label()->isVisibleTo(w));
    QTest::mouseClick(w->forward_button(), Qt::LeftButton);
    EXPECT_EQ(w->current_page(), "index.html");

    // A link of the shown page, then Home.
    w->browser()->setSource(w->browser()->source().resolved(QUrl("help_measures.html")));
    EXPECT_EQ(w->current_page(), "help_measures.html");
    QTest::mouseClick(w->home_button(), Qt::LeftButton);
    EXPECT_EQ(w->current_page(), "index.html");

    // The search marks the word on the page and lists the pages that hold it, and only those.
    QTest::keyClicks(w->search_field(), "Mahalanobis");
    EXPECT_FALSE(w->browser()->extraSelections().isEmpty());
    QStringList listed;
    for (int row = 0; row < w->page_list()->count(); ++row)
        listed << w->page_list()->item(row)->data(Qt::UserRole).toString();
    EXPECT_TRUE(listed.contains("help_measures.html"));
    EXPECT_FALSE(listed.contains("help_types.html"));
}

} // namespace
} // namespace tarvik::testing
