// The example study through all four steps in the real window, as a user works: every file dialog,
// question and input is answered by the test, every plot kind is drawn into real plot windows, the
// session is saved and opened again, and its window closed while the plots stay.
// The pictures of the user guide are taken on the way and saved in the build folder
// (scripts/make-screenshots.sh copies them to docs/images).
#include "app/entry.h"
#include "overlap/results_step.h"
#include "qt/main_window_view.h"
#include "support/window_driver.h"
#include "qt/plot_window.h"
#include "qt/qt_plot_host.h"
#include "qt/results_window.h"
#include "ui/scripted_services.h"

#include <Q3DScatter>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik {
namespace {

const char* const kExamples = TARVIK_TEST_DATA_DIR "/../../examples";
const char* const kTitle = "Stress and context";
const char* const kOverlapLine =
    "2D VOWEL OVERLAP of Group <i stressed> and Group <i unstressed> is: 0.563492";

// A group as the user defines it: its name and its constraints, each a category and one of its types.
struct GroupSpec {
    const char* name;
    std::vector<std::pair<const char*, const char*>> constraints;
};

const GroupSpec kGroups[] = {
    {"i stressed", {{"Vowel", "i"}, {"Stress", "stressed"}}},
    {"i unstressed", {{"Vowel", "i"}, {"Stress", "unstressed"}}},
    {"a", {{"Vowel", "a"}, {"Context", "CV"}, {"Context", "CVC"}}}, // the two contexts are alternatives
};

// The entries of the plot kind menu, each drawn in 2D and then in 3D into a window of its own.
const char* const kPlotKinds[] = {"Original data", "Normalized data", "Ellipsoid/Ellipse", "Volumes/Spheres",
                                  "Overlap (Group A & B Only)"};

// The pictures the user guide takes of the plots.
const std::map<std::string, std::string> kPictures = {
    {"Normalized data 2D", "plot_guide_normalized_2d.png"},
    {"Ellipsoid/Ellipse 2D", "plot_guide_shapes_2d.png"},
    {"Overlap (Group A & B Only) 2D", "plot_guide_overlap_2d.png"},
    {"Ellipsoid/Ellipse 3D", "plot_guide_shapes_3d.png"},
    {"Volumes/Spheres 3D", "plot_guide_volumes_3d.png"},
};

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        scripted.plots.forwardTo = &host;
        results.onExport = [this](const ResultsTable& t) { export_results_csv(rt, t); };
        rt.onWindowCreated = [this](const std::shared_ptr<Figure>& f) { view = new MainWindowView(rt, f); };
        zerivizi_export(rt, {});
        ASSERT_TRUE(view);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }
    void TearDown() override { delete view.data(); } // the host deletes the plot windows

    template <class W> W* get(const char* tag) const { return driver.get<W>(tag); }
    std::string label(const char* tag) const { return driver.label(tag); }
    std::vector<std::string> log() const { return driver.log(); }
    void click(const char* tag) const { driver.click(tag); }
    void choose(const char* tag, const char* entry) const { driver.choose(tag, entry); }
    void pick(const char* tag, const std::string& text) const { driver.pick(tag, text); }
    void type_into(const char* tag, const char* text) const { driver.type_into(tag, text); }
    void screenshot(const char* name) {
        QApplication::processEvents();
        const QString path = QString(TARVIK_BUILD_DIR) + "/" + name;
        EXPECT_TRUE(view->grab().save(path)) << path.toStdString();
    }

    // Presses a plot button and returns the window the plot went to. The ellipsoid's first view waits
    // for a key: a key press in the waiting graph ends it.
    PlotWindow* draw(const char* button) {
        const int number = static_cast<int>(scripted.plots.windows().size()) + 1;
        QTimer keys;
        keys.callOnTimeout([this, number] {
            if (PlotWindow* w = host.window(number); w && w->is_waiting())
                QTest::keyClick(w->scatter(), Qt::Key_Space);
        });
        keys.start(50);
        click(button);
        return host.window(number);
    }

    QTemporaryDir folder;
    QtPlotHost host;
    QtResultsHost results;
    ScriptedServices scripted;
    Runtime rt{[this] {
        Services s = scripted.services();
        s.results = &results;
        return s;
    }()};
    QPointer<MainWindowView> view;
    testing::WindowDriver driver{view};
};

TEST_F(EndToEnd, TheExampleStudyFromTheDataFileToPlotsAndSession) {
    // Step 1: the file through the open dialog, then the six roles.
    scripted.fileAnswers.push_back(FileChoice{"stress_context.txt", kExamples});
    click("button_load_file");
    choose("popupmenu_header_subject", "Speaker");
    choose("popupmenu_header_vowel", "Vowel");
    choose("popupmenu_header_f1", "F1");
    choose("popupmenu_header_f2", "F2");
    choose("popupmenu_header_duration", "Duration");
    choose("popupmenu_header_phraseduration", "PhraseDuration");
    screenshot("screenshot_guide_step1.png");
    click("button_continue_to_normalize");

    // Step 2: F1 by z-score, F2 by the known extremes i and a, durations by phrase duration.
    choose("popupmenu_normalize_spectral1", "Apply Z-score (Lobanov) normalization");
    choose("popupmenu_normalize_spectral2", "Apply Known Extremes normalization");
    choose("popupmenu_normalize_duration", "Apply Phrase Duration normalization");
    screenshot("screenshot_guide_step2.png");
    scripted.questionAnswers.push_back("continue");
    scripted.inputAnswers.push_back({"i", "a"});
    click("button_continue_to_grouping");

    // Step 3: a third grouping next to the two there are, each named and given its constraints.
    click("button_create_new_vowelNum");
    for (int g = 0; g < 3; ++g) {
        const GroupSpec& spec = kGroups[g];
        pick("listbox_currVowel_select", std::to_string(g + 1) + " (change my name)");
        type_into("edit_currVowel_name", spec.name);
        for (const auto& [category, type] : spec.constraints) {
            pick("listbox_groupings", category);
            pick("listbox_types", type);
            click("button_add");
        }
    }
    screenshot("screenshot_guide_step3.png");
    click("button_continue_to_overlap");

    // Step 4: every pair in 2D and 3D (the volume plots need every group's inside points), then the pair
    // of the two menus, whose results show under the buttons with five significant digits.
    click("checkbox_all_group_overlap");
    click("button_calculate_2Doverlap");
    click("button_calculate_3Doverlap");
    EXPECT_EQ(std::ranges::count(log(), kOverlapLine), 1) << kOverlapLine;
    // The Results window then shows the three pairs in 2D and in 3D; step 4's button shows it again.
    ASSERT_TRUE(results.window() && results.window()->isVisible());
    EXPECT_EQ(results.window()->model()->rowCount(), 6);
    EXPECT_TRUE(get<QPushButton>("button_show_results")->isEnabled());
    QApplication::processEvents();
    EXPECT_TRUE(results.window()->grab().save(QString(TARVIK_BUILD_DIR) + "/screenshot_guide_results.png"));
    click("checkbox_all_group_overlap");
    click("button_calculate_2Doverlap");
    click("button_calculate_3Doverlap");
    EXPECT_EQ(log().back(), "3D VOWEL OVERLAP of Group <i stressed> and Group <i unstressed> is: 0.347694");
    EXPECT_EQ(label("text_2D_overlap"), "0.56349");
    EXPECT_EQ(label("text_3D_overlap"), "0.34769");
    screenshot("screenshot_guide_step4.png");

    // Every pair within each subject, with 50 bootstrap replicates: the Results window sums up each pair
    // over the six speakers and opens its speakers' rows; a strip plot shows them.
    click("checkbox_per_subject");
    type_into("edit_bootstrap_replicates", "50");
    click("checkbox_all_group_overlap");
    click("button_calculate_2Doverlap");
    ResultsWindow* table = results.window();
    ASSERT_TRUE(table && table->isVisible());
    ASSERT_EQ(table->model()->rowCount(), 3);
    ASSERT_TRUE(table->open_details(0));
    EXPECT_EQ(table->model()->rowCount(), 6 + 4);
    QApplication::processEvents();
    EXPECT_TRUE(table->grab().save(QString(TARVIK_BUILD_DIR) + "/screenshot_guide_per_subject.png"));
    table->back_to_table();
    click("checkbox_per_subject");
    type_into("edit_bootstrap_replicates", "0");
    click("checkbox_all_group_overlap");

    // Every plot kind in 2D and 3D, with the titles typed in and a legend; all groups but for the
    // overlap, which draws groups A and B (i stressed and i unstressed).
    type_into("edit_plot_title_2D", kTitle);
    type_into("edit_plot_title", kTitle);
    click("checkbox_show_legend");
    for (const bool is3D : {false, true})
        for (const std::string kind : kPlotKinds) {
            const std::string plot = kind + (is3D ? " 3D" : " 2D");
            SCOPED_TRACE(plot);
            const bool overlap = kind.starts_with("Overlap");
            if (get<QCheckBox>("checkbox_plot_group_all")->isChecked() == overlap)
                click("checkbox_plot_group_all");
            // "All groups" clears A and B; back from it, the user ticks them again.
            for (const char* box : {"checkbox_plot_group_a", "checkbox_plot_group_b"})
                if (overlap && !get<QCheckBox>(box)->isChecked())
                    click(box);
            choose("popupmenu_plotSelection", kind.c_str());
            PlotWindow* window = draw(is3D ? "button_3d_plot" : "button_2d_plot");
            ASSERT_TRUE(window && window->has_plot());
            EXPECT_TRUE(is3D ? window->scatter() != nullptr : window->chart() != nullptr);
            if (kPictures.contains(plot)) {
                const QString path = QString(TARVIK_BUILD_DIR) + "/" + kPictures.at(plot).c_str();
                ASSERT_EQ(window->save_picture(path).toStdString(), "");
                EXPECT_GE(QImage(path).width(), 400) << plot;
            }
        }

    // The log over the window, scrolled to its end where the overlaps are, then hidden again.
    click("button_view_log");
    ASSERT_TRUE(get<QListWidget>("listbox_log")->isVisible());
    get<QListWidget>("listbox_log")->scrollToBottom();
    screenshot("screenshot_guide_log.png");
    click("button_view_log");

    // Save the session from the File menu and open it again: a new window in the same state, and the
    // old one closes.
    const std::string dir = folder.path().toStdString();
    scripted.fileAnswers.push_back(FileChoice{"guide_session", dir});
    view->action("menuItem_saveSession")->trigger();
    ASSERT_TRUE(QFile::exists(folder.filePath("guide_session.tarvik")));
    const QPointer<MainWindowView> before = view;
    scripted.fileAnswers.push_back(FileChoice{"guide_session.tarvik", dir});
    view->action("menuItem_openSession")->trigger();
    ASSERT_TRUE(view && view.data() != before.data());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    for (int k = 0; k < 50 && before; ++k) // the old window closes once the new one is up
        QTest::qWait(20);
    EXPECT_TRUE(before.isNull());
    EXPECT_TRUE(get<QPushButton>("button_step_4")->font().bold());
    EXPECT_EQ(label("text_3D_overlap"), "0.34769");

    // The compatibility entry of the File menu: checked, the groups are fitted with mirrored axes, as
    // sessions of earlier versions have them, and the pair's overlap is the one those sessions show.
    QAction* mirrored = view->action("menuItem_mirroredFitAxes");
    ASSERT_TRUE(mirrored && mirrored->isCheckable());
    EXPECT_FALSE(mirrored->isChecked());
    mirrored->trigger();
    EXPECT_TRUE(mirrored->isChecked());
    click("button_calculate_2Doverlap");
    EXPECT_EQ(label("text_2D_overlap"), "0.32824");

    // The close box closes the main window; the plot windows stay open.
    view->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull());
    EXPECT_EQ(rt.main_window(), nullptr);
    for (int number = 1; number <= 2 * static_cast<int>(std::size(kPlotKinds)); ++number)
        EXPECT_TRUE(host.window(number) && host.window(number)->isVisible()) << "Figure " << number;

    // Nothing was asked but the data file, whether the data are okay, whether to go on with the known
    // extremes and which they are, and the two session files: no error, and no question on closing.
    std::vector<std::string> kinds;
    for (const DialogRecord& d : scripted.dialogs)
        kinds.push_back(d.kind);
    EXPECT_EQ(kinds, (std::vector<std::string>{"open", "question", "question", "input", "save", "open"}));
}

} // namespace
} // namespace tarvik
