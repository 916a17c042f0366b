#include "geometry/geometry_ops.h"

#include "app/background.h"
#include "app/guarded.h"
#include "app/warnings.h"
#include "core/format.h"
#include "core/item_threads.h"
#include "geometry/extents.h"
#include "geometry/fits.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

namespace {

const char* const kNo2DStar = "Group %s has no 2D star axes to draw its ellipse from.";
const char* const kNo3DDubstar = "Group %s has no 3D double-star axes to draw its ellipsoid from.";
const char* const kNoEllipseTitle = "Ellipse cannot be fitted";
const char* const kNoEllipsoidTitle = "Ellipsoid cannot be fitted";
const char* const kTooFewFor2D =
    "Group %s has %s: its ellipse cannot be fitted and its overlaps will be NaN.";
const char* const kTooFewFor3D =
    "Group %s has %s: its ellipsoid cannot be fitted and its overlaps will be NaN.";
const char* const kFlat2D =
    "Group %s has %s with no spread along one of its axes: its ellipse is flat and its "
    "overlaps cannot be trusted.";
const char* const kFlat3D =
    "Group %s has %s with no spread along one of its axes: its ellipsoid is flat and its "
    "overlaps cannot be trusted.";

// The value of a fit field an outline needs; its absence means the fit has not run for that group.
template <typename T>
const T& fit_field(const std::optional<T>& field, const char* message, std::size_t index) {
    if (!field)
        throw std::runtime_error(fill(message, {std::to_string(index + 1)}));
    return *field;
}

// A shape needs one token more than it has dimensions, and some spread along each of its axes; every
// group that has not gets its line, in one report of the kind.
Handles warn_of_degenerate_fits(Runtime& rt, Handles handles, bool threeD) {
    Warnings warnings(threeD ? kNoEllipsoidTitle : kNoEllipseTitle);
    for (const VowelGroup& g : handles.v) {
        const std::size_t n = g.data.rows;
        const std::string tokens = format_count(n) + (n == 1 ? " token" : " tokens");
        const auto semiAxes = threeD ? std::vector{g.A, g.B, g.C} : std::vector{g.A2D, g.B2D};
        if (n < semiAxes.size() + 1)
            warnings.add(fill(threeD ? kTooFewFor3D : kTooFewFor2D, {g.name, tokens}));
        else if (std::ranges::any_of(semiAxes, [](const auto& axis) { return axis == 0.0; }))
            warnings.add(fill(threeD ? kFlat3D : kFlat2D, {g.name, tokens}));
    }
    return warnings.report(rt, std::move(handles));
}

// A stage of the fits: `fit(g)` of every group, shared among the runner's threads (it reads the group
// and the record alone), then `apply(group, result)` in group order, on this record's own copy of each
// group. A group whose fit failed stops the stage there with its failure, as a loop over the groups in
// turn would, so that the record is the same for any number of threads.
template <typename Fit, typename Apply>
void fit_each_group(const Runtime& rt, Handles& handles, Fit fit, Apply apply) {
    const GroupList& groups = handles.v;
    using Result = decltype(fit(std::declval<const VowelGroup&>(), std::size_t{}));
    std::vector<std::optional<Result>> results(groups.size());
    const std::vector<std::exception_ptr> failures =
        share_items(groups.size(), runner_threads(rt), [&](std::size_t k) { results[k] = fit(*groups[k], k); });
    for (std::size_t k = 0; k < groups.size(); ++k) {
        if (failures[k])
            std::rethrow_exception(failures[k]);
        apply(handles.v[k].edit(), std::move(*results[k]));
    }
}

std::vector<const Matrix*> token_matrices(const Handles& handles, Matrix VowelGroup::*which) {
    std::vector<const Matrix*> out;
    for (const VowelGroup& g : handles.v)
        out.push_back(&(g.*which));
    return out;
}

} // namespace

Handles calculate_vowel_2D_star(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_vowel_2D_star", [&] {
        fit_each_group(
            rt, handles,
            [&](const VowelGroup& g, std::size_t) {
                return fit_star_2d(g.data, handles.stdmult, handles.fitOrientation);
            },
            [](VowelGroup& g, StarFit2D fit) {
                g.avg2D = std::move(fit.avg);
                g.rottheta2D = std::move(fit.rottheta);
                g.A2D = fit.A;
                g.B2D = fit.B;
                g.star = std::move(fit.star);
                g.xstar = std::move(fit.xstar);
                g.ystar = std::move(fit.ystar);
                g.theta2D = fit.theta;
            });
        handles = warn_of_degenerate_fits(rt, std::move(handles), false);
        rt.store(handles);
    });
    return handles;
}

Handles calculate_2D_ellipses(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_2D_ellipses", [&] {
        fit_each_group(
            rt, handles,
            [](const VowelGroup& g, std::size_t i) {
                return ellipse_in_data(fit_field(g.theta2D, kNo2DStar, i), fit_field(g.xstar, kNo2DStar, i),
                                       fit_field(g.ystar, kNo2DStar, i), fit_field(g.avg2D, kNo2DStar, i));
            },
            [](VowelGroup& g, Matrix outline) { g.ellps2D = std::move(outline); });
        rt.store(handles);
    });
    return handles;
}

Handles calculate_vowel_3D_dubstar(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_vowel_3D_dubstar", [&] {
        fit_each_group(
            rt, handles,
            [&](const VowelGroup& g, std::size_t) {
                return fit_dubstar_3d(g.data, handles.stdmult, handles.fitOrientation);
            },
            [](VowelGroup& g, DubstarFit3D fit) {
                g.avg = std::move(fit.avg);
                g.rottheta = std::move(fit.rottheta);
                g.rotphi = std::move(fit.rotphi);
                g.A = fit.A;
                g.B = fit.B;
                g.C = fit.C;
                g.dubstar = std::move(fit.dubstar);
                g.xdubstar = std::move(fit.xdubstar);
                g.zdubstar = std::move(fit.zdubstar);
                g.ydubstar = std::move(fit.ydubstar);
                g.phi = fit.phi;
                g.theta = fit.theta;
            });
        handles = warn_of_degenerate_fits(rt, std::move(handles), true);
        rt.store(handles);
    });
    return handles;
}

Handles calculate_3D_ellipsoids(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_3D_ellipsoids", [&] {
        fit_each_group(
            rt, handles,
            [](const VowelGroup& g, std::size_t i) {
                return ellipsoid_in_data(
                    fit_field(g.theta, kNo3DDubstar, i), fit_field(g.phi, kNo3DDubstar, i),
                    fit_field(g.xdubstar, kNo3DDubstar, i), fit_field(g.ydubstar, kNo3DDubstar, i),
                    fit_field(g.zdubstar, kNo3DDubstar, i), fit_field(g.avg, kNo3DDubstar, i));
            },
            [](VowelGroup& g, Matrix outline) { g.ellps3D = std::move(outline); });
        rt.store(handles);
    });
    return handles;
}

Handles calculate_max_3D_axes(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_max_3D_axes", [&] {
        handles.axes3D = extents_3d(token_matrices(handles, &VowelGroup::data));
        handles.axes3DOriginal = extents_3d(token_matrices(handles, &VowelGroup::dataOriginal));
        rt.store(handles);
    });
    return handles;
}

Handles calculate_max_2D_axes(Runtime& rt, Handles handles) {
    guarded(rt, ReportForm::A, "calculate_max_2D_axes", [&] {
        handles.axes2D = extents_2d(token_matrices(handles, &VowelGroup::data));
        handles.axes2DOriginal = extents_2d(token_matrices(handles, &VowelGroup::dataOriginal));
        rt.store(handles);
    });
    return handles;
}

} // namespace tarvik
