// The plot windows on the test display: titles, what the 2D and 3D views show, the key wait, the
// mouse hook, editing mode and saving pictures.
#include "qt/plot_chart_2d.h"
#include "qt/plot_chart_view.h"
#include "qt/plot_export.h"
#include "qt/plot_markers.h"
#include "qt/plot_samples.h"
#include "qt/plot_scatter_3d.h"
#include "qt/plot_window.h"
#include "qt/qt_plot_host.h"

#include <Q3DInputHandler>
#include <Q3DScatter>
#include <Q3DTheme>
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QScatter3DSeries>
#include <QScatterDataProxy>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValue3DAxis>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

// 3D graphs need OpenGL, which the offscreen platform lacks.
#define SKIP_3D_WITHOUT_OPENGL(is3D)                                                                         \
    if ((is3D) && !opengl_available())                                                                       \
    GTEST_SKIP() << "3D graphs need OpenGL"

namespace tarvik {
namespace {

using testing::all_markers_plot;
using testing::count_pixels_near;

// A 3D axis as the user sees it: its title (if shown), first and last labels and direction.
QString described(const QValue3DAxis* a) {
    const QStringList l = a->labels();
    return QString("%1 %2..%3%4")
        .arg(a->isTitleVisible() ? a->title() : "(no title)", l.value(0), l.value(l.size() - 1),
             a->reversed() ? " reversed" : "");
}

class PlotHostTest : public ::testing::Test {
  protected:
    void TearDown() override { QApplication::processEvents(); }

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

TEST_F(PlotHostTest, AWindowPerNumberTitledWithNumberAndName) {
    host.open(3, "Output");
    PlotWindow* w = host.window(3);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "Figure 3: Output");
    EXPECT_TRUE(w->isVisible() && w->isWindow());
    EXPECT_EQ(w->parentWidget(), nullptr) << "plot windows do not belong to the main window";

    host.open(3, "Again");
    EXPECT_EQ(host.window(3), w) << "opening an open number brings the same window forward";
    EXPECT_EQ(w->windowTitle(), "Figure 3: Again");

    host.open(4, "");
    ASSERT_NE(host.window(4), nullptr);
    EXPECT_NE(host.window(4), w);
    EXPECT_EQ(host.window(4)->windowTitle(), "Figure 4");
}

TEST_F(PlotHostTest, ClosingByCodeOrByTheUserForgetsTheWindow) {
    host.open(1, "Output");
    QPointer<PlotWindow> w = host.window(1);
    host.close(1);
    EXPECT_EQ(host.window(1), nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    host.close(1); // closing twice, or waiting on or editing a closed window, is harmless
    host.wait_for_key(1);
    host.set_editing(1);

    host.open(2, "Output");
    host.window(2)->close();
    EXPECT_EQ(host.window(2), nullptr);
    // A later show of that number opens a fresh window instead of failing.
    host.show(all_markers_plot(false, 2));
    ASSERT_NE(host.window(2), nullptr);
    EXPECT_TRUE(host.window(2)->has_plot());
}

TEST_F(PlotHostTest, TwoDimensionalPlotShowsAChart) {
    PlotWindow* w = shown(all_markers_plot(false));
    ASSERT_TRUE(w && w->chart());
    EXPECT_EQ(w->scatter(), nullptr);
    EXPECT_EQ(w->chart()->series().size(), 10);
    EXPECT_TRUE(chart_axis(*w->chart(), 0)->isReverse());

    // Showing again replaces the plot (the first view of a two-step plot gives way to the second).
    PlotDescription second = all_markers_plot(false);
    second.axes.series.resize(2);
    second.axes.reversed = {false, false, false};
    host.show(second);
    EXPECT_EQ(w->chart()->series().size(), 2);
    EXPECT_FALSE(chart_axis(*w->chart(), 0)->isReverse());
}

// ---- 3D -----------------------------------------------------------------------------------------------

TEST_F(PlotHostTest, ThreeDimensionalPlotMapsF1ToTheVerticalAxisAndUsesTheSymbolsMeshes) {
    SKIP_3D_WITHOUT_OPENGL(true);
    PlotDescription d = all_markers_plot(true); // x 1..10, y 1, z 1..3
    PlotWindow* w = shown(d);
    ASSERT_TRUE(w && w->scatter());
    Q3DScatter& g = *w->scatter();
    EXPECT_EQ(w->chart(), nullptr);
    // Plot x -> graph x, plot y (duration) -> graph depth (z), plot z (F1) -> graph vertical (y). Without
    // fixed limits the ranges fit the data; a single duration gets room either side.
    EXPECT_EQ(described(g.axisX()), "F2 0..10 reversed");
    EXPECT_EQ(described(g.axisY()), "F1 1.0..3.0 reversed");
    EXPECT_EQ(described(g.axisZ()), "Duration 0.0..2.0 reversed");
    EXPECT_TRUE(g.activeTheme()->isGridEnabled());

    // Every axis is drawn from 0 to 1 and labelled with the data's values.
    d.axes.reversed = {true, false, true};
    d.axes.limits = {AxisLimits{-3, 3}, AxisLimits{-0.5, 0.5}, AxisLimits{-2, 2}};
    host.show(d);
    EXPECT_EQ(described(g.axisX()), "F2 -3..3 reversed");
    EXPECT_EQ(described(g.axisY()), "F1 -2..2 reversed");
    EXPECT_EQ(described(g.axisZ()), "Duration -0.5..0.5");
    const auto series = g.seriesList();
    ASSERT_EQ(series.size(), 10);
    ASSERT_EQ(series[0]->dataProxy()->itemCount(), 3);
    // The point (1, 1, 3) of the description sits at graph (x, y, z) = (1, 3, 1), in axis units:
    // x 1 on -3..3, F1 3 on -2..2 (outside the fixed range), duration 1 on -0.5..0.5.
    EXPECT_EQ(series[0]->dataProxy()->itemAt(2)->position(), QVector3D(4.f / 6.f, 5.f / 4.f, 1.5f));
    for (int i = 0; i < 10; ++i) {
        const MarkerMesh m = marker_mesh(kMarkerSymbols[i]);
        EXPECT_EQ(series[i]->mesh(), m.mesh) << kMarkerSymbols[i];
        EXPECT_EQ(series[i]->userDefinedMesh(), m.file) << kMarkerSymbols[i];
        EXPECT_EQ(series[i]->meshRotation(), m.rotation) << kMarkerSymbols[i];
        EXPECT_EQ(series[i]->baseColor(), to_qcolor(testing::kSampleColors[i]));
    }
}

TEST_F(PlotHostTest, ThreeDimensionalPointsWithAMissingCoordinateAreSkipped) {
    SKIP_3D_WITHOUT_OPENGL(true);
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    PlotDescription d;
    d.number = 1;
    d.axes.is3D = true;
    d.axes.series.push_back(PlotSeries{{1, nan, 3, 4}, {1, 2, nan, 4}, {1, 2, 3, nan}, "o", {0, 0, 1}});
    d.axes.series.push_back(PlotSeries{{}, {}, {}, "x", {1, 0, 0}});
    // The graph holds floats: a coordinate far beyond them cannot be placed either.
    d.axes.series.push_back(PlotSeries{{1e300, 1}, {0, 1}, {0, 1}, "s", {0, 1, 0}});
    PlotWindow* w = shown(d);
    ASSERT_TRUE(w && w->scatter());
    const auto series = w->scatter()->seriesList();
    EXPECT_EQ(series[0]->dataProxy()->itemCount(), 1);
    EXPECT_EQ(series[1]->dataProxy()->itemCount(), 0);
    EXPECT_EQ(series[2]->dataProxy()->itemCount(), 1);
    EXPECT_TRUE(std::isfinite(w->scatter()->axisX()->max() - w->scatter()->axisX()->min()));
}

TEST(PlotMesh, EachSymbolHasAMeshPointingItsWay) {
    using M = QAbstract3DSeries::Mesh;
    const struct {
        const char* symbol;
        M mesh;
        const char* file;
        QVector3D tip; // where a pyramid's tip points (the built-in one points up); zero for the others
    } cases[] = {{"x", M::MeshUserDefined, ":/meshes/cross.obj", {}},
                 {"+", M::MeshUserDefined, ":/meshes/plus.obj", {}},
                 {"o", M::MeshSphere, "", {}},
                 {"*", M::MeshUserDefined, ":/meshes/asterisk.obj", {}},
                 {".", M::MeshPoint, "", {}},
                 {"s", M::MeshCube, "", {}},
                 {"^", M::MeshPyramid, "", {0, 1, 0}},
                 {"v", M::MeshPyramid, "", {0, -1, 0}},
                 {">", M::MeshPyramid, "", {1, 0, 0}},
                 {"<", M::MeshPyramid, "", {-1, 0, 0}}};
    std::unique_ptr<Q3DScatter> graph;
    if (opengl_available()) {
        graph = std::make_unique<Q3DScatter>(); // registers the meshes
        prepare_scatter(*graph);
    }
    for (const auto& c : cases) {
        const MarkerMesh m = marker_mesh(c.symbol);
        EXPECT_EQ(m.mesh, c.mesh) << c.symbol;
        EXPECT_EQ(m.file, QString(c.file)) << c.symbol;
        if (!c.tip.isNull()) {
            EXPECT_LT((m.rotation.rotatedVector(QVector3D(0, 1, 0)) - c.tip).length(), 1e-5f) << c.symbol;
        }
        QFile f(m.file);
        if (graph && !m.file.isEmpty()) {
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.symbol;
            EXPECT_TRUE(f.readAll().contains("\nf ")) << "a mesh with faces";
        }
    }
}

// ---- Waiting for a key --------------------------------------------------------------------------------

TEST_P(PlotHostBothDims, KeyWaitEndsOnAKeyPressInTheWindowOrWhenItClosesAndShowsANoteMeanwhile) {
    const bool is3D = GetParam();
    SKIP_3D_WITHOUT_OPENGL(is3D);
    PlotWindow* w = shown(all_markers_plot(is3D));
    ASSERT_NE(w, nullptr);
    QString noteWhileWaiting;
    bool pressed = false;
    QTimer::singleShot(50, [&] {
        noteWhileWaiting = w->wait_note();
        pressed = true;
        // The key goes where keyboard focus would be: the graph of a 3D window, the chart of a 2D one.
        if (is3D)
            QTest::keyClick(w->scatter(), Qt::Key_Space);
        else
            QTest::keyClick(w->chart_view(), Qt::Key_Space);
    });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, w, &QWidget::close);
    failsafe.start(10000);
    host.wait_for_key(1);
    ASSERT_TRUE(pressed);
    ASSERT_TRUE(failsafe.isActive()) << "the wait ended by the failsafe, not the key";
    EXPECT_EQ(noteWhileWaiting, "Press any key in this window to continue");
    EXPECT_EQ(w->wait_note(), "");

    QTimer::singleShot(50, w, &QWidget::close);
    host.wait_for_key(1);
    EXPECT_EQ(host.window(1), nullptr);
    host.wait_for_key(1); // no window of that number: returns at once
}

// ---- Mouse presses and editing mode ------------------------------------------------------------------

TEST_P(PlotHostBothDims, APressCallsTheHookOnlyWhenNamedAndTheHookCanSwitchOnEditing) {
    const bool is3D = GetParam();
    SKIP_3D_WITHOUT_OPENGL(is3D);
    std::vector<int> calls;
    host.onButtonDown = [&](int number) {
        calls.push_back(number);
        host.set_editing(number);
    };
    PlotDescription d = all_markers_plot(is3D, 5);
    PlotWindow* w = shown(d);
    ASSERT_NE(w, nullptr);
    auto press = [&] {
        if (is3D)
            QTest::mouseClick(w->scatter(), Qt::LeftButton, {}, QPoint(100, 100));
        else
            QTest::mouseClick(w->chart_view()->viewport(), Qt::LeftButton, {}, QPoint(100, 100));
    };
    press();
    EXPECT_TRUE(calls.empty()) << "no handler named yet";

    d.buttonDownFcn = "plot_show_mouse_location";
    host.show(d);
    EXPECT_FALSE(w->is_editing());
    EXPECT_EQ(w->edit_note(), "");
    if (is3D)
        EXPECT_EQ(w->scatter()->activeInputHandler(), nullptr) << "no rotation before editing";
    else
        EXPECT_EQ(w->chart_view()->rubberBand(), QChartView::NoRubberBand);

    press();
    EXPECT_EQ(calls, std::vector<int>{5});
    EXPECT_TRUE(w->is_editing());
    EXPECT_TRUE(w->edit_note().startsWith("Editing:"));
    EXPECT_TRUE(w->editing_action()->isChecked());
    if (is3D)
        EXPECT_NE(qobject_cast<Q3DInputHandler*>(w->scatter()->activeInputHandler()), nullptr);
    else
        EXPECT_EQ(w->chart_view()->rubberBand(), QChartView::RectangleRubberBand);

    // The Edit menu switches it off again.
    w->editing_action()->trigger();
    EXPECT_FALSE(w->is_editing());
    EXPECT_EQ(w->edit_note(), "");
}

// A 2D window in editing mode, without a legend, its x axis reversed and running from 0 to 10, y from 0
// to 4.
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
        w->set_editing(true);
        x = chart_axis(*w->chart(), 0);
        y = chart_axis(*w->chart(), 1);
    }
    // A point of the view at fractions (fx from the left, fy from the top) of the plot area.
    QPoint at(double fx, double fy) const {
        const QRectF area = w->chart()->plotArea();
        const QPointF scene =
            w->chart()->mapToScene(QPointF(area.left() + fx * area.width(), area.top() + fy * area.height()));
        return w->chart_view()->mapFromScene(scene);
    }
    void wheel_up_at(QPoint p) {
        QWheelEvent wheel(p, w->chart_view()->mapToGlobal(p), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->chart_view()->viewport(), &wheel);
    }
    PlotWindow* w = nullptr;
    QValueAxis* x = nullptr;
    QValueAxis* y = nullptr;
};

TEST_F(PlotEditing2D, WheelZoomKeepsTheValueUnderThePointerAndWorksOnlyInEditingMode) {
    // A quarter of the way from the left of a reversed 0..10 axis is x = 7.5; a quarter from the top
    // of 0..4 is y = 3.
    const QPoint p = at(0.25, 0.25);
    w->set_editing(false);
    wheel_up_at(p);
    EXPECT_DOUBLE_EQ(x->min(), 0);
    EXPECT_DOUBLE_EQ(x->max(), 10);

    w->set_editing(true);
    wheel_up_at(p);
    EXPECT_NEAR(x->max() - x->min(), 8, 1e-6);
    EXPECT_NEAR(y->max() - y->min(), 3.2, 1e-6);
    EXPECT_NEAR(x->min(), 7.5 - 0.75 * 8, 0.05); // 7.5 stays a quarter from the left
    EXPECT_NEAR(y->min(), 3 - 0.75 * 3.2, 0.05);
}

TEST_F(PlotEditing2D, DraggingMovesTheContentWithThePointerAndThePictureShowsIt) {
    QTemporaryDir dir;
    const QString whole = dir.filePath("whole.png"), panned = dir.filePath("panned.png");
    ASSERT_EQ(w->save_picture(whole), "");
    const QRectF area = w->chart()->plotArea();
    // A tenth of the width to the right on a reversed axis shows larger x values: the range moves up.
    const QPoint from = at(0.5, 0.5), to = from + QPoint(int(area.width() / 10), 0);
    QTest::mousePress(w->chart_view()->viewport(), Qt::MiddleButton, {}, from);
    QTest::mouseMove(w->chart_view()->viewport(), to);
    QTest::mouseRelease(w->chart_view()->viewport(), Qt::MiddleButton, {}, to);
    EXPECT_NEAR(x->min(), 1, 0.1);
    EXPECT_NEAR(x->max(), 11, 0.1);
    // Dragging down on an ordinary y axis shows larger y values.
    w->chart_view()->pan_by(QPointF(0, area.height() / 4));
    EXPECT_NEAR(y->min(), 1, 1e-6);
    EXPECT_NEAR(y->max(), 5, 1e-6);

    // Panned so far that the markers leave the view, the saved picture shows none of them.
    w->chart_view()->pan_by(QPointF(area.width() * 3, 0));
    ASSERT_EQ(w->save_picture(panned), "");
    EXPECT_GT(count_pixels_near(QImage(whole), QColor(255, 0, 0)), 10);
    EXPECT_EQ(count_pixels_near(QImage(panned), QColor(255, 0, 0)), 0);
}

struct TextEditCase {
    const char* name;
    double fx, fy; // where to double-click, as fractions of the plot area
    const char* prompt;
    const char* current;
};
class PlotTextEdit : public PlotEditing2D, public ::testing::WithParamInterface<TextEditCase> {};

TEST_P(PlotTextEdit, DoubleClickInEditingModeAsksForTheNewText) {
    const TextEditCase& c = GetParam();
    QString asked, current;
    w->askText = [&](const QString& prompt, const QString& cur, bool) -> std::optional<QString> {
        asked = prompt;
        current = cur;
        return QString("New text");
    };
    w->set_editing(false);
    QTest::mouseDClick(w->chart_view()->viewport(), Qt::LeftButton, {}, at(c.fx, c.fy));
    EXPECT_EQ(asked, "") << "nothing is asked outside editing mode";

    w->set_editing(true);
    QTest::mouseDClick(w->chart_view()->viewport(), Qt::LeftButton, {}, at(c.fx, c.fy));
    EXPECT_EQ(asked, c.prompt);
    EXPECT_EQ(current, c.current);
    const std::string name = c.name;
    if (name == "title") {
        EXPECT_EQ(w->chart()->title(), "<center>New text</center>");
        EXPECT_EQ(w->plot().axes.title, "New text");
    } else {
        const int axis = name == "x_label" ? 0 : 1;
        EXPECT_EQ((axis == 0 ? x : y)->titleText(), "New text");
        EXPECT_EQ(w->plot().axes.labels[axis], "New text");
    }
}

INSTANTIATE_TEST_SUITE_P(PlotTexts, PlotTextEdit,
                         ::testing::Values(TextEditCase{"title", 0.5, -0.05,
                                                        "Title:", "All markers in 2D\nsecond line"},
                                           TextEditCase{"x_label", 0.5, 1.08, "X label:", "F2"},
                                           TextEditCase{"y_label", -0.08, 0.5, "Y label:", "F1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlotHostTest, ThreeDimensionalTitleAndLegendBesideTheGraphAndTheirTextsEditable) {
    SKIP_3D_WITHOUT_OPENGL(true);
    PlotDescription d = all_markers_plot(true);
    d.axes.legend = std::vector<std::string>{"iy", "ih"};
    PlotWindow* w = shown(d);
    ASSERT_TRUE(w && w->title_widget() && w->legend_widget());
    EXPECT_TRUE(w->title_widget()->isVisible());
    EXPECT_GT(w->title_widget()->height(), 20) << "two title lines";
    EXPECT_TRUE(w->legend_widget()->isVisible());
    // Legend left of nothing: it stands to the right of the graph.
    EXPECT_GE(w->legend_widget()->mapTo(w, QPoint(0, 0)).x(),
              w->scatter_container()->mapTo(w, QPoint(w->scatter_container()->width(), 0)).x());
    d.axes.legend.reset();
    host.show(d);
    EXPECT_FALSE(w->legend_widget()->isVisible());

    // Axis labels from the Edit menu.
    w->askText = [](const QString& prompt, const QString&, bool) -> std::optional<QString> {
        return prompt == "Z label:" ? std::optional<QString>("Formant 1") : std::nullopt;
    };
    w->set_editing(true);
    w->edit_text(PlotText::ZLabel);
    w->edit_text(PlotText::XLabel); // cancelled: stays
    EXPECT_EQ(w->scatter()->axisY()->title(), "Formant 1");
    EXPECT_EQ(w->scatter()->axisX()->title(), "F2");
    EXPECT_EQ(w->plot().axes.labels[2], "Formant 1");

    // A double click on the title asks for a new title.
    QString asked;
    w->askText = [&](const QString& prompt, const QString&, bool multiLine) -> std::optional<QString> {
        asked = prompt;
        EXPECT_TRUE(multiLine) << "titles have several lines";
        return QString("First\nSecond");
    };
    QTest::mouseDClick(w->title_widget(), Qt::LeftButton);
    EXPECT_EQ(asked, "Title:");
    EXPECT_EQ(w->plot().axes.title, "First\nSecond");
    EXPECT_GT(w->title_widget()->sizeHint().height(), 2 * w->title_widget()->fontMetrics().height());
}

// ---- Saving pictures -------------------------------------------------------------------------------------

// Pictures of all ten markers, kept in the build folder for a look; then Save As, which writes a 2D plot
// as PNG, SVG or PDF and a 3D one as PNG only, saying why when asked for more.
TEST_P(PlotHostBothDims, PicturesOfAllMarkersAndSaveAsInTheChosenFormat) {
    const bool is3D = GetParam();
    SKIP_3D_WITHOUT_OPENGL(is3D);
    PlotWindow* w = shown(all_markers_plot(is3D));
    ASSERT_NE(w, nullptr);
    w->resize(900, 640);
    QApplication::processEvents();
    const QString dim = is3D ? "3d.png" : "2d.png";
    const QString path = QString(TARVIK_BUILD_DIR) + "/plot_markers_" + dim;
    ASSERT_EQ(w->save_picture(path), "");
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    for (std::size_t i = 0; i < testing::kSampleColors.size(); ++i) {
        const QColor c = to_qcolor(testing::kSampleColors[i]);
        if (c == QColor(0, 0, 0) || (is3D && kMarkerSymbols[i] == "."))
            continue; // black is also the text; a 3D point is a few pixels whose shade varies
        EXPECT_GT(count_pixels_near(image, c, is3D ? 70 : 40), 3) << kMarkerSymbols[i];
    }

    QTemporaryDir dir;
    QString error;
    w->showError = [&](const QString& message) { error = message; };
    for (const QString name : {"a.png", "a.svg", "a.pdf", ""}) { // "": cancelled
        const bool refused = is3D && !name.isEmpty() && !name.endsWith("png");
        bool onlyPng = !is3D;
        w->askSavePath = [&](bool only) {
            onlyPng = only;
            return name.isEmpty() ? name : dir.filePath(name);
        };
        error.clear();
        w->save_action()->trigger();
        EXPECT_EQ(onlyPng, is3D) << "only a 2D plot offers SVG and PDF";
        EXPECT_EQ(error,
                  refused ? "3D plots are saved as PNG pictures only; SVG and PDF hold 2D plots." : "");
        if (!name.isEmpty()) {
            EXPECT_EQ(QFile(dir.filePath(name)).size() > 1000, !refused) << name.toStdString();
        }
    }
    if (!is3D) {
        EXPECT_EQ(QImage(dir.filePath("a.png")).size(), w->chart_view()->size())
            << "the picture has the size of the window's chart";
    }

    // The window itself on the screen, in editing mode, as the user sees it.
    w->set_editing(true);
    QTest::qWait(300);
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(w->winId());
    EXPECT_TRUE(screen.save(QString(TARVIK_BUILD_DIR) + "/plot_window_" + dim));
}

} // namespace
} // namespace tarvik
