// The plot windows on the test display: numbering, how the 3D graph shows a description, the key wait,
// the mouse hook and editing mode, and Save As. The plots of every kind are drawn by the end-to-end study.
#include "qt/plot_chart_2d.h"
#include "qt/plot_chart_view.h"
#include "qt/plot_markers.h"
#include "qt/plot_scatter_3d.h"
#include "qt/plot_window.h"
#include "qt/qt_plot_host.h"

#include <Q3DInputHandler>
#include <Q3DScatter>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QScatter3DSeries>
#include <QScatterDataProxy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValue3DAxis>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvik {
namespace {

// Ten clearly different colours, one per marker symbol.
const std::vector<Color> kColors = {{1, 0, 0},   {0, 0.6, 0},    {0, 0, 1}, {0, 0.7, 0.7},
                                    {1, 0, 1},   {0.8, 0.6, 0},  {0, 0, 0}, {0.5, 0, 0.5},
                                    {1, 0.5, 0}, {0.4, 0.4, 0.4}};

// One series per marker symbol, each a short column of points at x = 1 ... 10 in its own colour, every
// axis reversed, with a legend and a title of two lines.
PlotDescription all_markers_plot(bool is3D, int number = 1) {
    PlotDescription d;
    d.number = number;
    d.name = "Output";
    d.axes.is3D = is3D;
    for (std::size_t i = 0; i < kMarkerSymbols.size(); ++i) {
        const double x = double(i + 1);
        const std::vector<double> column = {1, 2, 3}, level = {1, 1, 1}, none = {};
        d.axes.series.push_back(PlotSeries{{x, x, x},
                                           is3D ? level : column,
                                           is3D ? column : none,
                                           std::string(kMarkerSymbols[i]),
                                           kColors[i]});
    }
    d.axes.reversed = {true, true, true};
    d.axes.title = is3D ? "All markers in 3D\nsecond line" : "All markers in 2D\nsecond line";
    d.axes.labels = {"F2", is3D ? "Duration" : "F1", "F1"};
    d.axes.legend = std::vector<std::string>(kMarkerSymbols.begin(), kMarkerSymbols.end());
    d.buttonDownFcn = "plot_show_mouse_location";
    return d;
}

// Pixels close to the colour (anti-aliased edges blend with the white background, so allow some slack).
int count_pixels_near(const QImage& image, QColor c, int tolerance = 40) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            n += std::abs(p.red() - c.red()) <= tolerance && std::abs(p.green() - c.green()) <= tolerance &&
                 std::abs(p.blue() - c.blue()) <= tolerance;
        }
    return n;
}

// A 3D axis as the user sees it: its title, first and last labels and direction.
QString described(const QValue3DAxis* a) {
    const QStringList l = a->labels();
    return QString("%1 %2..%3%4")
        .arg(a->title(), l.value(0), l.value(l.size() - 1), a->reversed() ? " reversed" : "");
}

class PlotHostTest : public ::testing::Test {
  protected:
    // As the program wires it, a press in a plot switches it into editing.
    PlotHostTest() {
        host.onButtonDown = [this](int number) { host.set_editing(number); };
    }

    // Opens window `number` and shows the plot in it, the way the plot operations do.
    PlotWindow* shown(const PlotDescription& d) {
        host.open(d.number, d.name);
        host.show(d);
        PlotWindow* w = host.window(d.number);
        EXPECT_TRUE(w && QTest::qWaitForWindowExposed(w));
        return w;
    }

    QtPlotHost host;
};

// For tests run on both the 2D and the 3D view.
class PlotHostBothDims : public PlotHostTest, public ::testing::WithParamInterface<bool> {};
INSTANTIATE_TEST_SUITE_P(PlotDimensions, PlotHostBothDims, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "3D" : "2D"; });

// A window per number, which the user can close, also while the program waits for a key in it; a later
// plot opens it again. A key pressed where the keyboard focus would be ends a wait.
TEST_F(PlotHostTest, AWindowPerNumberWaitsForAKeyUntilPressedOrClosed) {
    host.open(3, "");
    QPointer<PlotWindow> w = host.window(3);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget(), nullptr) << "plot windows do not belong to the main window";
    host.open(3, "Output");
    EXPECT_EQ(host.window(3), w) << "opening an open number brings the same window forward";
    EXPECT_EQ(w->windowTitle(), "Figure 3: Output");

    QString noteWhileWaiting;
    QTimer::singleShot(50, [&] {
        noteWhileWaiting = w->wait_note();
        w->close();
    });
    host.wait_for_key(3);
    EXPECT_EQ(noteWhileWaiting, "Press any key in this window to continue");
    EXPECT_EQ(host.window(3), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    host.wait_for_key(3); // waiting on or editing a closed window is harmless
    host.set_editing(3);

    host.show(all_markers_plot(false, 3));
    w = host.window(3);
    ASSERT_TRUE(w && w->has_plot() && QTest::qWaitForWindowExposed(w)) << "a fresh window for the number";
    QTimer::singleShot(50, [&] { QTest::keyClick(w->chart_view(), Qt::Key_Space); });
    QTimer::singleShot(10000, w, &QWidget::close); // a failsafe, should the key not end the wait
    host.wait_for_key(3);
    ASSERT_EQ(host.window(3), w) << "the wait ended by the failsafe, not the key";
    EXPECT_EQ(w->wait_note(), "");
}

// A 3D plot maps F1 to the vertical axis, skips points it cannot place, and rotates once a click in it
// has switched on editing (the 2D view is switched by a click in the end-to-end study).
TEST_F(PlotHostTest, ThreeDimensionalPlotShowsTheDescriptionAndAClickCanSwitchOnRotation) {
    if (!opengl_available())
        GTEST_SKIP() << "3D graphs need OpenGL";
    PlotDescription d = all_markers_plot(true); // x 1..10, y 1, z 1..3
    d.axes.reversed = {true, false, true};
    d.axes.limits = {AxisLimits{-3, 3}, AxisLimits{-0.5, 0.5}, AxisLimits{-2, 2}};
    // A point without a coordinate, or with one beyond the graph's floats, cannot be placed.
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    d.axes.series[0].x = {1, nan, 1, 1e300};
    d.axes.series[0].y = {1, 1, 1, 1};
    d.axes.series[0].z = {1, 2, 3, 1};
    PlotWindow* w = shown(d);
    ASSERT_TRUE(w && w->scatter());
    Q3DScatter& g = *w->scatter();
    // Plot x -> graph x, plot y (duration) -> graph depth (z), plot z (F1) -> graph vertical (y).
    EXPECT_EQ(described(g.axisX()), "F2 -3..3 reversed");
    EXPECT_EQ(described(g.axisY()), "F1 -2..2 reversed");
    EXPECT_EQ(described(g.axisZ()), "Duration -0.5..0.5");
    const auto series = g.seriesList();
    ASSERT_EQ(series.size(), 10);
    ASSERT_EQ(series[0]->dataProxy()->itemCount(), 2);
    // The point (1, 1, 3) sits at graph (x, y, z) = (1, 3, 1), in axis units: x 1 on -3..3, F1 3 on
    // -2..2 (outside the fixed range), duration 1 on -0.5..0.5.
    EXPECT_EQ(series[0]->dataProxy()->itemAt(1)->position(), QVector3D(4.f / 6.f, 5.f / 4.f, 1.5f));
    EXPECT_EQ(series[3]->baseColor(), to_qcolor(kColors[3]));
    // Pyramids point their way: "v" down, ">" right.
    EXPECT_LT((series[7]->meshRotation().rotatedVector({0, 1, 0}) - QVector3D(0, -1, 0)).length(), 1e-5f);
    EXPECT_LT((series[8]->meshRotation().rotatedVector({0, 1, 0}) - QVector3D(1, 0, 0)).length(), 1e-5f);

    EXPECT_EQ(g.activeInputHandler(), nullptr) << "no rotation before editing";
    QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(w->edit_note().startsWith("Editing:"));
    EXPECT_NE(qobject_cast<Q3DInputHandler*>(g.activeInputHandler()), nullptr);
    // The Edit menu switches it off again.
    ASSERT_TRUE(w->editing_action()->isChecked());
    w->editing_action()->trigger();
    EXPECT_EQ(w->edit_note(), "");
    EXPECT_EQ(g.activeInputHandler(), nullptr);
}

// A 2D legend goes inside the plot area where it fits, and beside the plot where it does not or where
// "Legend outside" puts it, in columns with a place for every entry; a 3D graph always has it beside.
TEST_F(PlotHostTest, TheLegendGoesBesideThePlotWhereItDoesNotFitInsideOrWhereTheUserPutsIt) {
    PlotWindow* w = shown(all_markers_plot(false)); // ten entries
    ASSERT_NE(w, nullptr);
    QAction* outside = w->legend_outside_action();
    ASSERT_TRUE(outside->isEnabled());
    EXPECT_FALSE(w->legend_beside());
    EXPECT_TRUE(legend_inside(*w->chart()));
    outside->trigger();
    EXPECT_TRUE(w->legend_beside());
    EXPECT_FALSE(legend_inside(*w->chart()));
    EXPECT_GE(w->legend_places(), 10u);
    EXPECT_TRUE(w->plot().axes.legendOutside) << "a saved picture shows it beside the plot too";
    outside->trigger();
    EXPECT_FALSE(w->legend_beside());

    PlotDescription many = all_markers_plot(false, 2);
    for (int i = 10; i < 48; ++i) {
        many.axes.series.push_back(many.axes.series[std::size_t(i % 10)]);
        many.axes.legend->push_back("vowel " + std::to_string(i + 1));
    }
    w = shown(many);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->legend_beside());
    EXPECT_FALSE(w->legend_outside_action()->isChecked()) << "beside because it does not fit, not by choice";
    EXPECT_GE(w->legend_places(), 48u);
    EXPECT_LE(w->legend_widget()->width(), w->width() / 2);

    if (!opengl_available())
        return;
    w = shown(all_markers_plot(true, 3));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->legend_beside());
    EXPECT_TRUE(w->legend_outside_action()->isChecked());
    EXPECT_FALSE(w->legend_outside_action()->isEnabled());
}

// A 2D window, not yet in editing mode, without a legend, its x axis reversed and running from 0 to 10, y
// from 0 to 4.
class PlotEditing2D : public PlotHostTest {
  protected:
    void SetUp() override {
        PlotDescription d = all_markers_plot(false);
        d.axes.legend.reset();
        d.axes.reversed = {true, false, false};
        d.axes.limits[0] = AxisLimits{0, 10};
        d.axes.limits[1] = AxisLimits{0, 4};
        w = shown(d);
        ASSERT_NE(w, nullptr);
    }
    // A point of the view at fractions (fx from the left, fy from the top) of the plot area.
    QPoint at(double fx, double fy) const {
        const QRectF area = w->chart()->plotArea();
        const QPointF scene =
            w->chart()->mapToScene(QPointF(area.left() + fx * area.width(), area.top() + fy * area.height()));
        return w->chart_view()->mapFromScene(scene);
    }
    PlotWindow* w = nullptr;
};

// A click switches the plot into editing: a dragged box, the wheel and the middle button then zoom and pan.
TEST_F(PlotEditing2D, AClickSwitchesOnEditingWhereTheWheelZoomsAboutThePointerAndDraggingPans) {
    // A quarter of the way from the left of a reversed 0..10 axis is x = 7.5; a quarter from the top
    // of 0..4 is y = 3.
    const QPoint p = at(0.25, 0.25);
    const QValueAxis* x = chart_axis(*w->chart(), 0);
    const QValueAxis* y = chart_axis(*w->chart(), 1);
    QWheelEvent wheel(p, w->chart_view()->mapToGlobal(p), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->chart_view()->viewport(), &wheel);
    EXPECT_DOUBLE_EQ(x->max() - x->min(), 10);
    QTest::mouseClick(w->chart_view()->viewport(), Qt::LeftButton, {}, p);
    EXPECT_TRUE(w->is_editing());
    EXPECT_EQ(w->chart_view()->rubberBand(), QChartView::RectangleRubberBand);
    QApplication::sendEvent(w->chart_view()->viewport(), &wheel);
    EXPECT_NEAR(x->max() - x->min(), 8, 1e-6);
    EXPECT_NEAR(y->max() - y->min(), 3.2, 1e-6);
    EXPECT_NEAR(x->min(), 7.5 - 0.75 * 8, 0.05); // 7.5 stays a quarter from the left
    EXPECT_NEAR(y->min(), 3 - 0.75 * 3.2, 0.05);

    // A tenth of the width to the right on a reversed axis shows larger x values: the range moves up.
    const double before = x->min();
    const QPoint from = at(0.5, 0.5), to = from + QPoint(int(w->chart()->plotArea().width() / 10), 0);
    QTest::mousePress(w->chart_view()->viewport(), Qt::MiddleButton, {}, from);
    QTest::mouseMove(w->chart_view()->viewport(), to);
    QTest::mouseRelease(w->chart_view()->viewport(), Qt::MiddleButton, {}, to);
    EXPECT_NEAR(x->min() - before, 0.8, 0.1);

    // Panned so far that the markers leave the view, the saved picture shows none of them.
    QTemporaryDir dir;
    w->chart_view()->pan_by(QPointF(w->chart()->plotArea().width() * 3, 0));
    ASSERT_EQ(w->save_picture(dir.filePath("panned.png")), "");
    EXPECT_EQ(count_pixels_near(QImage(dir.filePath("panned.png")), QColor(255, 0, 0)), 0);
}

TEST_F(PlotEditing2D, DoubleClickOnTheTitleOrAnAxisLabelInEditingModeAsksForTheNewText) {
    const struct {
        double fx, fy; // where to double-click, as fractions of the plot area
        const char* prompt;
        const char* current;
    } cases[] = {{0.5, -0.05, "Title:", "All markers in 2D\nsecond line"},
                 {0.5, 1.08, "X label:", "F2"},
                 {-0.08, 0.5, "Y label:", "F1"}};
    for (const auto& c : cases) {
        QString asked, current;
        w->askText = [&](const QString& prompt, const QString& cur, bool) -> std::optional<QString> {
            asked = prompt;
            current = cur;
            return QString(c.prompt) + " new";
        };
        w->set_editing(false);
        QTest::mouseDClick(w->chart_view()->viewport(), Qt::LeftButton, {}, at(c.fx, c.fy));
        EXPECT_EQ(asked, "") << "nothing is asked outside editing mode";
        w->set_editing(true);
        QTest::mouseDClick(w->chart_view()->viewport(), Qt::LeftButton, {}, at(c.fx, c.fy));
        EXPECT_EQ(asked, c.prompt);
        EXPECT_EQ(current, c.current);
    }
    EXPECT_EQ(w->plot().axes.title, "Title: new");
    EXPECT_EQ(w->plot().axes.labels[0], "X label: new");
    EXPECT_EQ(w->plot().axes.labels[1], "Y label: new");
}

// Save As writes a 2D plot as PNG, SVG or PDF and a 3D one as PNG only, and says why it wrote nothing.
// A picture shows every marker in its colour (kept in the build folder for a look).
TEST_P(PlotHostBothDims, SaveAsWritesThePictureInTheChosenFormat) {
    const bool is3D = GetParam();
    if (is3D && !opengl_available())
        GTEST_SKIP() << "3D graphs need OpenGL";
    PlotWindow* w = shown(all_markers_plot(is3D));
    ASSERT_NE(w, nullptr);
    w->resize(900, 640);
    QApplication::processEvents();
    QTemporaryDir dir;
    QString error;
    w->showError = [&](const QString& message) { error = message; };
    const QString png = QString(TARVIK_BUILD_DIR) + (is3D ? "/plot_markers_3d.png" : "/plot_markers_2d.png");
    const QString noFolder = dir.filePath("none/a.png");
    const QString only2D = is3D ? "3D plots are saved as PNG pictures only; SVG and PDF hold 2D plots." : "";
    const struct {
        QString path;
        QString error;
        QByteArray start; // of the file written
    } cases[] = {
        {png, "", "\x89PNG"},
        {dir.filePath("a.svg"), only2D, is3D ? "" : "<?xml"},
        {dir.filePath("a.pdf"), only2D, is3D ? "" : "%PDF"},
        {dir.filePath("a.jpg"),
         "Cannot save \"" + dir.filePath("a.jpg") + "\": use a file name ending in .png, .svg or .pdf.", ""},
        {noFolder, "Cannot write \"" + noFolder + "\": No such file or directory.", ""},
    };
    QFile::remove(png); // the picture of an earlier run
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        w->askSavePath = [&](bool onlyPng) {
            EXPECT_EQ(onlyPng, is3D) << "only a 2D plot offers SVG and PDF";
            return c.path;
        };
        error.clear();
        w->save_action()->trigger();
        EXPECT_EQ(error, c.error);
        QFile file(c.path);
        const bool written = file.open(QIODevice::ReadOnly) && file.read(5).startsWith(c.start);
        EXPECT_EQ(written, !c.start.isEmpty());
    }

    const QImage image(png);
    for (std::size_t i = 0; i < kColors.size(); ++i) {
        const QColor c = to_qcolor(kColors[i]);
        if (c == QColor(0, 0, 0) || (is3D && kMarkerSymbols[i] == "."))
            continue; // black is also the text; a 3D point is a few pixels whose shade varies
        EXPECT_GT(count_pixels_near(image, c, is3D ? 70 : 40), 3) << kMarkerSymbols[i];
    }
    EXPECT_EQ(image.size(), w->picture_size()) << "a picture has the size of the plot in the window";
}

} // namespace
} // namespace tarvik
