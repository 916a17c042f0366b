// The Qt view of the main window on the headless model: placement on the screen, scaling, and what the
// end-to-end study does not show of mirroring the model both ways.
#include "app/entry.h"
#include "qt/main_window_view.h"
#include "ui/scripted_services.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace tarvik {
namespace {

class ViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rt.onWindowCreated = [this](const std::shared_ptr<Figure>& f) { view = new MainWindowView(rt, f); };
        zerivizi_export(rt, {});
        ASSERT_TRUE(view);
        QApplication::processEvents();
    }
    void TearDown() override { delete view.data(); }
    Figure& fig() { return rt.figure(); }

    ScriptedServices scripted;
    Runtime rt{scripted.services()};
    QPointer<MainWindowView> view;
};

TEST_F(ViewTest, OneWidgetPerControlPlacedInAWindowOfTheLayoutSizeAndScaledWithIt) {
    EXPECT_EQ(view->canvas()->size(), QSize(1010, 645));
    for (const Control* c : fig().controls())
        EXPECT_NE(view->widget(c->tag), nullptr) << c->tag;
    // Frames show their colours where no control covers them (at fractions of the window's width and height
    // from its lower-left corner): the current step's highlighted, another step's not, a panel on a step.
    const QImage shot = view->grab().toImage();
    const auto at = [&](double x, double y) {
        return shot.pixelColor(view->canvas()->mapTo(view, QPoint(int(x * 1010), int((1 - y) * 645))));
    };
    EXPECT_EQ(at(0.272, 0.60), QColor(253, 224, 206));
    EXPECT_EQ(at(0.272, 0.20), QColor(220, 231, 231));
    EXPECT_EQ(at(0.535, 0.80), QColor(221, 202, 221));
    // Normalized (left, bottom, width, height) measured from the lower-left corner, scaled with the window.
    const QRect before = view->widget("button_step_1")->geometry();
    EXPECT_EQ(before, QRect(19, 21, 265, 23)); // y = (1 - 0.932 - 0.036) * 645
    view->resize(QSize(2020, 1290) + view->size() - view->canvas()->size());
    QApplication::processEvents();
    const QRect after = view->widget("button_step_1")->geometry();
    EXPECT_LE((after.topLeft() - 2 * before.topLeft()).manhattanLength(), 2);
    EXPECT_LE((after.bottomRight() - 2 * before.bottomRight()).manhattanLength(), 4);
}

TEST_F(ViewTest, TheModelKeepsWhereTheUserPutsTheWindowAndAWindowMadeFromItStandsThereOnTheScreen) {
    const Rect start = fig().window().pixelPosition;
    view->resize(QSize(1200, 700) + view->size() - view->canvas()->size());
    QApplication::processEvents();
    EXPECT_EQ(fig().window().pixelPosition.width, 1200);
    EXPECT_EQ(fig().window().pixelPosition.height, 700);
    view->move(view->pos() + QPoint(40, -30));
    QApplication::processEvents();
    const Rect moved = fig().window().pixelPosition;
    EXPECT_EQ(moved.left, start.left + 40);
    // Measured upwards from the screen's foot: higher by 30, and its top stayed put as it grew by 55.
    EXPECT_EQ(moved.bottom, start.bottom + 30 - (700 - start.height));

    // A window made from the model stands where the model says.
    MainWindowView again(rt, rt.main_window());
    EXPECT_EQ(again.pos(), view->pos());
    EXPECT_EQ(again.canvas()->size(), QSize(1200, 700));

    // One placed off the screen or too large for it comes up on it.
    fig().set_pixel_position({-5000, 1e12, 1e9, 3});
    MainWindowView placed(rt, rt.main_window());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(screen.contains(placed.geometry())) << placed.geometry().x() << "," << placed.geometry().y();
    EXPECT_EQ(placed.canvas()->size(), QSize(screen.width(), 120));
}

// A menu entry too long for its box is whole in the list and the tooltip. Choosing, ticking and typing
// reach the model in the end-to-end study; a list of several choices too.
TEST_F(ViewTest, AMenuShowsLongEntriesWholeAndAListWritesSeveralChoicesBack) {
    const std::string entry = "Apply Z-score normalization per subject and vowel";
    fig().set_string("popupmenu_normalize_spectral1", {"None", entry});
    fig().set_value("popupmenu_normalize_spectral1", 2);
    auto* box = qobject_cast<QComboBox*>(view->widget("popupmenu_normalize_spectral1"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->toolTip().toStdString(), entry);
    EXPECT_GT(box->view()->minimumWidth(),
              box->fontMetrics().horizontalAdvance(QString::fromStdString(entry)));

    fig().set_enable("listbox_currVowel_defined", Enable::On);
    fig().set_string("listbox_currVowel_defined", {"Stress : primary", "Context : s", "Group : man"});
    auto* list = qobject_cast<QListWidget*>(view->widget("listbox_currVowel_defined"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    list->clearSelection();
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    EXPECT_EQ(fig().control("listbox_currVowel_defined").value, (std::vector<double>{1, 3}));
}

// The arrow keys move a list's selection as a click does: the handler runs for the new item.
TEST_F(ViewTest, AKeyThatMovesAListsSelectionActsAsAClick) {
    fig().set_enable("listbox_currVowel_select", Enable::On);
    fig().set_value("listbox_currVowel_select", 1);
    auto* list = qobject_cast<QListWidget*>(view->widget("listbox_currVowel_select"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(fig().control("listbox_currVowel_select").value, std::vector<double>{2});
    EXPECT_EQ(rt.figure().retrieve()->currVowelNum, 2);
    QTest::keyClick(list, Qt::Key_Down); // already at the end: nothing moves, nothing runs
    EXPECT_EQ(rt.figure().retrieve()->currVowelNum, 2);
}

// A disabled button looks disabled also where the view draws it with colours or an alignment of its own
// (the Delete button "<<" is aligned right; the step buttons are coloured): its face is paler.
TEST_F(ViewTest, ADisabledButtonLooksDisabled) {
    for (const char* tag : {"button_del", "button_step_3"}) {
        SCOPED_TRACE(tag);
        QWidget* button = view->widget(tag);
        const auto face = [&](Enable e) {
            fig().set_enable(tag, e);
            QApplication::processEvents();
            const QImage shot = button->grab().toImage();
            return shot.pixelColor(3, shot.height() / 2);
        };
        EXPECT_GT(face(Enable::Off).lightness(), face(Enable::On).lightness());
    }
}

} // namespace
} // namespace tarvik
