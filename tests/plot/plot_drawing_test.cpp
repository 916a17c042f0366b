// The drawings of every plot kind on a step-4 session (which groups in which order, which columns on
// which axis, the ellipsoid's two views, the stars of the overlap) and the point-series primitives
// they are drawn with.
#include "geometry/fits.h"
#include "plot/plot_series.h"
#include "plot/point_plots.h"
#include "support/plot_session.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvik::testing {
namespace {

// plot_vowels.txt with every overlap: groups 1 (red) and 3 (blue) overlap, group 2 (green) lies apart.
class PlotDrawings : public PlotsAtStep4 {
    StudySetup study() const override { return {"plot_vowels.txt", true, true}; }
};

// F2 on x, duration on y and F1 on z in 3D; F2 on x and F1 on y in 2D; each group in its own style.
void expect_tokens(const PlotSeries& series, const VowelGroup& g, const Matrix& m, bool is3D) {
    EXPECT_EQ(series.x, matrix_column(m, 0));
    EXPECT_EQ(series.y, matrix_column(m, is3D ? 2 : 1));
    EXPECT_EQ(series.z, is3D ? matrix_column(m, 1) : std::vector<double>{});
    EXPECT_EQ(series.lineSpec, g.markerType);
    EXPECT_EQ(series.color, g.markerColor);
}

TEST_F(PlotDrawings, DataPointsOfTheListedGroupsInListOrderOrOfEveryGroup) {
    PlotDescription plot;
    ASSERT_TRUE(plot_original_data(s.rt, h, plot, {3, 1}, "3d"));
    ASSERT_EQ(plot.axes.series.size(), 2u);
    expect_tokens(plot.axes.series[0], h.v[2], h.v[2].dataOriginal, true);
    expect_tokens(plot.axes.series[1], h.v[0], h.v[0].dataOriginal, true);
    EXPECT_FALSE(plot.axes.hold);
    EXPECT_EQ(plot.axes.reversed, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(plot.axes.grid, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(plot.axes.limits, (std::array<std::optional<AxisLimits>, 3>{}));

    // Normalized data of any groups keep the session's extents.
    PlotDescription flat;
    ASSERT_TRUE(plot_normalized_data(s.rt, h, flat, {}, "2d"));
    ASSERT_EQ(flat.axes.series.size(), 3u);
    for (std::size_t g = 0; g < 3; ++g)
        expect_tokens(flat.axes.series[g], h.v[g], h.v[g].data, false);
    EXPECT_EQ(flat.axes.reversed, (std::array<bool, 3>{true, true, false}));
    EXPECT_EQ(flat.axes.limits[0], (AxisLimits{-h.axes2D->Xwidth, h.axes2D->Xwidth}));
    EXPECT_EQ(flat.axes.limits[1], (AxisLimits{-h.axes2D->Ylength, h.axes2D->Ylength}));
    ASSERT_TRUE(plot_normalized_data(s.rt, h, plot, {2}, "3d"));
    EXPECT_EQ(plot.axes.limits[1], (AxisLimits{-h.axes3D.Ylength, h.axes3D.Ylength}));
    EXPECT_EQ(plot.axes.limits[2], (AxisLimits{-h.axes3D.Zheight, h.axes3D.Zheight}));
}

bool all_zero(const std::vector<double>& v) {
    return !v.empty() && std::all_of(v.begin(), v.end(), [](double x) { return x == 0; });
}

TEST_F(PlotDrawings, TheEllipsoidShowsItsFirstViewWaitsForAKeyThenAddsTheOutlines) {
    choose_groups(true, 3, true, 1);
    plot(3, "3d");
    EXPECT_EQ(plots().events, (std::vector<std::string>{"open 1", "show 1", "wait 1", "show 1"}));
    ASSERT_EQ(plots().history.size(), 2u);
    const PlotAxes& first = plots().history[0].axes;
    EXPECT_EQ(first.title, "Best Fit Ellipsoid: First Rotation\n(press 'space' for second rotation)");
    EXPECT_EQ(first.labels, (std::array<std::string, 3>{"Principal \"star\" axis", "Secondary \"star\" axis",
                                                        "Primary \"double star\" axis"}));
    ASSERT_EQ(first.series.size(), 2u);
    const VowelGroup& g3 = h.v[2];
    EXPECT_EQ(first.series[0].x, matrix_column(*g3.dubstar, 0));
    EXPECT_EQ(first.series[0].y, matrix_column(*g3.dubstar, 2));
    EXPECT_EQ(first.series[0].z, matrix_column(*g3.dubstar, 1));

    // Then group 3's outline, projected onto each coordinate plane in turn, and then group 1's.
    const PlotAxes& second = shown(1).axes;
    ASSERT_EQ(second.series.size(), 2u + 3 * 2);
    EXPECT_TRUE(std::equal(first.series.begin(), first.series.end(), second.series.begin()));
    const PlotSeries* proj = &second.series[2];
    EXPECT_TRUE(all_zero(proj[0].x));
    EXPECT_EQ(proj[0].y, *g3.zdubstar);
    EXPECT_EQ(proj[0].z, *g3.ydubstar);
    EXPECT_EQ(proj[1].x, *g3.xdubstar);
    EXPECT_TRUE(all_zero(proj[1].y));
    EXPECT_TRUE(all_zero(proj[2].z));
    EXPECT_EQ(proj[2].color, g3.markerColor);
    EXPECT_EQ(second.series[5].color, h.v[0].markerColor);
}

TEST_F(PlotDrawings, EllipsesAreRingsOfEachGroupsMarkers) {
    choose_groups(false, 1, false, 2, true);
    plot(3, "2d");
    const PlotAxes& axes = shown(1).axes;
    ASSERT_EQ(axes.series.size(), 3u);
    for (std::size_t g = 0; g < 3; ++g) {
        EXPECT_EQ(axes.series[g].x, matrix_column(*h.v[g].ellps2D, 0));
        EXPECT_EQ(axes.series[g].y, matrix_column(*h.v[g].ellps2D, 1));
        EXPECT_EQ(axes.series[g].lineSpec, h.v[g].markerType);
    }
}

class InsidePoints : public PlotDrawings, public ::testing::WithParamInterface<const char*> {
  protected:
    bool is3D() const { return std::string(GetParam()) == "3d"; }
};

TEST_P(InsidePoints, OverlapsPutTheSmallerGroupFirstAndSharedPointsAsStarsInTheMeanColour) {
    choose_groups(true, 3, true, 1);
    s.fig().set_value("checkbox_show_legend", 1);
    plot(5, GetParam());
    const PlotAxes& axes = shown(1).axes;
    ASSERT_EQ(axes.series.size(), 3u);
    const OverlapCell& cell = h.overlap.at({1, 3});
    const VowelGroup& g1 = h.v[0];
    EXPECT_EQ(axes.series[0].x, (is3D() ? g1.Ecoordx : g1.Ecoordx2D)->get());
    EXPECT_EQ(axes.series[0].y, (is3D() ? g1.Ecoordz : g1.Ecoordy2D)->get());
    EXPECT_EQ(axes.series[0].z, is3D() ? g1.Ecoordy->get() : std::vector<double>{});
    EXPECT_EQ(axes.series[1].color, (Color{0, 0, 1}));
    EXPECT_EQ(axes.series[2].x, (is3D() ? cell.Bothcoordx : cell.Bothcoordx2D)->get());
    EXPECT_EQ(axes.series[2].y, (is3D() ? cell.Bothcoordz : cell.Bothcoordy2D)->get());
    EXPECT_EQ(axes.series[2].z, is3D() ? cell.Bothcoordy->get() : std::vector<double>{});
    EXPECT_FALSE(axes.series[2].x.empty());
    EXPECT_EQ(axes.series[2].lineSpec, "*");
    EXPECT_EQ(axes.series[2].color, (Color{0.5, 0, 0.5}));
    EXPECT_EQ(axes.legend, (std::vector<std::string>{"v1", "v3"}));

    // Disjoint groups show no stars.
    choose_groups(true, 1, true, 2);
    plot(5, GetParam());
    EXPECT_TRUE(shown(2).axes.series.at(2).x.empty());
}

TEST_P(InsidePoints, VolumesShowEveryGroupsInsidePoints) {
    choose_groups(false, 1, false, 2, true);
    plot(4, GetParam());
    const PlotAxes& axes = shown(1).axes;
    ASSERT_EQ(axes.series.size(), 3u);
    const VowelGroup& g2 = h.v[1];
    EXPECT_EQ(axes.series[1].x, (is3D() ? g2.Ecoordx : g2.Ecoordx2D)->get());
    EXPECT_EQ(axes.series[1].y, (is3D() ? g2.Ecoordz : g2.Ecoordy2D)->get());
    EXPECT_EQ(axes.series[1].color, g2.markerColor);
}

INSTANTIATE_TEST_SUITE_P(Dimensions, InsidePoints, ::testing::Values("3d", "2d"));

const Color kRed{1, 0, 0};

TEST(PlotPrimitives, AxesThatDoNotKeepContentStartOverAndKeptOnesGrow) {
    Session s; // dialogs only; no main window is needed
    PlotAxes axes;
    plot3dRGB(s.rt, axes, {1, 2}, {3, 4}, {5, 6}, "o", kRed);
    plot3dRGB(s.rt, axes, {7}, {8}, {9}, "x", kRed);
    EXPECT_EQ(axes.series, (std::vector<PlotSeries>{{{7}, {8}, {9}, "x", kRed}}));
    EXPECT_TRUE(axes.is3D);

    // A 2D drawing into kept 3D axes stays in them; without keeping it replaces them with 2D axes.
    axes.hold = true;
    plot2dRGB(s.rt, axes, {1}, {2}, "s", kRed);
    EXPECT_EQ(axes.series.size(), 2u);
    EXPECT_TRUE(axes.is3D);
    axes.hold = false;
    plot2dRGB(s.rt, axes, {1}, {2}, "s", kRed);
    EXPECT_EQ(axes.series, (std::vector<PlotSeries>{{{1}, {2}, {}, "s", kRed}}));
    EXPECT_FALSE(axes.is3D);

    // Every marker and line style of the style menus is accepted.
    axes.hold = true;
    for (const char* spec : {"x", "+", "o", "*", ".", "s", "^", "v", ">", "<", "-", "--", ":", "-."})
        plot2dRGB(s.rt, axes, {1}, {1}, spec, kRed);
    EXPECT_EQ(axes.series.size(), 15u);
    EXPECT_TRUE(s.scripted.dialogs.empty());
}

TEST(PlotPrimitives, ABadSeriesAddsNothingAndIsReportedUnderThePrimitivesOwnName) {
    Session s;
    PlotAxes axes;
    axes.hold = true;
    plot2dRGB(s.rt, axes, {1, 2}, {1}, "x", kRed);
    plot3dRGB(s.rt, axes, {1}, {1}, {1}, "q", kRed);
    EXPECT_TRUE(axes.series.empty());
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    failure_report(s.scripted.dialogs[0], "Let Quillon know: \"plot2dRGB\"", "Function Error:\n\n ");
    failure_report(s.scripted.dialogs[1], "Let Quillon know: \"plot3dRGB\"", "Function Error:\n\n ");
}

} // namespace
} // namespace tarvik::testing
