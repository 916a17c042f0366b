// Ellipsoid, ellipse, volume, sphere and overlap plots through the plot buttons of a step-4 session:
// the ellipsoid's two views around the key wait, the inside points, the stars of the overlap.
#include "plot/shape_plots.h"

#include "geometry/fits.h"
#include "support/plot_session.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvik::testing {
namespace {

// plot_vowels.txt with every overlap: groups 1 (red) and 3 (blue) overlap, group 2 (green) lies apart.
class ShapePlots : public PlotsAtStep4 {
    StudySetup study() const override { return {"plot_vowels.txt", true, true}; }
};

bool all_zero(const std::vector<double>& v) {
    return !v.empty() && std::all_of(v.begin(), v.end(), [](double x) { return x == 0; });
}

TEST_F(ShapePlots, TheEllipsoidShowsItsFirstViewWaitsForAKeyThenAddsTheOutlines) {
    choose_groups(true, 3, true, 1);
    plot(3, "3d");
    EXPECT_EQ(plots().events, (std::vector<std::string>{"open 1", "show 1", "wait 1", "show 1"}));
    ASSERT_EQ(plots().history.size(), 2u);

    const PlotAxes& first = plots().history[0].axes;
    EXPECT_EQ(first.title, "Best Fit Ellipsoid: First Rotation\n(press 'space' for second rotation)");
    EXPECT_EQ(first.labels, (std::array<std::string, 3>{"Principal \"star\" axis", "Secondary \"star\" axis",
                                                        "Primary \"double star\" axis"}));
    EXPECT_EQ(first.reversed, (std::array<bool, 3>{true, true, true}));
    ASSERT_EQ(first.series.size(), 2u);
    const Matrix& dub3 = *h.v[2].dubstar;
    EXPECT_EQ(first.series[0].x, matrix_column(dub3, 0));
    EXPECT_EQ(first.series[0].y, matrix_column(dub3, 2));
    EXPECT_EQ(first.series[0].z, matrix_column(dub3, 1));
    EXPECT_EQ(first.series[1].color, h.v[0].markerColor);

    const PlotAxes& second = shown(1).axes;
    ASSERT_EQ(second.series.size(), 2u + 3 * 2);
    EXPECT_TRUE(std::equal(first.series.begin(), first.series.end(), second.series.begin()));
    // Group 3's outline, projected onto each coordinate plane in turn.
    const VowelGroup& g3 = h.v[2];
    const PlotSeries* proj = &second.series[2];
    EXPECT_TRUE(all_zero(proj[0].x));
    EXPECT_EQ(proj[0].y, *g3.zdubstar);
    EXPECT_EQ(proj[0].z, *g3.ydubstar);
    EXPECT_EQ(proj[1].x, *g3.xdubstar);
    EXPECT_TRUE(all_zero(proj[1].y));
    EXPECT_TRUE(all_zero(proj[2].z));
    EXPECT_EQ(proj[2].y, *g3.zdubstar);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(proj[k].color, g3.markerColor);
    EXPECT_EQ(second.series[5].color, h.v[0].markerColor);
    EXPECT_FALSE(second.hold);
}

TEST_F(ShapePlots, EllipsesAreRingsOfEachGroupsMarkers) {
    choose_groups(false, 1, false, 2, true);
    plot(3, "2d");
    const PlotAxes& axes = shown(1).axes;
    ASSERT_EQ(axes.series.size(), 3u);
    for (std::size_t g = 0; g < 3; ++g) {
        EXPECT_EQ(axes.series[g].x, matrix_column(*h.v[g].ellps2D, 0));
        EXPECT_EQ(axes.series[g].y, matrix_column(*h.v[g].ellps2D, 1));
        EXPECT_EQ(axes.series[g].lineSpec, h.v[g].markerType);
    }
    EXPECT_EQ(axes.reversed, (std::array<bool, 3>{true, true, false}));
}

class OverlapPlots : public ShapePlots, public ::testing::WithParamInterface<const char*> {
  protected:
    bool is3D() const { return std::string(GetParam()) == "3d"; }
};

TEST_P(OverlapPlots, TheSmallerGroupComesFirstAndSharedPointsAreStarsInTheMeanColour) {
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
    EXPECT_EQ(axes.series[2].x, (is3D() ? cell.Bothcoordx : cell.Bothcoordx2D)->get());
    EXPECT_EQ(axes.series[2].y, (is3D() ? cell.Bothcoordz : cell.Bothcoordy2D)->get());
    EXPECT_EQ(axes.series[2].z, is3D() ? cell.Bothcoordy->get() : std::vector<double>{});
    EXPECT_EQ(axes.series[0].color, (Color{1, 0, 0}));
    EXPECT_EQ(axes.series[1].color, (Color{0, 0, 1}));
    EXPECT_FALSE(axes.series[2].x.empty());
    EXPECT_EQ(axes.series[2].lineSpec, "*");
    EXPECT_EQ(axes.series[2].color, (Color{0.5, 0, 0.5}));
    EXPECT_EQ(axes.legend, (std::vector<std::string>{"v1", "v3"}));

    // Disjoint groups show their points and no stars.
    choose_groups(true, 1, true, 2);
    plot(5, GetParam());
    const PlotAxes& apart = shown(2).axes;
    ASSERT_EQ(apart.series.size(), 3u);
    EXPECT_FALSE(apart.series[0].x.empty() || apart.series[1].x.empty());
    EXPECT_TRUE(apart.series[2].x.empty());
    EXPECT_EQ(apart.series[2].color, (Color{0.5, 0.5, 0}));
}

TEST_P(OverlapPlots, VolumesShowEveryGroupsInsidePoints) {
    choose_groups(false, 1, false, 2, true);
    plot(4, GetParam());
    const PlotAxes& axes = shown(1).axes;
    ASSERT_EQ(axes.series.size(), 3u);
    const VowelGroup& g2 = h.v[1];
    EXPECT_EQ(axes.series[1].x, (is3D() ? g2.Ecoordx : g2.Ecoordx2D)->get());
    EXPECT_EQ(axes.series[1].y, (is3D() ? g2.Ecoordz : g2.Ecoordy2D)->get());
    EXPECT_EQ(axes.is3D, is3D());
}

INSTANTIATE_TEST_SUITE_P(Dimensions, OverlapPlots, ::testing::Values("3d", "2d"));

// wiz_vowels.txt without any overlap calculated.
class ShapePlotsBeforeOverlaps : public PlotsAtStep4, public ::testing::WithParamInterface<const char*> {
  protected:
    bool is3D() const { return std::string(GetParam()) == "3d"; }
};

TEST_P(ShapePlotsBeforeOverlaps, VolumesReportTheFailureWarnAndCloseTheWindow) {
    plot(4, GetParam());
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    const DialogRecord& report = s.scripted.dialogs[0];
    EXPECT_EQ(report.title, is3D() ? "Function \"plot_3D_volumes\"" : "Function \"plot_2D_spheres\"");
    EXPECT_EQ(report.text[0].rfind("Let Quillon know about this error:\n\n ", 0), 0u);
    EXPECT_TRUE(report.modal && report.waited);
    const DialogRecord& warning = s.scripted.dialogs[1];
    EXPECT_EQ(warning.kind, "warning");
    EXPECT_EQ(warning.title, is3D() ? "Failed to plot volumes" : "Failed to plot spheres");
    EXPECT_EQ(
        warning.text,
        TextList{std::string("Make sure to have both the Plot Options 'Group A' and 'Group B' checkboxes "
                             "selected. Also, did you calculate the ") +
                 (is3D() ? "3D overlaps for the groups for which you want to plot volumes?"
                         : "2D overlaps for the groups for which you want to plot spheres?")});
    EXPECT_FALSE(warning.modal || warning.waited);
    EXPECT_EQ(plots().events, (std::vector<std::string>{"open 1", "close 1"}));
    EXPECT_EQ(s.record().plotFigure.size(), 1u);
    EXPECT_FALSE(s.record().currentAxes);
}

TEST_P(ShapePlotsBeforeOverlaps, OnceOnePairRanAGroupOutsideItDrawsAnEmptySeries) {
    dispatch_event(s.rt, is3D() ? "button_calculate_3Doverlap" : "button_calculate_2Doverlap"); // pair 1, 2
    choose_groups(false, 1, false, 2, true);
    plot(4, GetParam());
    ASSERT_EQ(shown(1).axes.series.size(), 3u);
    EXPECT_TRUE(shown(1).axes.series[2].x.empty());
}

TEST_P(ShapePlotsBeforeOverlaps, AnOverlapOfThePairInTheOtherDimensionIsNotEnough) {
    dispatch_event(s.rt, is3D() ? "button_calculate_2Doverlap" : "button_calculate_3Doverlap");
    s.scripted.dialogs.clear();
    plot(5, GetParam());
    ASSERT_EQ(s.scripted.dialogs.size(), 2u);
    EXPECT_EQ(s.scripted.dialogs[0].title,
              is3D() ? "Function \"plot_3D_vowels_overlap\"" : "Function \"plot_2D_vowels_overlap\"");
    EXPECT_EQ(s.scripted.dialogs[1].title,
              is3D() ? "Failed to plot 3D overlap" : "Failed to plot 2D overlap");
    EXPECT_FALSE(plots().window(1).open);
}

INSTANTIATE_TEST_SUITE_P(Dimensions, ShapePlotsBeforeOverlaps, ::testing::Values("3d", "2d"));

} // namespace
} // namespace tarvik::testing
