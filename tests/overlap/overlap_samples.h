#pragma once

#include "geometry/fits.h"
#include "support/geometry_samples.h"
#include "overlap/grid_overlap.h"

#include <cmath>
#include <vector>

namespace tarvik::testing {

inline constexpr double kStdmult = 2;

// The fitted ellipse of the F2 x F1 columns, with its 101-point outline, as the fits compute them.
inline Ellipse2D fitted_ellipse(const Matrix& points) {
    const StarFit2D f = fit_star_2d(points, kStdmult);
    Ellipse2D e;
    e.avg = {f.avg[0], f.avg[1]};
    e.theta = f.theta;
    e.A = f.A;
    e.B = f.B;
    e.outline = ellipse_in_data(f.theta, f.xstar, f.ystar, f.avg);
    return e;
}

// The fitted ellipsoid with its 305-point outline.
inline Ellipsoid3D fitted_ellipsoid(const Matrix& points) {
    const DubstarFit3D f = fit_dubstar_3d(points, kStdmult);
    Ellipsoid3D e;
    e.avg = {f.avg[0], f.avg[1], f.avg[2]};
    e.theta = f.theta;
    e.phi = f.phi;
    e.A = f.A;
    e.B = f.B;
    e.C = f.C;
    e.outline = ellipsoid_in_data(f.theta, f.phi, f.xdubstar, f.ydubstar, f.zdubstar, f.avg);
    return e;
}

// An ellipse whose grid box is set by hand: the outline is just the two corners of the box (by default
// [-2, 2] on every axis).
inline Ellipse2D ellipse(std::array<double, 2> avg, double theta, double A, double B, double lo = -2,
                         double hi = 2) {
    return {avg, theta, A, B, rows({{lo, lo}, {hi, hi}})};
}

inline Ellipsoid3D ellipsoid(std::array<double, 3> avg, double theta, double phi, double A, double B,
                             double C, double lo = -2, double hi = 2) {
    return {avg, theta, phi, A, B, C, rows({{lo, lo, lo}, {hi, hi, hi}})};
}

} // namespace tarvik::testing
