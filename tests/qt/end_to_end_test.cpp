// The example study through all four steps in the real window, as a user works: every file dialog,
// question and input is answered by the test, plots are drawn into real plot windows, the log and the
// session are saved and the session is opened again. The pictures of the user guide are taken on the way
// and saved in the build folder.
#include "app/entry.h"
#include "qt/main_window_view.h"
#include "qt/plot_window.h"
#include "qt/qt_plot_host.h"
#include "ui/scripted_services.h"

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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik {
namespace {

const char* const kExamples = TARVIK_TEST_DATA_DIR "/../../examples";
const char* const kTitle = "Stress and context";

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

// One overlap line of the log, read back.
struct OverlapLine {
    std::string groupA;
    std::string groupB;
    double value = NAN;
};

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        scripted.plots.forwardTo = &host;
        rt.onWindowCreated = [this](const std::shared_ptr<Figure>& f) { view = new MainWindowView(rt, f); };
        zerivizi_export(rt, {});
        ASSERT_TRUE(view);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    }
    void TearDown() override {
        for (const auto& [number, w] : scripted.plots.windows())
            if (PlotWindow* window = host.window(number))
                window->close();
        delete view.data();
        QApplication::processEvents();
    }

    // The widget of a tag; a missing or differently typed widget ends the test.
    template <class W> W* get(const char* tag) const {
        auto* w = qobject_cast<W*>(view->widget(tag));
        if (!w)
            throw std::runtime_error(std::string("no widget of the expected kind for ") + tag);
        return w;
    }
    std::string label(const char* tag) const { return get<QLabel>(tag)->text().toStdString(); }
    std::string button_text(const char* tag) const { return get<QPushButton>(tag)->text().toStdString(); }
    static std::vector<std::string> items(const QListWidget* list) {
        std::vector<std::string> out;
        for (int row = 0; row < list->count(); ++row)
            out.push_back(list->item(row)->text().toStdString());
        return out;
    }
    static std::vector<std::string> items(const QComboBox* box) {
        std::vector<std::string> out;
        for (int i = 0; i < box->count(); ++i)
            out.push_back(box->itemText(i).toStdString());
        return out;
    }
    // The activity log as the list shows it.
    std::vector<std::string> log() const { return items(get<QListWidget>("listbox_log")); }

    void click(const char* tag) {
        QWidget* w = view->widget(tag);
        ASSERT_NE(w, nullptr) << tag;
        ASSERT_TRUE(w->isEnabled()) << tag;
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
        QApplication::processEvents();
    }
    void choose(const char* tag, const char* entry) {
        auto* box = get<QComboBox>(tag);
        ASSERT_TRUE(box->isEnabled()) << tag;
        const int index = box->findText(entry);
        ASSERT_GE(index, 0) << tag << " has no entry " << entry;
        box->setCurrentIndex(index);
        emit box->activated(index);
        QApplication::processEvents();
    }
    // Clicks the entry of a list box that reads `text`.
    void pick(const char* tag, const std::string& text) {
        auto* list = get<QListWidget>(tag);
        const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << tag << ": " << text;
        list->scrollToItem(found.front());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
        QApplication::processEvents();
    }
    void type_into(const char* tag, const char* text) {
        auto* edit = get<QLineEdit>(tag);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();
    }
    void trigger_menu_item(const char* tag) {
        QAction* item = view->action(tag);
        ASSERT_NE(item, nullptr) << tag;
        item->trigger();
        QApplication::processEvents();
    }
    void screenshot(const char* name) {
        QApplication::processEvents();
        const QString path = QString(TARVIK_BUILD_DIR) + "/" + name;
        ASSERT_TRUE(view->grab().save(path)) << path.toStdString();
    }

    // The titles of the dialogs shown since the last call, each after its kind.
    std::vector<std::string> dialogs_shown() {
        std::vector<std::string> out;
        for (const auto& d : scripted.dialogs)
            out.push_back(d.kind + ": " + d.title);
        scripted.dialogs.clear();
        return out;
    }

    // Step 1: the file through the open dialog, then the six roles.
    void load_and_map() {
        scripted.fileAnswers.push_back(FileChoice{"stress_context.txt", kExamples});
        click("button_load_file");
        EXPECT_EQ(dialogs_shown(), (std::vector<std::string>{"open: ", "question: Are the data okay?"}));
        EXPECT_EQ(get<QLineEdit>("text_filename")->text(), "stress_context.txt");
        EXPECT_EQ(log().back(), "Successfully loaded the data from file: stress_context.txt");
        const std::vector<std::string> entries = {
            "(please select)", "(not available)", "Speaker", "Vowel",   "F1", "F2",
            "Duration",        "PhraseDuration",  "Stress",  "Context", "Sex"};
        EXPECT_EQ(items(get<QComboBox>("popupmenu_header_phraseduration")), entries);

        choose("popupmenu_header_subject", "Speaker");
        choose("popupmenu_header_vowel", "Vowel");
        choose("popupmenu_header_f1", "F1");
        choose("popupmenu_header_f2", "F2");
        choose("popupmenu_header_duration", "Duration");
        choose("popupmenu_header_phraseduration", "PhraseDuration");
        ASSERT_NO_FATAL_FAILURE(screenshot("screenshot_guide_step1.png"));
        click("button_continue_to_normalize");
        EXPECT_EQ(dialogs_shown(), std::vector<std::string>{});

        EXPECT_FALSE(view->widget("button_load_file")->isEnabled());
        EXPECT_TRUE(get<QPushButton>("button_step_2")->font().bold());
        // Every text column is a category; the numbers are not.
        EXPECT_EQ(items(get<QListWidget>("listbox_groupings")),
                  (std::vector<std::string>{"Speaker", "Vowel", "Stress", "Context", "Sex"}));
        // The subject listing, then the note that the roles are set. Six speakers with five vowels, each
        // stressed and unstressed in two contexts, twice: 8 tokens a vowel. The first data line of the
        // file is f1's first i: 357 Hz, 2949 Hz, 90 ms.
        expect_in_order(
            log(), {"Detected 6 SUBJECT types:", "   SUBJECT: f1", "   (with the following 5 targets:)",
                    "      TARGET: i (with 8 tokens)", "         (with F1, F2, & Duration values:)",
                    "         357.000   2949.000    90.000", "   SUBJECT: f2", "   SUBJECT: f3",
                    "   SUBJECT: m1", "   SUBJECT: m2", "   SUBJECT: m3", "      TARGET: u (with 8 tokens)",
                    "You successfully specified header names. Value types for all non-numerical "
                    "values have been identified.",
                    "You can view the value types in Step 3, but you need to specify "
                    "normalization if any in Step 2 first."});
    }

    // Step 2: F1 by z-score, F2 by the known extremes i and a, durations by phrase duration.
    void normalize() {
        choose("popupmenu_normalize_spectral1", "Apply Z-score normalization");
        choose("popupmenu_normalize_spectral2", "Apply Known Extremes normalization");
        choose("popupmenu_normalize_duration", "Apply Phrase Duration normalization");
        ASSERT_NO_FATAL_FAILURE(screenshot("screenshot_guide_step2.png"));
        scripted.questionAnswers.push_back("continue");
        scripted.inputAnswers.push_back({"i", "a"});
        click("button_continue_to_grouping");

        ASSERT_EQ(scripted.dialogs.size(), 2u);
        // Every speaker has all five vowels: the question lists them in character order.
        const std::string question = scripted.dialogs[0].text.at(0);
        EXPECT_NE(
            question.find("Here are the vowel targets that exist for all subjects:\n \na\ne\ni\no\nu\n"),
            std::string::npos)
            << question;
        EXPECT_NE(scripted.dialogs[1].text.at(0).find("for the F2 spectral target"), std::string::npos);
        EXPECT_EQ(dialogs_shown(),
                  (std::vector<std::string>{"question: Continue with Known Extremes normalization?",
                                            "input: F2: Select your extreme categories"}));
        EXPECT_TRUE(get<QPushButton>("button_step_3")->font().bold());
        EXPECT_FALSE(view->widget("button_continue_to_grouping")->isEnabled());
        EXPECT_TRUE(view->widget("button_create_new_vowelNum")->isEnabled());
        EXPECT_EQ(get<QLineEdit>("edit_currVowel_name")->text(), "(please name)");
    }

    // Step 3: a third grouping next to the two there are, each named and given its constraints.
    void define_groups() {
        click("button_create_new_vowelNum");
        auto* groups = get<QListWidget>("listbox_currVowel_select");
        ASSERT_EQ(groups->count(), 3);
        for (int g = 0; g < 3; ++g) {
            const GroupSpec& spec = kGroups[g];
            pick("listbox_currVowel_select", std::to_string(g + 1) + " (change my name)");
            type_into("edit_currVowel_name", spec.name);
            std::vector<std::string> shown;
            for (const auto& [category, type] : spec.constraints) {
                pick("listbox_groupings", category);
                pick("listbox_types", type);
                click("button_add");
                shown.push_back(std::string(category) + " : " + type);
            }
            EXPECT_EQ(items(get<QListWidget>("listbox_currVowel_defined")), shown) << spec.name;
        }
        EXPECT_EQ(items(groups), (std::vector<std::string>{"1 i stressed", "2 i unstressed", "3 a"}));
        EXPECT_EQ(dialogs_shown(), std::vector<std::string>{});
        ASSERT_NO_FATAL_FAILURE(screenshot("screenshot_guide_step3.png"));
        click("button_continue_to_overlap");
        EXPECT_EQ(dialogs_shown(), std::vector<std::string>{});

        EXPECT_TRUE(get<QPushButton>("button_step_4")->font().bold());
        EXPECT_FALSE(view->widget("button_add")->isEnabled());
        const std::vector<std::string> names = {"i stressed", "i unstressed", "a"};
        EXPECT_EQ(items(get<QComboBox>("popupmenu_overlap_group_a")), names);
        EXPECT_EQ(get<QComboBox>("popupmenu_overlap_group_b")->currentText(), "i unstressed");
        // i stressed and unstressed: 6 speakers x 2 contexts x 2 repetitions; a in either context: twice
        // that. The first i stressed token (f1: 357 Hz, 2949 Hz, 90 ms in a 1035 ms phrase), normalized by
        // hand with f1's statistics: F2 log10(2949) - (mean log10 F2 of i + of a) / 2 = 0.179; F1 z-score
        // (357 - 508.625) / 164.507 = -0.922; duration 90 / 1035 x 99.15 / 940.2 = 0.009.
        expect_in_order(log(),
                        {"You have defined 3 VOWEL groups:", "   GROUP 1: i stressed", "   (defined by:)",
                         "   Vowel : i", "   Stress : stressed", "      (with 24 tokens:)",
                         "        0.179    -0.922     0.009", "   GROUP 2: i unstressed",
                         "   Stress : unstressed", "      (with 24 tokens:)", "   GROUP 3: a", "   Vowel : a",
                         "   Context : CV", "   Context : CVC", "      (with 48 tokens:)"});
    }

    // The overlap lines of one dimension ("2D" or "3D") in the log, in order.
    std::vector<OverlapLine> overlap_lines(const char* dimension,
                                           const std::vector<std::string>& lines) const {
        const QRegularExpression pattern(
            QString("^%1 VOWEL OVERLAP of Group <(.*)> and Group <(.*)> is: (\\S+)$").arg(dimension));
        std::vector<OverlapLine> out;
        for (const auto& line : lines) {
            const auto m = pattern.match(QString::fromStdString(line));
            if (m.hasMatch())
                out.push_back(
                    {m.captured(1).toStdString(), m.captured(2).toStdString(), m.captured(3).toDouble()});
        }
        return out;
    }

    // Step 4: every pair in 2D and 3D, then the pair of the two menus.
    void calculate_overlaps() {
        click("checkbox_all_group_overlap");
        EXPECT_FALSE(view->widget("popupmenu_overlap_group_a")->isEnabled());
        EXPECT_FALSE(view->widget("popupmenu_overlap_group_b")->isEnabled());
        click("button_calculate_2Doverlap");
        click("button_calculate_3Doverlap");
        EXPECT_EQ(dialogs_shown(), std::vector<std::string>{});
        EXPECT_NE(view->cursor().shape(), Qt::WaitCursor);

        for (const char* dimension : {"2D", "3D"}) {
            SCOPED_TRACE(dimension);
            const auto lines = overlap_lines(dimension, log());
            ASSERT_EQ(lines.size(), 3u);
            const std::pair<std::string, std::string> pairs[] = {
                {"i stressed", "i unstressed"}, {"i stressed", "a"}, {"i unstressed", "a"}};
            for (std::size_t k = 0; k < 3; ++k) {
                EXPECT_EQ(lines[k].groupA, pairs[k].first);
                EXPECT_EQ(lines[k].groupB, pairs[k].second);
            }
            // Stressed and unstressed i share part of their space; a lies far from both.
            EXPECT_GT(lines[0].value, 0.0);
            EXPECT_LE(lines[0].value, 1.0);
            EXPECT_EQ(lines[1].value, 0.0);
            EXPECT_EQ(lines[2].value, 0.0);
        }
        // The result texts show the last pair's value.
        EXPECT_EQ(label("text_2D_overlap"), "0");
        EXPECT_EQ(label("text_3D_overlap"), "0");

        // Then the one pair of the menus, A and B: the results show under the buttons.
        click("checkbox_all_group_overlap");
        EXPECT_TRUE(view->widget("popupmenu_overlap_group_a")->isEnabled());
        EXPECT_EQ(get<QComboBox>("popupmenu_overlap_group_a")->currentText(), "i stressed");
        EXPECT_EQ(get<QComboBox>("popupmenu_overlap_group_b")->currentText(), "i unstressed");
        click("button_calculate_2Doverlap");
        click("button_calculate_3Doverlap");
        EXPECT_EQ(dialogs_shown(), std::vector<std::string>{});
        for (const auto& [dimension, result] :
             {std::pair{"2D", "text_2D_overlap"}, {"3D", "text_3D_overlap"}}) {
            SCOPED_TRACE(dimension);
            const auto lines = overlap_lines(dimension, log());
            ASSERT_EQ(lines.size(), 4u);
            EXPECT_EQ(lines[3].groupA, "i stressed");
            EXPECT_EQ(lines[3].groupB, "i unstressed");
            EXPECT_EQ(lines[3].value, lines[0].value);
            // Five significant digits under the button, six decimals in the log.
            const std::string shown = label(result);
            EXPECT_LE(shown.size(), 7u) << shown;
            EXPECT_NEAR(std::stod(shown), lines[3].value, 1e-5) << shown;
        }
        // The values the README shows for this study.
        const std::vector<std::string> lines = log();
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            "2D VOWEL OVERLAP of Group <i stressed> and Group <i unstressed> is: 0.328244"),
                  lines.end());
        EXPECT_EQ(label("text_2D_overlap"), "0.32824");
        EXPECT_EQ(label("text_3D_overlap"), "0.20598");
        ASSERT_NO_FATAL_FAILURE(screenshot("screenshot_guide_step4.png"));
    }

    // Presses a plot button and returns the window the plot went to. The ellipsoid's first view waits
    // for a key: a key press in the waiting window ends it.
    PlotWindow* draw(const char* button) {
        const int number = static_cast<int>(scripted.plots.windows().size()) + 1;
        QTimer keys;
        keys.setInterval(50);
        QObject::connect(&keys, &QTimer::timeout, [this, number] {
            if (PlotWindow* w = host.window(number); w && w->is_waiting())
                QTest::keyClick(w, Qt::Key_Space);
        });
        keys.start();
        click(button);
        keys.stop();
        return host.window(number);
    }

    void expect_in_order(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
        auto at = lines.begin();
        for (const auto& w : wanted) {
            at = std::find(at, lines.end(), w);
            ASSERT_NE(at, lines.end()) << "not found (in this order): \"" << w << "\"";
            ++at;
        }
    }

    QTemporaryDir folder;
    QtPlotHost host;
    ScriptedServices scripted;
    Runtime rt{scripted.services()};
    QPointer<MainWindowView> view;
};

struct PlotCase {
    const char* kind; // the entry of the plot kind menu
    const char* button;
    const char* title; // what the title starts with, before the title typed in
    const char* picture;
};

const PlotCase kPlots[] = {
    {"Original data", "button_2d_plot", "Original Data (No rotation):", nullptr},
    {"Normalized data", "button_2d_plot", "Normalized Data: ", "plot_guide_normalized_2d.png"},
    {"Ellipsoid/Ellipse", "button_2d_plot", "Best Fit Ellipse: (Second Rotation)",
     "plot_guide_shapes_2d.png"},
    {"Volumes/Spheres", "button_2d_plot", "2D Spheres:", nullptr},
    {"Overlap (Group A & B Only)", "button_2d_plot",
     "Normalized data 2D overlap:\n(Overlapping data's color is averaged between the two groups)\n",
     "plot_guide_overlap_2d.png"},
    {"Original data", "button_3d_plot", "Original Data (No rotation):", nullptr},
    {"Normalized data", "button_3d_plot", "Normalized Data: ", nullptr},
    {"Ellipsoid/Ellipse", "button_3d_plot", "Best Fit Ellipsoid: (Second Rotation)",
     "plot_guide_shapes_3d.png"},
    {"Volumes/Spheres", "button_3d_plot", "3D Volumes:", "plot_guide_volumes_3d.png"},
    {"Overlap (Group A & B Only)", "button_3d_plot",
     "Normalized data 3D overlap:\n(Overlapping data's color is averaged between the two groups)", nullptr},
};

TEST_F(EndToEnd, TheExampleStudyFromTheDataFileToSavedPlotsLogAndSession) {
    ASSERT_NO_FATAL_FAILURE(load_and_map());
    ASSERT_NO_FATAL_FAILURE(normalize());
    ASSERT_NO_FATAL_FAILURE(define_groups());
    ASSERT_NO_FATAL_FAILURE(calculate_overlaps());
    const std::string result2D = label("text_2D_overlap");
    const std::string result3D = label("text_3D_overlap");

    // Every plot kind in 2D and 3D, with the titles typed in and a legend; all groups but for the
    // overlap, which draws groups A and B (i stressed and i unstressed).
    type_into("edit_plot_title_2D", kTitle);
    type_into("edit_plot_title", kTitle);
    click("checkbox_show_legend");
    for (const PlotCase& p : kPlots) {
        SCOPED_TRACE(std::string(p.kind) + " " + p.button);
        const bool overlap = std::string(p.kind).starts_with("Overlap");
        if (get<QCheckBox>("checkbox_plot_group_all")->isChecked() == overlap)
            click("checkbox_plot_group_all");
        // "All groups" clears A and B; back from it, the user ticks them again.
        for (const char* box : {"checkbox_plot_group_a", "checkbox_plot_group_b"}) {
            EXPECT_EQ(view->widget(box)->isEnabled(), overlap) << box;
            if (overlap && !get<QCheckBox>(box)->isChecked())
                click(box);
            EXPECT_EQ(get<QCheckBox>(box)->isChecked(), overlap) << box;
        }
        choose("popupmenu_plotSelection", p.kind);
        PlotWindow* window = draw(p.button);
        EXPECT_EQ(dialogs_shown(), std::vector<std::string>{});
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(window->has_plot());
        const PlotAxes& axes = window->plot().axes;
        const bool threeD = std::string(p.button) == "button_3d_plot";
        EXPECT_EQ(window->windowTitle().toStdString(),
                  "Figure " + std::to_string(window->number()) + ": Output");
        EXPECT_EQ(axes.is3D, threeD);
        EXPECT_EQ(axes.title, std::string(p.title) + " " + kTitle);
        EXPECT_EQ(axes.labels[0], "F2");
        EXPECT_EQ(axes.labels[1], threeD ? "Duration" : "F1");
        const std::vector<std::string> legend =
            overlap ? std::vector<std::string>{"i stressed", "i unstressed"}
                    : std::vector<std::string>{"i stressed", "i unstressed", "a"};
        EXPECT_EQ(axes.legend, legend);
        if (p.picture) {
            const QString path = QString(TARVIK_BUILD_DIR) + "/" + p.picture;
            ASSERT_EQ(window->save_picture(path).toStdString(), "");
            const QImage picture(path);
            ASSERT_FALSE(picture.isNull()) << p.picture;
            EXPECT_GE(picture.width(), 400);
        }
    }
    EXPECT_EQ(scripted.plots.windows().size(), std::size(kPlots));

    // The log over the window, scrolled to its end where the overlaps are; then hidden again.
    click("button_view_log");
    EXPECT_EQ(button_text("button_view_log"), "Hide Log");
    auto* logList = get<QListWidget>("listbox_log");
    EXPECT_TRUE(logList->isVisible());
    EXPECT_FALSE(view->widget("popupmenu_plotSelection")->isVisible());
    logList->scrollToBottom();
    ASSERT_NO_FATAL_FAILURE(screenshot("screenshot_guide_log.png"));
    click("button_view_log");
    EXPECT_EQ(button_text("button_view_log"), "Show Log");
    EXPECT_FALSE(logList->isVisible());
    EXPECT_TRUE(view->widget("popupmenu_plotSelection")->isVisible());

    // The saved log is the list, line by line; ".txt" is added to the name.
    const std::string dir = folder.path().toStdString();
    scripted.fileAnswers.push_back(FileChoice{"guide_log", dir});
    click("button_save_log");
    QFile saved(folder.filePath("guide_log.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList savedLines = QString::fromUtf8(saved.readAll()).split('\n');
    const std::vector<std::string> shownLog = log();
    ASSERT_EQ(savedLines.size(), static_cast<qsizetype>(shownLog.size()) + 1); // the last line ends too
    for (std::size_t k = 0; k < shownLog.size(); ++k)
        EXPECT_EQ(savedLines[static_cast<qsizetype>(k)].toStdString(), shownLog[k]) << "line " << k + 1;
    EXPECT_TRUE(savedLines.back().isEmpty());
    EXPECT_EQ(savedLines[0], "Welcome!");
    EXPECT_EQ(savedLines[2], "ZERIVIzi LOG:");
    EXPECT_TRUE(savedLines.contains("Session started: 05-Dec-2026 11:54:46")); // the test's clock

    // Save the session from the File menu and open it again: a new window in the same state.
    scripted.fileAnswers.push_back(FileChoice{"guide_session", dir});
    ASSERT_NO_FATAL_FAILURE(trigger_menu_item("menuItem_saveSession"));
    ASSERT_TRUE(QFile::exists(folder.filePath("guide_session.tarvik")));
    EXPECT_EQ(dialogs_shown(), (std::vector<std::string>{"save: Save log", "save: Save session"}));

    const QPointer<MainWindowView> before = view;
    scripted.fileAnswers.push_back(FileChoice{"guide_session.tarvik", dir});
    ASSERT_NO_FATAL_FAILURE(trigger_menu_item("menuItem_openSession"));
    EXPECT_EQ(dialogs_shown(), std::vector<std::string>{"open: Open a .tarvik session file"});
    ASSERT_TRUE(view);
    ASSERT_NE(view.data(), before.data());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    for (int k = 0; k < 50 && before; ++k) // the old window closes once the new one is up
        QTest::qWait(20);
    EXPECT_TRUE(before.isNull());

    EXPECT_TRUE(get<QPushButton>("button_step_4")->font().bold());
    EXPECT_EQ(get<QLineEdit>("text_filename")->text(), "stress_context.txt");
    EXPECT_EQ(log(), shownLog);
    EXPECT_EQ(label("text_2D_overlap"), result2D);
    EXPECT_EQ(label("text_3D_overlap"), result3D);
    EXPECT_EQ(items(get<QComboBox>("popupmenu_plot_group_a")),
              (std::vector<std::string>{"i stressed", "i unstressed", "a"}));
    EXPECT_EQ(items(get<QListWidget>("listbox_currVowel_select")),
              (std::vector<std::string>{"1 i stressed", "2 i unstressed", "3 a"}));
    EXPECT_FALSE(get<QCheckBox>("checkbox_all_group_overlap")->isChecked());

    // The reopened session calculates again, with the same result.
    click("button_calculate_2Doverlap");
    EXPECT_EQ(dialogs_shown(), std::vector<std::string>{});
    const auto again = overlap_lines("2D", log());
    ASSERT_EQ(again.size(), 5u);
    EXPECT_EQ(again.back().groupA, "i stressed");
    EXPECT_EQ(again.back().groupB, "i unstressed");
    EXPECT_EQ(again.back().value, again.front().value);
    EXPECT_EQ(label("text_2D_overlap"), result2D);
}

} // namespace
} // namespace tarvik
