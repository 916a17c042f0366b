// Every plot kind in 2D and 3D, drawn by the plot buttons of a prepared step-4 session into real plot
// windows, and each window saved as a picture in the build folder.
#include "support/plot_session.h"
#include "plot/plot_styles.h"
#include "qt/plot_chart_view.h"
#include "qt/plot_window.h"
#include "qt/qt_plot_host.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

namespace tarvik::testing {
namespace {

class PlotKindsInWindows : public PlotSession {
  protected:
    void SetUp() override {
        PlotSession::SetUp();
        s.scripted.plots.forwardTo = &host;
    }
    void TearDown() override {
        for (const auto& [number, w] : s.scripted.plots.windows())
            if (PlotWindow* window = host.window(number))
                window->close();
        QApplication::processEvents();
    }

    // Presses a plot button and returns the window it drew in. A key press ends the wait of the
    // ellipsoid's first view.
    PlotWindow* draw(int kind, const std::string& dimensions) {
        const int number = static_cast<int>(s.record().plotFigure.size()) + 1;
        QTimer::singleShot(300, &timers, [this, number] {
            if (PlotWindow* w = host.window(number); w && w->is_waiting())
                QTest::keyClick(w, Qt::Key_Space);
        });
        plot(kind, dimensions);
        QApplication::processEvents();
        return host.window(number);
    }

    QtPlotHost host;
    QObject timers; // a pending key press goes with the test
};

struct Kind {
    int value;
    const char* file;
};

TEST_F(PlotKindsInWindows, EveryKindIsDrawnAndSavedInTwoAndThreeDimensions) {
    reach_step_4({.file = "plot_vowels.txt", .withDuration = true, .overlaps = true});
    s.fig().set_value("checkbox_show_legend", 1);
    const Kind kinds[] = {{1, "original"}, {2, "normalized"}, {3, "shapes"}, {4, "volumes"}, {5, "overlap"}};
    std::set<std::string> titles;
    for (const std::string dim : {"2d", "3d"}) {
        for (const Kind& k : kinds) {
            // The overlap plot draws groups 1 and 3 (i and e), which overlap; the others draw all groups.
            choose_groups(k.value == 5, 1, k.value == 5, 3, k.value != 5);
            PlotWindow* window = draw(k.value, dim);
            ASSERT_NE(window, nullptr) << k.file << " " << dim << ": " << s.scripted.dialogs.size() << " dialogs";
            EXPECT_TRUE(s.scripted.dialogs.empty()) << s.scripted.dialogs.front().title;
            ASSERT_TRUE(window->has_plot());
            EXPECT_EQ(window->plot().axes.is3D, dim == "3d");
            EXPECT_EQ(window->windowTitle().toStdString(),
                      "Figure " + std::to_string(window->number()) + ": Output");
            titles.insert(window->plot().axes.title);

            const QString path = QString(TARVIK_BUILD_DIR) + "/plot_" + k.file + "_" + QString::fromStdString(dim) + ".png";
            ASSERT_EQ(window->save_picture(path).toStdString(), "");
            const QImage picture(path);
            ASSERT_FALSE(picture.isNull()) << path.toStdString();
            EXPECT_GE(picture.width(), 400);
        }
    }
    EXPECT_EQ(titles.size(), 10u); // every kind and dimension has its own title prefix
    EXPECT_EQ(s.record().plotFigure.size(), 10u);
}

TEST_F(PlotKindsInWindows, PlotWindowsStayOpenWhenTheMainWindowCloses) {
    reach_step_4({.file = "plot_vowels.txt", .withDuration = true, .overlaps = false});
    PlotWindow* window = draw(2, "2d");
    ASSERT_NE(window, nullptr);
    window->show();
    s.rt.delete_main_window();
    QApplication::processEvents();
    ASSERT_NE(host.window(1), nullptr);
    EXPECT_TRUE(host.window(1)->isVisible());
}

TEST_F(PlotKindsInWindows, AMousePressInAPlotSwitchesItIntoEditing) {
    reach_step_4({.file = "plot_vowels.txt", .withDuration = true, .overlaps = false});
    host.onButtonDown = [this](int number) { plot_show_mouse_location(s.rt, number); };
    PlotWindow* window = draw(1, "2d");
    ASSERT_NE(window, nullptr);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_FALSE(window->is_editing());
    QTest::mouseClick(window->chart_view()->viewport(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(window->is_editing());
    EXPECT_EQ(s.scripted.plots.events.back(), "edit 1");
}

} // namespace
} // namespace tarvik::testing
