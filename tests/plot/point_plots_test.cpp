// The original and normalized data plots, called directly on a step-4 record: which groups, in which
// order, which columns on which axis, and the axis limits.
#include "plot/point_plots.h"

#include "geometry/fits.h"
#include "support/plot_session.h"

#include <gtest/gtest.h>

namespace tarvik::testing {
namespace {

class PointPlots : public PlotsAtStep4 {
  protected:
    PlotDescription plot;
};

// Every token series: F2 on x, duration on y and F1 on z in 3D; F2 on x and F1 on y in 2D.
void expect_tokens(const PlotSeries& series, const VowelGroup& g, const Matrix& m, bool is3D) {
    EXPECT_EQ(series.x, matrix_column(m, 0));
    EXPECT_EQ(series.y, matrix_column(m, is3D ? 2 : 1));
    EXPECT_EQ(series.z, is3D ? matrix_column(m, 1) : std::vector<double>{});
    EXPECT_EQ(series.lineSpec, g.markerType);
    EXPECT_EQ(series.color, g.markerColor);
}

TEST_F(PointPlots, OriginalDataDrawsTheListedGroupsInListOrderAndAnEmptyListEveryGroup) {
    ASSERT_TRUE(plot_original_data(s.rt, h, plot, {3, 1}, "3d"));
    const PlotAxes& axes = plot.axes;
    ASSERT_EQ(axes.series.size(), 2u);
    expect_tokens(axes.series[0], h.v[2], h.v[2].dataOriginal, true);
    expect_tokens(axes.series[1], h.v[0], h.v[0].dataOriginal, true);
    EXPECT_TRUE(axes.is3D);
    EXPECT_FALSE(axes.hold);
    EXPECT_EQ(axes.reversed, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(axes.grid, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(axes.limits, (std::array<std::optional<AxisLimits>, 3>{}));
    EXPECT_TRUE(s.scripted.dialogs.empty());

    PlotDescription flat;
    ASSERT_TRUE(plot_original_data(s.rt, h, flat, {}, "2d"));
    ASSERT_EQ(flat.axes.series.size(), 3u);
    for (std::size_t g = 0; g < 3; ++g)
        expect_tokens(flat.axes.series[g], h.v[g], h.v[g].dataOriginal, false);
    EXPECT_FALSE(flat.axes.is3D);
    EXPECT_EQ(flat.axes.reversed, (std::array<bool, 3>{true, true, false}));
}

TEST_F(PointPlots, NormalizedDataKeepsTheSessionExtentsWhateverIsDrawn) {
    ASSERT_TRUE(plot_normalized_data(s.rt, h, plot, {2}, "3d"));
    ASSERT_EQ(plot.axes.series.size(), 1u);
    expect_tokens(plot.axes.series[0], h.v[1], h.v[1].data, true);
    const Axes3D& e = h.axes3D;
    EXPECT_EQ(plot.axes.limits[0], (AxisLimits{-e.Xwidth, e.Xwidth}));
    EXPECT_EQ(plot.axes.limits[1], (AxisLimits{-e.Ylength, e.Ylength}));
    EXPECT_EQ(plot.axes.limits[2], (AxisLimits{-e.Zheight, e.Zheight}));

    PlotDescription flat;
    ASSERT_TRUE(plot_normalized_data(s.rt, h, flat, {}, "2d"));
    EXPECT_EQ(flat.axes.limits[0], (AxisLimits{-h.axes2D->Xwidth, h.axes2D->Xwidth}));
    EXPECT_EQ(flat.axes.limits[1], (AxisLimits{-h.axes2D->Ylength, h.axes2D->Ylength}));
    EXPECT_FALSE(flat.axes.limits[2]);
}

TEST_F(PointPlots, AGroupWithoutTokensDrawsAnEmptySeries) {
    h.v[1].dataOriginal = Matrix();
    ASSERT_TRUE(plot_original_data(s.rt, h, plot, {1, 2}, "3d"));
    ASSERT_EQ(plot.axes.series.size(), 2u);
    EXPECT_TRUE(plot.axes.series[1].x.empty());
    EXPECT_TRUE(plot.axes.series[1].z.empty());
}

TEST_F(PointPlots, FailuresAreReportedInEachOperationsOwnForm) {
    EXPECT_FALSE(plot_original_data(s.rt, h, plot, {1, 4}, "3d"));
    ASSERT_EQ(s.scripted.dialogs.size(), 1u);
    EXPECT_EQ(s.scripted.last().title, "Function \"plot_original_data\"");
    EXPECT_EQ(
        s.scripted.last().text,
        TextList{"Let Quillon know about this error:\n\n There is no group 4: the session has 3 groups."});
    EXPECT_TRUE(s.scripted.last().waited);

    h.axes2D.reset();
    EXPECT_FALSE(plot_normalized_data(s.rt, h, plot, {}, "2d"));
    EXPECT_EQ(s.scripted.last().title, "Let Quillon know: Function \"plot_normalized_data\"");
    EXPECT_EQ(s.scripted.last().text, TextList{"Error:\n\n The 2D plot extents have not been calculated."});
    EXPECT_TRUE(s.scripted.last().modal);
    EXPECT_TRUE(s.scripted.last().waited);

    // Extents of zero (nothing fitted yet) cannot make an axis.
    h.axes3D = {};
    EXPECT_FALSE(plot_normalized_data(s.rt, h, plot, {}, "3d"));
    EXPECT_EQ(s.scripted.dialogs.size(), 3u);
}

} // namespace
} // namespace tarvik::testing
