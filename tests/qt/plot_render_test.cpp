// Drawing plot descriptions without a window: axis ranges and ticks, marker images, the 2D chart's
// axes, lines, title and legend, and the pictures' legends and sizes.
#include "qt/plot_annotations.h"
#include "qt/plot_chart_2d.h"
#include "qt/plot_export.h"
#include "qt/plot_markers.h"
#include "qt/plot_range.h"
#include "qt/plot_scatter_3d.h"

#include <QCategoryAxis>
#include <QChart>
#include <QFile>
#include <QImage>
#include <QLineSeries>
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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

PlotAxes axes_with(std::vector<double> x, std::vector<double> y, std::vector<double> z = {}) {
    PlotAxes a;
    a.is3D = !z.empty();
    a.series.push_back(PlotSeries{std::move(x), std::move(y), std::move(z), "o", {1, 0, 0}});
    return a;
}

// Steps are 1, 2 or 5 times a power of ten, about a fifth of the span (hand-derived).
TEST(PlotRange, RoundsOutToWholeSteps) {
    const struct {
        double min, max;
        double lo, hi, step;
    } cases[] = {{1.3, 8.7, 0, 10, 2},             // 7.4 / 5 = 1.48 -> 2
                 {0, 10, 0, 10, 2},                // no extra step at exact ticks
                 {200, 2500, 0, 2500, 500},        // 460 -> 500
                 {-2.37, 2.37, -3, 3, 1},          // 0.948 -> 1
                 {0.012, 0.049, 0.01, 0.05, 0.01}, // 0.0074 -> 0.01
                 {500, 500, 499, 501, 0.5},        // a single point: one unit either side
                 {kInf, -kInf, 0, 1, 0.2}};        // no data
    for (const auto& c : cases) {
        const AxisRange r = nice_range(c.min, c.max);
        EXPECT_NEAR(r.lo, c.lo, 1e-12) << c.min << ".." << c.max;
        EXPECT_NEAR(r.hi, c.hi, 1e-12) << c.min << ".." << c.max;
        EXPECT_NEAR(r.step, c.step, 1e-12) << c.min << ".." << c.max;
    }
}

TEST(PlotRangeAxis, FixedLimitsWinInEitherOrderAndOnlyPointsThatAreDrawnCount) {
    // The second point has no x, so its y of 100 is not drawn and must not stretch the y axis.
    PlotAxes a = axes_with({1.3, kNaN, 8.7}, {5, 100, 7});
    EXPECT_DOUBLE_EQ(axis_range(a, 1).hi, 7);
    a.limits[0] = AxisLimits{2.37, -2.37};
    EXPECT_DOUBLE_EQ(axis_range(a, 0).lo, -2.37);
    EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 2.37);
    a.limits[0] = AxisLimits{2, 2}; // unusable: the data decide
    EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 10);
    // Z counts only in 3D, where only the point (2, 2, 4) is drawn: one unit either side of x = 2.
    a = axes_with({1, 2}, {1, 2}, {kNaN, 4});
    EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 3);
    a.is3D = false;
    EXPECT_DOUBLE_EQ(axis_range(a, 0).hi, 2);

    // The widest doubles still give an axis of a few ticks (a chart draws one tick per step), on finite ends.
    constexpr double big = std::numeric_limits<double>::max();
    const AxisRange wide = axis_range(axes_with({-big, big}, {0, big}), 0);
    EXPECT_DOUBLE_EQ(wide.lo, -kAxisEnd);
    EXPECT_DOUBLE_EQ(wide.hi, kAxisEnd);
    EXPECT_NEAR((wide.hi - wide.lo) / wide.step, 4, 1e-6); // 2e300 / 5 = 4e299 -> 5e299
}

// Outline markers leave the centre empty; crosses and the dot mark it. Every symbol looks different, and
// its opaque pixels have its colour (0, 128, 255).
TEST(PlotMarkers, EverySymbolHasItsOwnShapeInTheGivenColour) {
    const QColor colour(0, 128, 255);
    std::vector<QImage> images;
    for (std::string_view symbol : kMarkerSymbols) {
        const QImage image = marker_image(symbol, colour, 9).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(18, 18)) << symbol;
        int stray = 0; // opaque pixels of another colour
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb p = image.pixel(x, y); qAlpha(p) >= 200)
                    stray += qRed(p) + std::abs(qGreen(p) - 128) + std::abs(qBlue(p) - 255) > 4;
        EXPECT_EQ(stray, 0) << symbol;
        const bool outline = symbol.find_first_of("os^v><") != std::string_view::npos;
        EXPECT_EQ(qAlpha(image.pixel(9, 9)) > 0, !outline) << symbol;
        for (const QImage& other : images)
            EXPECT_NE(image, other) << symbol;
        images.push_back(image);
    }
}

// Data x 1.3..8.7 and y 200..2500: y runs 0..2500, x as fixed.
TEST(PlotChart2D, DirectionsGridAndRangesReachTheAxes) {
    PlotAxes a = axes_with({1.3, 8.7}, {200, 2500});
    a.reversed = {true, false, false};
    a.grid = {false, true, false};
    a.limits[0] = AxisLimits{-2.37, 2.37};
    std::unique_ptr<QChart> chart(build_chart(a));
    QValueAxis* x = chart_axis(*chart, 0);
    QValueAxis* y = chart_axis(*chart, 1);
    ASSERT_TRUE(x && y);
    EXPECT_TRUE(x->isReverse());
    EXPECT_FALSE(y->isReverse());
    EXPECT_FALSE(x->isGridLineVisible());
    EXPECT_TRUE(y->isGridLineVisible());
    EXPECT_DOUBLE_EQ(x->max(), 2.37);
    EXPECT_DOUBLE_EQ(y->max(), 2500);
}

// Ticks are whole multiples of the step, so the tick at zero reads 0, not the residue that adding the
// step up from a negative start leaves (-0.3 + 0.1 + 0.1 + 0.1 = 5.55e-17). A zoomed axis labels the
// ticks within its new range.
TEST(PlotChart2D, TickLabelsAreWholeMultiplesOfTheStep) {
    const struct {
        std::vector<double> x;
        QStringList labels;
        std::optional<std::pair<double, double>> zoom; // a range the user zoomed to
    } cases[] = {{{-0.25, 0.2}, {"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2"}, {}},
                 {{-0.7, 0.3}, {"-0.2", "0"}, std::pair{-0.35, 0.15}},
                 {{200, 2400}, {"0", "500", "1000", "1500", "2000", "2500"}, {}}};
    for (const auto& c : cases) {
        std::unique_ptr<QChart> chart(build_chart(axes_with(c.x, {1, 2})));
        auto* x = qobject_cast<QCategoryAxis*>(chart_axis(*chart, 0));
        ASSERT_NE(x, nullptr);
        if (c.zoom)
            x->setRange(c.zoom->first, c.zoom->second);
        EXPECT_EQ(x->categoriesLabels(), c.labels);
    }
}

// A line style draws a line, points with a missing coordinate are left out, and the title shows as written.
TEST(PlotChart2D, LinesPointsAndTitleAsDescribed) {
    PlotAxes a = axes_with({1, kNaN, 3, 4}, {1, 2, kInf, 4});
    a.series.push_back(PlotSeries{{1, 2, 3}, {1, 4, 9}, {}, "--", {0, 0, 1}});
    a.title = "Normalized data 2D overlap:\n(Overlapping data's color <averaged> & more)\n";
    std::unique_ptr<QChart> chart(build_chart(a));
    auto* points = qobject_cast<QXYSeries*>(chart->series().value(0));
    auto* line = qobject_cast<QLineSeries*>(chart->series().value(1));
    ASSERT_TRUE(points && line);
    EXPECT_EQ(points->points(), (QList<QPointF>{{1, 1}, {4, 4}}));
    EXPECT_EQ(line->pen().style(), Qt::DashLine);
    EXPECT_EQ(line->count(), 3);
    EXPECT_EQ(chart->title(),
              "<center>Normalized data 2D overlap:<br>(Overlapping data's color &lt;averaged&gt; "
              "&amp; more)<br></center>");
}

// The legend names the first series, as many as it has names for; without names there is none. A long
// name is cut, never inside a character.
TEST(PlotLegend, LabelsTheFirstSeriesOnly) {
    const struct {
        std::optional<std::vector<std::string>> legend;
        int series;
        std::vector<QString> shown;
    } cases[] = {{std::nullopt, 3, {}},
                 {std::vector<std::string>{"iy", "ih"}, 5, {"iy", "ih"}},
                 {std::vector<std::string>{"a", "b", "c"}, 2, {"a", "b"}},
                 {std::vector<std::string>{std::string(56, 'x') + "\xF0\x9D\x84\x9E" + std::string(100000, 'y')}, 1,
                  {QString(56, 'x') + "..."}}};
    for (const auto& c : cases) {
        PlotAxes a;
        for (int i = 0; i < c.series; ++i)
            a.series.push_back(PlotSeries{{double(i)}, {double(i)}, {}, i % 2 ? "o" : "-", {0, 0, 1}});
        a.legend = c.legend;
        std::vector<QString> entries;
        for (const LegendEntry& e : legend_entries(a))
            entries.push_back(e.text);
        EXPECT_EQ(entries, c.shown);
    }
}

// Many groups: the legend names every one; groups of one symbol and colour share a series (so the chart's
// cost grows with the points, not with the square of the groups), and lines stay apart. Every point is
// still drawn.
TEST(PlotLegend, ManyGroupsAreAllNamedAndShareSeries) {
    PlotAxes a;
    a.legend.emplace();
    for (int i = 0; i < 1000; ++i) {
        a.series.push_back(PlotSeries{{double(i)}, {double(i)}, {}, i < 990 ? (i % 2 ? "o" : "x") : "-",
                                      {0, 0, i % 3 / 2.0}});
        a.legend->push_back("g" + std::to_string(i));
    }
    const auto entries = legend_entries(a);
    ASSERT_EQ(entries.size(), 1000u);
    EXPECT_EQ(entries.back().text, "g999");
    std::unique_ptr<QChart> chart(build_chart(a));
    // 6 shared (two symbols, three colours) and 10 lines.
    EXPECT_EQ(chart->series().size(), 16);
    int points = 0;
    for (QAbstractSeries* s : chart->series())
        points += static_cast<QXYSeries*>(s)->count();
    EXPECT_EQ(points, 1000);
}

// A legend goes inside the plot area where its column fits there, else beside the plot in columns, and
// the picture names every entry: each text is in the SVG. A legend too long for half the picture even in
// its smallest font widens the picture; a 3D picture has the size asked for.
TEST(PlotLegend, EveryEntryIsInThePicture) {
    const struct {
        int groups;
        bool outside; // asked for
        bool inside;  // shown inside the plot area
        bool wider;   // a picture wider than asked for
    } cases[] = {{3, false, true, false}, {3, true, false, false}, {48, false, false, false}, {600, false, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.groups);
        PlotAxes a;
        a.legend.emplace();
        a.legendOutside = c.outside;
        for (int i = 0; i < c.groups; ++i) {
            a.series.push_back(PlotSeries{{double(i)}, {double(i % 7)}, {}, "o", {0, 0, 1}});
            a.legend->push_back("vowel " + std::to_string(i + 1));
        }
        std::unique_ptr<QChart> chart(build_chart(a));
        chart->setGeometry(QRectF(0, 0, 800, 600));
        EXPECT_EQ(legend_inside(*chart), c.inside);
        const QSize size = picture_size(a, kPictureSize);
        EXPECT_EQ(size.height(), kPictureSize.height());
        EXPECT_EQ(size.width() > kPictureSize.width(), c.wider);

        QTemporaryDir dir;
        PlotDescription d;
        d.axes = a;
        ASSERT_EQ(save_plot(d, dir.filePath("legend.svg")), "");
        QFile file(dir.filePath("legend.svg"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(file.readAll());
        int missing = 0;
        for (const std::string& name : *a.legend)
            missing += !svg.contains(">" + QString::fromStdString(name) + "</text>");
        EXPECT_EQ(missing, 0);
    }
}

// A 3D picture has the size asked for, the graph drawn by an offscreen graph of that size.
TEST(PlotExport3D, ThePictureHasTheSizeAskedFor) {
    if (!opengl_available())
        GTEST_SKIP() << "3D graphs need OpenGL";
    PlotDescription d;
    d.axes = axes_with({1, 2, 3}, {4, 5, 6}, {7, 8, 9});
    d.axes.legend = std::vector<std::string>{"iy"};
    QTemporaryDir dir;
    for (const QSize size : {QSize(640, 480), QSize(1500, 1100)}) {
        ASSERT_EQ(save_plot(d, dir.filePath("3d.png"), size), "");
        EXPECT_EQ(QImage(dir.filePath("3d.png")).size(), size);
    }
}

} // namespace
} // namespace tarvik
