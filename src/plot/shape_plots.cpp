#include "plot/shape_plots.h"

#include "app/guarded.h"
#include "core/format.h"
#include "geometry/fits.h"
#include "overlap/overlap_ops.h"
#include "plot/plot_series.h"
#include "plot/plot_texts.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tarvik {

namespace {

using Values = std::vector<double>;

template <typename T> const T& fitted(const std::optional<T>& field, int num, const char* name) {
    if (!field)
        throw std::runtime_error(fill(plot_text::kNotFitted, {std::to_string(num), name}));
    return *field;
}

// 0 * v element by element, so that a NaN of the outline stays NaN in its flattened coordinate.
Values flattened(const Values& v) {
    Values out(v.size());
    std::transform(v.begin(), v.end(), out.begin(), [](double x) { return 0.0 * x; });
    return out;
}

// A group's inside points, counted again on the grid of its latest overlap estimate of the dimension.
// Before any estimate of the dimension no group has such a grid and that is a failure; afterwards a
// group that took part in none draws an empty series.
PointList3D inside_points(const Handles& handles, int num, bool is3D) {
    if (std::optional<PointList3D> points = group_inside_points(handles, num, is3D))
        return std::move(*points);
    const auto counted = [&](const VowelGroup& g) { return (is3D ? g.Egrid : g.Egrid2D).has_value(); };
    if (std::none_of(handles.v.begin(), handles.v.end(), counted))
        throw std::runtime_error(fill(plot_text::kNoInsidePoints, {is3D ? "3D" : "2D"}));
    return {};
}

// Draws each group's inside points: (x, z, y) in 3D, (x, y) in 2D; the axes keep every group's series.
void draw_inside_points(const Runtime& rt, const Handles& handles, PlotAxes& axes,
                        const std::vector<int>& groups, bool is3D) {
    axes.is3D = is3D;
    for (int num : groups) {
        const VowelGroup& g = plotted_group(handles, num);
        const PointList3D points = inside_points(handles, num, is3D);
        if (is3D)
            plot3dRGB(rt, axes, points.x, points.z, points.y, g.markerType, g.markerColor);
        else
            plot2dRGB(rt, axes, points.x, points.y, g.markerType, g.markerColor);
        axes.hold = true;
    }
}

Color mean_color(const Color& a, const Color& b) {
    return {(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2};
}

// Each group's points and the points inside both are counted again on the pair's grid (not on the grid
// of the pair each group was estimated with last), for a pair whose estimate of the dimension has run and
// succeeded.
void draw_overlap(const Runtime& rt, const Handles& handles, PlotAxes& axes, int A, int B, bool is3D) {
    if (A > B)
        std::swap(A, B);
    const VowelGroup &a = plotted_group(handles, A), &b = plotted_group(handles, B);
    const auto cell = handles.overlap.find({A, B});
    if (cell == handles.overlap.end() || overlap_failed(pair_results(cell->second, is3D)))
        throw std::runtime_error(
            fill(plot_text::kNoPairOverlap, {is3D ? "3D" : "2D", std::to_string(A), std::to_string(B)}));
    const PairPoints points = pair_points(handles, A, B, is3D);
    axes.is3D = is3D;
    const std::pair<const PointList3D*, std::pair<std::string, Color>> series[] = {
        {&points.inside1, {a.markerType, a.markerColor}},
        {&points.inside2, {b.markerType, b.markerColor}},
        {&points.both, {"*", mean_color(a.markerColor, b.markerColor)}}};
    for (const auto& [p, style] : series) {
        if (is3D)
            plot3dRGB(rt, axes, p->x, p->z, p->y, style.first, style.second);
        else
            plot2dRGB(rt, axes, p->x, p->y, style.first, style.second);
        axes.hold = true;
    }
    axes.hold = false;
    reverse_axes_with_grid(axes, is3D);
}

} // namespace

bool plot_3D_ellipsoid(Runtime& rt, const Handles& handles, PlotDescription& plot,
                       const std::vector<int>& vowelList, const std::string&) {
    return guarded(rt, ReportForm::A, "plot_3D_ellipsoid", [&] {
        PlotAxes& axes = plot.axes;
        axes.is3D = true;
        const std::vector<int> groups = groups_to_draw(handles, vowelList);
        for (int num : groups) {
            const VowelGroup& g = plotted_group(handles, num);
            const Matrix& dubstar = fitted(g.dubstar, num, "dubstar");
            plot3dRGB(rt, axes, matrix_column(dubstar, 0), matrix_column(dubstar, 2),
                      matrix_column(dubstar, 1), g.markerType, g.markerColor);
            axes.hold = true;
        }
        axes.title = plot_text::kFirstRotationTitle;
        reverse_axes_with_grid(axes, true);
        for (std::size_t k = 0; k < 3; ++k)
            axes.labels[k] = plot_text::kStarAxisLabels[k];

        PlotHost& host = plot_host(rt);
        host.show(plot);
        rt.wait_for_plot_key(plot.number);

        for (int num : groups) {
            const VowelGroup& g = plotted_group(handles, num);
            const Values& xs = fitted(g.xdubstar, num, "xdubstar");
            const Values& ys = fitted(g.ydubstar, num, "ydubstar");
            const Values& zs = fitted(g.zdubstar, num, "zdubstar");
            plot3dRGB(rt, axes, flattened(xs), zs, ys, g.markerType, g.markerColor);
            plot3dRGB(rt, axes, xs, flattened(zs), ys, g.markerType, g.markerColor);
            plot3dRGB(rt, axes, xs, zs, flattened(ys), g.markerType, g.markerColor);
        }
        reverse_axes_with_grid(axes, true);
        axes.hold = false;
    });
}

bool plot_2D_ellipses(Runtime& rt, const Handles& handles, PlotDescription& plot,
                      const std::vector<int>& vowelList) {
    return guarded(rt, ReportForm::A, "plot_2D_ellipses", [&] {
        PlotAxes& axes = plot.axes;
        axes.is3D = false;
        for (int num : groups_to_draw(handles, vowelList)) {
            const VowelGroup& g = plotted_group(handles, num);
            const Matrix& outline = fitted(g.ellps2D, num, "ellps2D");
            plot2dRGB(rt, axes, matrix_column(outline, 0), matrix_column(outline, 1), g.markerType,
                      g.markerColor);
            axes.hold = true;
        }
        axes.hold = false;
        reverse_axes_with_grid(axes, false);
    });
}

bool plot_3D_volumes(Runtime& rt, const Handles& handles, PlotDescription& plot,
                     const std::vector<int>& vowelList) {
    return guarded(rt, ReportForm::A, "plot_3D_volumes", [&] {
        draw_inside_points(rt, handles, plot.axes, groups_to_draw(handles, vowelList), true);
        plot.axes.hold = false;
        reverse_axes_with_grid(plot.axes, true);
    });
}

bool plot_2D_spheres(Runtime& rt, const Handles& handles, PlotDescription& plot,
                     const std::vector<int>& vowelList) {
    return guarded(rt, ReportForm::A, "plot_2D_spheres", [&] {
        draw_inside_points(rt, handles, plot.axes, groups_to_draw(handles, vowelList), false);
        plot.axes.hold = false;
        reverse_axes_with_grid(plot.axes, false);
    });
}

bool plot_3D_vowels_overlap(Runtime& rt, const Handles& handles, PlotDescription& plot, int A, int B) {
    return guarded(rt, ReportForm::A, "plot_3D_vowels_overlap",
                   [&] { draw_overlap(rt, handles, plot.axes, A, B, true); });
}

bool plot_2D_vowels_overlap(Runtime& rt, const Handles& handles, PlotDescription& plot, int A, int B) {
    return guarded(rt, ReportForm::A, "plot_2D_vowels_overlap",
                   [&] { draw_overlap(rt, handles, plot.axes, A, B, false); });
}

} // namespace tarvik
