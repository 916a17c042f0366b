// Steps 1 and 2 driven through the widgets, the way a user works, with scripted file dialogs.
#include "app/entry.h"
#include "core/format.h"
#include "qt/main_window_view.h"
#include "ui/scripted_services.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace tarvik {
namespace {

class StepsView : public ::testing::Test {
  protected:
    void SetUp() override {
        rt.onWindowCreated = [this](const std::shared_ptr<Figure>& f) { view = new MainWindowView(rt, f); };
        zerivizi_export(rt, {});
        ASSERT_TRUE(view);
        QApplication::processEvents();
    }
    void TearDown() override { delete view.data(); }

    void click(const char* tag) {
        auto* button = qobject_cast<QPushButton*>(view->widget(tag));
        ASSERT_NE(button, nullptr) << tag;
        ASSERT_TRUE(button->isEnabled()) << tag;
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
    // Chooses an entry of a popup menu as a user would.
    void choose(const char* tag, const QString& entry) {
        auto* box = qobject_cast<QComboBox*>(view->widget(tag));
        ASSERT_NE(box, nullptr) << tag;
        const int index = box->findText(entry);
        ASSERT_GE(index, 0) << tag << " has no entry " << entry.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    void save_screenshot(const char* name) {
        view->grab().save(QString(TARVIK_BUILD_DIR) + "/" + name);
    }

    ScriptedServices scripted;
    Runtime rt{scripted.services()};
    QPointer<MainWindowView> view;
};

TEST_F(StepsView, LoadMapAndNormalizeTheExampleStudy) {
    scripted.fileAnswers.push_back(FileChoice{"hillenbrand.txt", std::string(TARVIK_TEST_DATA_DIR) + "/../../examples"});
    click("button_load_file");
    EXPECT_EQ(qobject_cast<QLineEdit*>(view->widget("text_filename"))->text(), "hillenbrand.txt");
    auto* subject = qobject_cast<QComboBox*>(view->widget("popupmenu_header_subject"));
    EXPECT_TRUE(subject->isEnabled());
    EXPECT_EQ(subject->count(), 8);
    EXPECT_TRUE(view->widget("button_continue_to_normalize")->isEnabled());
    EXPECT_EQ(rt.figure().window().pointer, Pointer::Arrow);

    choose("popupmenu_header_subject", "Speaker");
    choose("popupmenu_header_vowel", "Vowel");
    choose("popupmenu_header_f1", "F1");
    choose("popupmenu_header_f2", "F2");
    choose("popupmenu_header_duration", "Duration");
    choose("popupmenu_header_phraseduration", "(not available)");
    save_screenshot("screenshot_step1_loaded.png");
    click("button_continue_to_normalize");

    EXPECT_FALSE(view->widget("button_load_file")->isEnabled());
    EXPECT_TRUE(qobject_cast<QPushButton*>(view->widget("button_step_2"))->font().bold());
    auto* categories = qobject_cast<QListWidget*>(view->widget("listbox_groupings"));
    ASSERT_EQ(categories->count(), 3); // Speaker, Vowel, Group
    EXPECT_EQ(categories->item(2)->text(), "Group");

    choose("popupmenu_normalize_spectral1", "Apply Z-score normalization");
    choose("popupmenu_normalize_spectral2", "Apply Logarithmic normalization");
    choose("popupmenu_normalize_duration", "Apply Z-score normalization");
    click("button_continue_to_grouping");

    EXPECT_EQ(rt.figure().retrieve()->currStep, 3);
    EXPECT_TRUE(view->widget("button_create_new_vowelNum")->isEnabled());
    EXPECT_FALSE(view->widget("button_continue_to_grouping")->isEnabled());
    EXPECT_EQ(qobject_cast<QLineEdit*>(view->widget("edit_currVowel_name"))->text(), "(please name)");
    auto* types = qobject_cast<QListWidget*>(view->widget("listbox_types"));
    EXPECT_EQ(types->count(), 139); // the speakers, the first category's types
    save_screenshot("screenshot_step3_ready.png");

    // Two groups by vowel, named in the edit field, then step 3's Continue.
    auto* groups = qobject_cast<QListWidget*>(view->widget("listbox_currVowel_select"));
    auto* name = qobject_cast<QLineEdit*>(view->widget("edit_currVowel_name"));
    const std::pair<const char*, const char*> wanted[] = {{"iy", "heed"}, {"uw", "who'd"}};
    for (int g = 0; g < 2; ++g) {
        QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, groups->visualItemRect(groups->item(g)).center());
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, wanted[g].second);
        QTest::keyClick(name, Qt::Key_Return);
        QTest::mouseClick(categories->viewport(), Qt::LeftButton, {},
                          categories->visualItemRect(categories->item(1)).center()); // Vowel
        const auto found = types->findItems(wanted[g].first, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, types->visualItemRect(found.front()).center());
        click("button_add");
    }
    EXPECT_EQ(groups->item(0)->text(), "1 heed");
    click("button_continue_to_overlap");

    EXPECT_EQ(rt.figure().retrieve()->currStep, 4);
    auto* overlapB = qobject_cast<QComboBox*>(view->widget("popupmenu_overlap_group_b"));
    EXPECT_TRUE(overlapB->isEnabled());
    EXPECT_EQ(overlapB->currentText(), "who'd");
    EXPECT_TRUE(view->widget("button_2d_plot")->isEnabled());
    EXPECT_FALSE(view->widget("button_add")->isEnabled());
    save_screenshot("screenshot_step4_ready.png");

    // Both overlaps of the one pair; the results show in the window at once.
    click("button_calculate_2Doverlap");
    click("button_calculate_3Doverlap");
    const auto* result2D = qobject_cast<QLabel*>(view->widget("text_2D_overlap"));
    const auto* result3D = qobject_cast<QLabel*>(view->widget("text_3D_overlap"));
    const auto& cell = rt.figure().retrieve()->overlap.at({1, 2});
    EXPECT_EQ(result2D->text().toStdString(), format_significant(*cell.value2D));
    EXPECT_EQ(result3D->text().toStdString(), format_significant(*cell.value));
    EXPECT_EQ(rt.figure().window().pointer, Pointer::Arrow);
    save_screenshot("screenshot_step4_overlap.png");
}

} // namespace
} // namespace tarvik
