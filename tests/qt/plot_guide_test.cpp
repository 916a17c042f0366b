// The plots of the user guide on the twelve vowels of the example study of Hillenbrand et al., a group
// per vowel, in real plot windows: a 2D plot that names every vowel in its legend, and a 3D plot whose
// axes name their columns with their units. The windows' pictures are saved in the build folder
// (scripts/make-screenshots.sh copies them to docs/images).
#include "grouping/group_step.h"
#include "import/import_step.h"
#include "normalize/normalize_step.h"
#include "plot/plot_step.h"
#include "qt/plot_chart_2d.h"
#include "qt/plot_scatter_3d.h"
#include "qt/plot_window.h"
#include "qt/qt_plot_host.h"
#include "support/session.h"

#include <Q3DScatter>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QValue3DAxis>

#include <gtest/gtest.h>

namespace tarvik {
namespace {

const char* const kVowels[] = {"ae", "ah", "aw", "eh", "ei", "er", "ih", "iy", "oa", "oo", "uh", "uw"};

// What the window shows, the 3D graph's own window included (a widget's grab leaves it out).
QImage window_picture(PlotWindow& w) {
    QApplication::processEvents();
    QImage picture = w.grab().toImage();
    if (Q3DScatter* graph = w.scatter()) {
        QPainter p(&picture);
        const QRect area(w.scatter_container()->mapTo(&w, QPoint(0, 0)), w.scatter_container()->size());
        p.drawImage(area, graph->renderToImage(8, area.size()));
    }
    return picture;
}

TEST(PlotGuide, TwelveVowelsWithTheirWholeLegendAndA3DPlotWithUnits) {
    testing::Session s;
    QtPlotHost host;
    s.scripted.plots.forwardTo = &host;
    s.start();
    const std::string examples = TARVIK_TEST_DATA_DIR "/../../examples/";
    ASSERT_TRUE(load_data(s.rt, {examples + "hillenbrand.txt"}).done);
    ASSERT_TRUE(map_columns(s.rt, {"Speaker", "Vowel", "F1", "F2", "Duration", ""}).done);
    NormalizationRequest zscores;
    zscores.f1 = zscores.f2 = SpectralMethod::ZScore;
    zscores.duration = DurationMethod::ZScore;
    ASSERT_TRUE(normalize_data(s.rt, zscores).done);
    GroupsRequest groups;
    for (const char* vowel : kVowels)
        groups.groups.push_back({vowel, {{"Vowel", {vowel}}}});
    ASSERT_TRUE(define_groups(s.rt, groups).done);
    ASSERT_TRUE(fit_groups(s.rt).done);
    s.fig().set_string("edit_plot_title_2D", {"Hillenbrand et al. (1995), 12 vowels"});
    s.fig().set_string("edit_plot_title", {"Hillenbrand et al. (1995), 12 vowels"});

    ASSERT_TRUE(draw_plot(s.rt, {PlotKind::Normalized, false, {}, true}).done);
    PlotWindow* w = host.window(1);
    ASSERT_TRUE(w && QTest::qWaitForWindowExposed(w));
    EXPECT_TRUE(legend_inside(*w->chart()) || w->legend_places() >= 12) << "a place for every vowel";
    EXPECT_EQ(w->plot().axes.labels[0], "F2") << "z-scores have no unit";
    EXPECT_TRUE(window_picture(*w).save(QString(TARVIK_BUILD_DIR) + "/plot_2d_12_vowels.png"));

    if (!opengl_available())
        GTEST_SKIP() << "3D graphs need OpenGL";
    ASSERT_TRUE(draw_plot(s.rt, {PlotKind::Original, true, {}, true}).done);
    w = host.window(2);
    ASSERT_TRUE(w && w->scatter() && QTest::qWaitForWindowExposed(w));
    // F2 across, duration in depth, F1 upwards: the file's columns as read.
    EXPECT_EQ(w->scatter()->axisX()->title(), "F2 (Hz)");
    EXPECT_EQ(w->scatter()->axisZ()->title(), "Duration (ms)");
    EXPECT_EQ(w->scatter()->axisY()->title(), "F1 (Hz)");
    EXPECT_TRUE(w->legend_beside());
    EXPECT_GE(w->legend_places(), 12u);
    // The graph fills the window beside its legend.
    EXPECT_GE(w->scatter_container()->width() + w->legend_widget()->width(), w->width() - 2);
    EXPECT_TRUE(window_picture(*w).save(QString(TARVIK_BUILD_DIR) + "/plot_3d.png"));
}

} // namespace
} // namespace tarvik
