// The point-series primitives every plot is drawn with: one series per call, the keep-content state,
// and the primitive's own failure report.
#include "plot/plot_series.h"

#include "support/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvik::testing {
namespace {

const Color kRed{1, 0, 0};

TEST(PlotPrimitives, AxesThatDoNotKeepContentStartOverAndKeptOnesGrow) {
    Session s; // dialogs only; no main window is needed
    PlotAxes axes;
    plot3dRGB(s.rt, axes, {1, 2}, {3, 4}, {5, 6}, "o", kRed);
    plot3dRGB(s.rt, axes, {7}, {8}, {9}, "x", kRed);
    ASSERT_EQ(axes.series.size(), 1u);
    EXPECT_EQ(axes.series[0].x, std::vector<double>{7});
    EXPECT_TRUE(axes.is3D);

    axes.hold = true;
    plot3dRGB(s.rt, axes, {}, {}, {}, "*", kRed);
    ASSERT_EQ(axes.series.size(), 2u);
    EXPECT_TRUE(axes.series[1].x.empty());

    // A 2D drawing into kept 3D axes stays in them; without keeping it replaces them with 2D axes.
    plot2dRGB(s.rt, axes, {1}, {2}, "s", kRed);
    EXPECT_EQ(axes.series.size(), 3u);
    EXPECT_TRUE(axes.is3D);
    axes.hold = false;
    plot2dRGB(s.rt, axes, {1}, {2}, "s", kRed);
    EXPECT_EQ(axes.series, (std::vector<PlotSeries>{{{1}, {2}, {}, "s", kRed}}));
    EXPECT_FALSE(axes.is3D);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST(PlotPrimitives, ABadSeriesAddsNothingAndIsReportedUnderThePrimitivesOwnName) {
    const struct {
        bool is3D;
        std::vector<double> x, y, z;
        std::string spec;
    } cases[] = {{false, {1, 2}, {1}, {}, "x"},    // short y
                 {true, {1, 2}, {1, 2}, {1}, "x"}, // short z
                 {true, {1}, {1}, {}, "x"},        // no z
                 {false, {1}, {1}, {}, "q"},       // unknown line style
                 {true, {1}, {1}, {1}, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.is3D << " '" << c.spec << "' " << c.y.size() << c.z.size());
        Session s;
        PlotAxes axes;
        axes.hold = true;
        axes.series.push_back({{0}, {0}, {0}, "x", kRed});
        if (c.is3D)
            plot3dRGB(s.rt, axes, c.x, c.y, c.z, c.spec, kRed);
        else
            plot2dRGB(s.rt, axes, c.x, c.y, c.spec, kRed);
        EXPECT_EQ(axes.series.size(), 1u);
        ASSERT_EQ(s.scripted.dialogs.size(), 1u);
        const DialogRecord& d = s.scripted.last();
        EXPECT_EQ(d.title, std::string("Let Quillon know: \"") + (c.is3D ? "plot3dRGB" : "plot2dRGB") + "\"");
        ASSERT_EQ(d.text.size(), 1u);
        EXPECT_EQ(d.text[0].rfind("Function Error:\n\n ", 0), 0u);
        EXPECT_TRUE(d.modal && d.waited);
    }
}

TEST(PlotPrimitives, MarkersAndLineStylesAreAcceptedAsStyles) {
    Session s;
    PlotAxes axes;
    axes.hold = true;
    for (const char* spec : {"x", "+", "o", "*", ".", "s", "^", "v", ">", "<", "-", "--", ":", "-."})
        plot2dRGB(s.rt, axes, {1}, {1}, spec, kRed);
    EXPECT_EQ(axes.series.size(), 14u);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST(PlotLookups, ControlValuesAsIndices) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, int> cases[] = {{1, 1}, {3, 3}, {0, 0}, {-2, 0}, {2.5, 0}, {nan, 0}, {1e12, 0}};
    for (const auto& [value, index] : cases)
        EXPECT_EQ(value_index(value), index) << value;
}

TEST(PlotLookups, AnEmptyListMeansEveryGroupInOrder) {
    Handles h;
    h.v.resize(3);
    EXPECT_EQ(groups_to_draw(h, {}), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(groups_to_draw(h, {3, 1}), (std::vector<int>{3, 1}));
    EXPECT_THROW(plotted_group(h, 4), std::out_of_range);
    EXPECT_THROW(plotted_group(h, 0), std::out_of_range);
}

} // namespace
} // namespace tarvik::testing
