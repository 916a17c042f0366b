// Drawing plot descriptions without a window: axis ranges, marker images, the 2D chart, the pictures.
#include "qt/plot_annotations.h"
#include "qt/plot_chart_2d.h"
#include "qt/plot_export.h"
#include "qt/plot_markers.h"
#include "qt/plot_range.h"
#include "qt/plot_samples.h"
#include "qt/plot_scatter_3d.h"

#include <QCategoryAxis>
#include <QChart>
#include <QFile>
#include <QGraphicsScene>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvik {
namespace {

using testing::all_markers_plot;
using testing::count_pixels_near;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kTol = 1e-12;

// ---- Axis ranges --------------------------------------------------------------------------------------

struct RangeCase {
    const char* name;
    double min, max;
    double lo, hi, step;
};

class PlotRangeNice : public ::testing::TestWithParam<RangeCase> {};

TEST_P(PlotRangeNice, RoundsOutToWholeSteps) {
    const RangeCase& c = GetParam();
    const AxisRange r = nice_range(c.min, c.max);
    EXPECT_NEAR(r.lo, c.lo, kTol);
    EXPECT_NEAR(r.hi, c.hi, kTol);
    EXPECT_NEAR(r.step, c.step, kTol);
}

// Steps are 1, 2 or 5 times a power of ten, about a fifth of the span (hand-derived).
INSTANTIATE_TEST_SUITE_P(
    PlotCases, PlotRangeNice,
    ::testing::Values(RangeCase{"spread", 1.3, 8.7, 0, 10, 2},            // 7.4 / 5 = 1.48 -> 2
                      RangeCase{"on_ticks", 0, 10, 0, 10, 2},             // no extra step at exact ticks
                      RangeCase{"formants", 200, 2500, 0, 2500, 500},     // 460 -> 500
                      RangeCase{"symmetric", -2.37, 2.37, -3, 3, 1},      // 0.948 -> 1
                      RangeCase{"small", 0.012, 0.049, 0.01, 0.05, 0.01}, // 0.0074 -> 0.01
                      RangeCase{"single_point", 500, 500, 499, 501, 0.5}, // one unit either side
                      RangeCase{"single_zero", 0, 0, -1, 1, 0.5},
                      RangeCase{"no_data", kInf, -kInf, 0, 1, 0.2}, RangeCase{"nan", kNaN, kNaN, 0, 1, 0.2}),
    [](const auto& info) { return std::string(info.param.name); });

PlotAxes axes_with(std::vector<double> x, std::vector<double> y, std::vector<double> z = {}) {
    PlotAxes a;
    a.is3D = !z.empty();
    a.series.push_back(PlotSeries{std::move(x), std::move(y), std::move(z), "o", {1, 0, 0}});
    return a;
}

TEST(PlotRangeNiceExtremes, TheWidestDoublesStillGiveAFewSteps) {
    constexpr double big = std::numeric_limits<double>::max();
    for (const auto& [min, max] : {std::pair{-big, big}, std::pair{0.0, big}, std::pair{-big, -big}}) {
        const AxisRange r = nice_range(min, max);
        ASSERT_TRUE(std::isfinite(r.lo) && std::isfinite(r.hi) && std::isfinite(r.step)) << min << " " << max;
        EXPECT_LE(r.lo, min);
        EXPECT_GE(r.hi, max);
        EXPECT_LE(r.hi / r.step - r.lo / r.step, 20) << "a chart draws one tick per step";
    }
}

TEST(PlotRangeAxis, FixedLimitsWinInEitherOrderAndUnusableOnesFallBackToTheData) {
    PlotAxes a = axes_with({1.3, 8.7}, {3, 4});
    a.limits[0] = AxisLimits{-2.37, 2.37};
    a.limits[1] = AxisLimits{5, -5};
    const AxisRange x = axis_range(a, 0), y = axis_range(a, 1);
    EXPECT_DOUBLE_EQ(x.lo, -2.37);
    EXPECT_DOUBLE_EQ(x.hi, 2.37);
    EXPECT_DOUBLE_EQ(y.lo, -5);
    EXPECT_DOUBLE_EQ(y.hi, 5);
    EXPECT_DOUBLE_EQ(y.step, 2);
    for (const AxisLimits unusable : {AxisLimits{kNaN, 3}, AxisLimits{2, 2}}) {
        a.limits[0] = unusable;
        EXPECT_DOUBLE_EQ(axis_range(a, 0).lo, 0);
        EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 10);
    }
}

TEST(PlotRangeAxis, OnlyPointsThatAreDrawnCount) {
    // The second point has no x, so its y of 100 is not drawn and must not stretch the y axis.
    const AxisRange y = axis_range(axes_with({1, kNaN, 3}, {5, 100, 7}), 1);
    EXPECT_DOUBLE_EQ(y.lo, 5);
    EXPECT_DOUBLE_EQ(y.hi, 7);
    // Z counts only in 3D, where only the point (2, 2, 4) is drawn: one unit either side of x = 2.
    PlotAxes a = axes_with({1, 2}, {1, 2}, {kNaN, 4});
    EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 3);
    a.is3D = false;
    EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 2);
    // Uneven coordinate lists use the shortest.
    a = axes_with({1, 2, 3, 900}, {1, 2, 3});
    EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 3);
    EXPECT_EQ(point_count(a.series[0], false), 3u);
}

// ---- Marker images --------------------------------------------------------------------------------------

int ink(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

// Outline markers leave the centre empty; crosses and the dot mark it.
TEST(PlotMarkers, EverySymbolHasItsOwnShapeInTheGivenColour) {
    const QColor colour(0, 128, 255);
    std::vector<QImage> images;
    for (std::string_view symbol : kMarkerSymbols) {
        const QImage image = marker_image(symbol, colour, 9).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(18, 18)) << symbol;
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) < 200)
                    continue;
                ++inked;
                // Opaque pixels carry the marker colour itself, nothing else.
                EXPECT_NEAR(qRed(p), colour.red(), 2) << symbol;
                EXPECT_NEAR(qGreen(p), colour.green(), 2) << symbol;
                EXPECT_NEAR(qBlue(p), colour.blue(), 2) << symbol;
            }
        EXPECT_GT(inked, 4) << symbol;
        const bool outline = symbol.find_first_of("os^v><") != std::string_view::npos;
        EXPECT_EQ(ink(image, 9, 9) > 0, !outline) << symbol;
        images.push_back(image);
    }
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << kMarkerSymbols[i] << " looks like " << kMarkerSymbols[j];
}

TEST(PlotMarkers, TrianglesPointTheirWay) {
    const QImage up = marker_image("^", Qt::red, 9), down = marker_image("v", Qt::red, 9);
    const QImage right = marker_image(">", Qt::red, 9), left = marker_image("<", Qt::red, 9);
    auto differing = [](const QImage& a, const QImage& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))) > 64;
        return n;
    };
    EXPECT_LE(differing(down, up.mirrored(false, true)), 2);
    EXPECT_LE(differing(left, right.mirrored(true, false)), 2);
    EXPECT_GT(differing(up, down), 20);
    // "^": the tip at the top is narrow, the base at the bottom is wide.
    auto width_of_row = [](const QImage& im, int y) {
        int n = 0;
        for (int x = 0; x < im.width(); ++x)
            n += qAlpha(im.pixel(x, y)) > 100;
        return n;
    };
    EXPECT_LE(width_of_row(up, 2), 4);
    EXPECT_GT(width_of_row(up, 15), 10);
    // ">": the tip on the right, the base on the left.
    EXPECT_GT(ink(right, 16, 9), 100);
    EXPECT_EQ(ink(right, 16, 2), 0);
}

// ---- The 2D chart -----------------------------------------------------------------------------------------

TEST(PlotChart2D, OneScatterSeriesPerMarkerWithItsOwnImage) {
    const PlotDescription d = all_markers_plot(false);
    std::unique_ptr<QChart> chart(build_chart(d.axes));
    const auto series = chart->series();
    ASSERT_EQ(series.size(), 10);
    std::vector<QImage> images;
    for (int i = 0; i < 10; ++i) {
        auto* s = qobject_cast<QScatterSeries*>(series[i]);
        ASSERT_NE(s, nullptr) << i;
        EXPECT_EQ(s->count(), 3);
        EXPECT_EQ(s->color(), to_qcolor(testing::kSampleColors[i]));
        ASSERT_FALSE(s->lightMarker().isNull()) << i;
        images.push_back(s->lightMarker());
    }
    EXPECT_EQ(images[0], marker_image("x", to_qcolor(testing::kSampleColors[0]), kMarkerSize2D));
    EXPECT_NE(images[2], images[5]);
}

TEST(PlotChart2D, ALineStyleDrawsALineAndMissingCoordinatesAreLeftOut) {
    PlotAxes a = axes_with({1, kNaN, 3, 4}, {1, 2, kInf, 4});
    a.series.push_back(PlotSeries{{1, 2, 3}, {1, 4, 9}, {}, "--", {0, 0, 1}});
    std::unique_ptr<QChart> chart(build_chart(a));
    auto* points = qobject_cast<QXYSeries*>(chart->series().value(0));
    auto* line = qobject_cast<QLineSeries*>(chart->series().value(1));
    ASSERT_TRUE(points && line);
    EXPECT_EQ(points->points(), (QList<QPointF>{{1, 1}, {4, 4}}));
    EXPECT_EQ(line->pen().style(), Qt::DashLine);
    EXPECT_EQ(line->pen().color(), QColor(0, 0, 255));
    EXPECT_EQ(line->count(), 3);
}

// Data x 1.3..8.7 and y 200..2500; y always runs 0..2500, x 0..10 unless fixed at -2.37..2.37.
struct AxisCase {
    const char* name;
    std::array<bool, 3> reversed, grid;
    bool fixedX;
};
class PlotChartAxes : public ::testing::TestWithParam<AxisCase> {};

TEST_P(PlotChartAxes, DirectionsGridAndRangesReachTheAxes) {
    const AxisCase& c = GetParam();
    PlotAxes a = axes_with({1.3, 8.7}, {200, 2500});
    a.reversed = c.reversed;
    a.grid = c.grid;
    if (c.fixedX)
        a.limits[0] = AxisLimits{-2.37, 2.37};
    a.labels = {"F2", "F1", ""};
    std::unique_ptr<QChart> chart(build_chart(a));
    QValueAxis* x = chart_axis(*chart, 0);
    QValueAxis* y = chart_axis(*chart, 1);
    ASSERT_TRUE(x && y);
    EXPECT_EQ(x->isReverse(), c.reversed[0]);
    EXPECT_EQ(y->isReverse(), c.reversed[1]);
    EXPECT_EQ(x->isGridLineVisible(), c.grid[0]);
    EXPECT_EQ(y->isGridLineVisible(), c.grid[1]);
    EXPECT_DOUBLE_EQ(x->min(), c.fixedX ? -2.37 : 0);
    EXPECT_DOUBLE_EQ(x->max(), c.fixedX ? 2.37 : 10);
    EXPECT_DOUBLE_EQ(y->min(), 0);
    EXPECT_DOUBLE_EQ(y->max(), 2500);
    EXPECT_EQ(x->titleText(), "F2");
    EXPECT_EQ(y->titleText(), "F1");
}

INSTANTIATE_TEST_SUITE_P(
    PlotCases, PlotChartAxes,
    ::testing::Values(AxisCase{"plain", {false, false, false}, {false, false, false}, false},
                      AxisCase{"reversed_grid", {true, true, false}, {true, true, false}, false},
                      AxisCase{"x_reversed_fixed", {true, false, false}, {false, true, false}, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct TickCase {
    const char* name;
    std::vector<double> x;
    QStringList labels;
    std::optional<std::pair<double, double>> zoom; // a range the user zoomed to
};
class PlotChartTicks : public ::testing::TestWithParam<TickCase> {};

// Ticks are whole multiples of the step, so the tick at zero reads 0, not the residue that adding the
// step up from a negative start leaves (-0.3 + 0.1 + 0.1 + 0.1 = 5.55e-17). A zoomed axis labels the
// ticks within its new range.
TEST_P(PlotChartTicks, TickLabelsAreWholeMultiplesOfTheStep) {
    const TickCase& c = GetParam();
    std::unique_ptr<QChart> chart(build_chart(axes_with(c.x, {1, 2})));
    auto* x = qobject_cast<QCategoryAxis*>(chart_axis(*chart, 0));
    ASSERT_NE(x, nullptr);
    if (c.zoom)
        x->setRange(c.zoom->first, c.zoom->second);
    EXPECT_EQ(x->categoriesLabels(), c.labels);
}

INSTANTIATE_TEST_SUITE_P(
    PlotCases, PlotChartTicks,
    ::testing::Values(TickCase{"tenths", {-0.25, 0.2}, {"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2"}, {}},
                      TickCase{
                          "fifths", {-0.7, 0.3}, {"-0.8", "-0.6", "-0.4", "-0.2", "0", "0.2", "0.4"}, {}},
                      TickCase{"fifths_zoomed", {-0.7, 0.3}, {"-0.2", "0"}, std::pair{-0.35, 0.15}},
                      TickCase{"hertz", {200, 2400}, {"0", "500", "1000", "1500", "2000", "2500"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlotChart2D, TheWidestValuesAreDrawnInAFewTicks) {
    constexpr double big = std::numeric_limits<double>::max();
    PlotAxes a = axes_with({-big, big}, {0, big});
    QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    render_chart(a, painter, QRectF(0, 0, 200, 150)); // returns: the axes have a finite span
    std::unique_ptr<QChart> chart(build_chart(a));
    const QValueAxis* x = chart_axis(*chart, 0);
    EXPECT_DOUBLE_EQ(x->min(), -kAxisEnd);
    EXPECT_DOUBLE_EQ(x->max(), kAxisEnd);
    EXPECT_LE((x->max() - x->min()) / x->tickInterval(), 20);
}

TEST(PlotChart2D, TitleOfSeveralLines) {
    PlotAxes a = axes_with({1}, {1});
    a.title = "Normalized data 2D overlap:\n(Overlapping data's color <averaged> & more)\n";
    std::unique_ptr<QChart> chart(build_chart(a));
    EXPECT_EQ(chart->title(),
              "<center>Normalized data 2D overlap:<br>(Overlapping data's color &lt;averaged&gt; "
              "&amp; more)<br></center>");
    a.title.clear();
    std::unique_ptr<QChart> untitled(build_chart(a));
    EXPECT_EQ(untitled->title(), "");
}

struct LegendCase {
    const char* name;
    std::optional<std::vector<std::string>> legend;
    int series;
    std::vector<QString> shown; // labels of the visible markers, in order
};
class PlotChartLegend : public ::testing::TestWithParam<LegendCase> {};

TEST_P(PlotChartLegend, LabelsTheFirstSeriesOnly) {
    const LegendCase& c = GetParam();
    PlotAxes a;
    for (int i = 0; i < c.series; ++i)
        a.series.push_back(PlotSeries{{double(i)}, {double(i)}, {}, i % 2 ? "o" : "-", {0, 0, 1}});
    a.legend = c.legend;
    QGraphicsScene scene; // legend markers report their visibility once the chart is in a scene
    QChart* chart = build_chart(a);
    scene.addItem(chart);
    chart->resize(400, 300);
    EXPECT_EQ(chart->legend()->isVisible(), c.legend.has_value());
    std::vector<QString> shown;
    for (QLegendMarker* m : chart->legend()->markers())
        if (m->isVisible())
            shown.push_back(m->label());
    if (c.legend) {
        EXPECT_EQ(shown, c.shown);
    }
    // The legend entries of the 3D picture follow the same rule.
    std::vector<QString> entries;
    for (const LegendEntry& e : legend_entries(a))
        entries.push_back(e.text);
    EXPECT_EQ(entries, c.legend ? c.shown : std::vector<QString>{});
}

INSTANTIATE_TEST_SUITE_P(
    PlotCases, PlotChartLegend,
    ::testing::Values(LegendCase{"none", std::nullopt, 3, {}},
                      LegendCase{"two_of_five", std::vector<std::string>{"iy", "ih"}, 5, {"iy", "ih"}},
                      LegendCase{"all", std::vector<std::string>{"a", "b", "c"}, 3, {"a", "b", "c"}},
                      LegendCase{
                          "more_names_than_series", std::vector<std::string>{"a", "b", "c"}, 2, {"a", "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Pictures -------------------------------------------------------------------------------------------

class PlotPicture2D : public ::testing::TestWithParam<const char*> {};

TEST_P(PlotPicture2D, WritesAValidFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString("plot.") + GetParam());
    ASSERT_EQ(save_plot(all_markers_plot(false), path), "");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GT(bytes.size(), 1000);
    const std::string format = QString(GetParam()).toLower().toStdString();
    if (format == "png") {
        const QImage image(path);
        EXPECT_EQ(image.size(), kPictureSize);
        EXPECT_GT(count_pixels_near(image, QColor(255, 0, 0)), 10) << "the red series is drawn";
        EXPECT_GT(count_pixels_near(image, QColor(0, 0, 255)), 10) << "the blue series is drawn";
    } else if (format == "svg") {
        EXPECT_TRUE(bytes.contains("<svg"));
        EXPECT_TRUE(QSvgRenderer(path).isValid());
    } else {
        EXPECT_TRUE(bytes.startsWith("%PDF"));
        EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
    }
}

INSTANTIATE_TEST_SUITE_P(PlotFormats, PlotPicture2D, ::testing::Values("png", "svg", "pdf", "PNG"));

TEST(PlotPicture3D, PngShowsTheGraphWithTitleAndLegend) {
    QTemporaryDir dir;
    const QString path = dir.filePath("plot3d.png");
    QtPlotExporter exporter;
    const std::string reason = exporter.save(all_markers_plot(true), path.toStdString());
    if (!opengl_available()) {
        // Without OpenGL (Qt's offscreen platform) the exporter says so instead of crashing.
        EXPECT_EQ(reason, "The 3D graph could not be drawn: OpenGL is not available.");
        EXPECT_FALSE(QFile::exists(path));
        return;
    }
    ASSERT_EQ(reason, "");
    QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), kPictureSize);
    EXPECT_GT(count_pixels_near(image, QColor(255, 0, 0), 60), 10) << "the red series is drawn";
    EXPECT_GT(count_pixels_near(image, QColor(0, 0, 0), 30), 50) << "title and legend text";
}

struct RefusalCase {
    const char* name;
    bool is3D;
    const char* file;
    const char* reason; // beginning of the reason
};
class PlotPictureRefused : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(PlotPictureRefused, SaysWhyAndWritesNothing) {
    const RefusalCase& c = GetParam();
    QTemporaryDir dir;
    const QString path = QString(c.file).startsWith('/') ? QString(c.file) : dir.filePath(c.file);
    const std::string reason = QtPlotExporter().save(all_markers_plot(c.is3D), path.toStdString());
    EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << reason;
    EXPECT_FALSE(QFile::exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    PlotCases, PlotPictureRefused,
    ::testing::Values(RefusalCase{"svg_3d", true, "p.svg",
                                  "3D plots are saved as PNG pictures only; SVG and PDF hold 2D plots."},
                      RefusalCase{"pdf_3d", true, "p.pdf", "3D plots are saved as PNG pictures only"},
                      RefusalCase{"unknown_extension", false, "p.jpg", "Cannot save \""},
                      RefusalCase{"no_extension", false, "plot", "Cannot save \""},
                      RefusalCase{"missing_folder_png", false, "/nonexistent-folder/p.png",
                                  "Cannot write \"/nonexistent-folder/p.png\"."},
                      RefusalCase{"missing_folder_pdf", false, "/nonexistent-folder/p.pdf",
                                  "Cannot write \""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tarvik
