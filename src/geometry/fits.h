#pragma once

#include "core/fit_orientation.h"
#include "core/matrix.h"

#include <cstddef>
#include <vector>

// The best-fit ellipse (F2 x F1) and ellipsoid (F2 x F1 x duration) of one vowel group, over plain
// matrices. Points are the rows of an N x 2 or N x 3 matrix with the columns F2, F1, duration.
//
// Rotations act on column vectors: R(a) has the rows [cos a, -sin a] and [sin a, cos a]; Rxy(a) turns
// about the duration axis from F2 towards F1, Rxz(a) about the F1 axis from F2 towards duration.
//
// Degenerate groups never throw; they give the limit of the fit as the spread vanishes:
// - When the independent values of a line fit are all equal (one token, identical tokens, all F2 equal)
//   the line is undefined, but the tokens then have no spread and no covariance along that axis, so the
//   axes they already have are principal: the angle is 0. Three tokens on a vertical line thus give
//   theta 0, A 0 and B twice the F1 spread, and the outline collapses onto that segment.
// - Values that are all equal have spread exactly 0, so one token gives A = B (= C) = 0.
// - A zero semi-axis collapses the outline: the radius is 0 wherever the direction has a component
//   along that axis, and a direction without such a component is measured by the other axes only
//   (0/0 in the radius formula counts as 0, its limit). The quarter-turn directions are exact, so a
//   collapsed ellipse still reaches the ends of its remaining axis.
// - Missing values (NaN) make every result they reach NaN; a group without tokens has NaN centre,
//   angles and semi-axes and an all-NaN outline.
namespace tarvik {

// Points on an outline: 101 for an ellipse; 305 (three runs of 101, 102 and 102) for an ellipsoid.
inline constexpr std::size_t kEllipsePoints = 101;
inline constexpr std::size_t kEllipsoidPoints = 305;

// Arithmetic mean; NaN for no values.
double mean_value(const std::vector<double>& values);

// Sample standard deviation (divisor N - 1, 1 for a single value): 0 when all values are equal, NaN
// for no values or when a value is NaN or infinite.
double sample_deviation(const std::vector<double>& values);

// Slope m of the least-squares line y = m x + b. NaN when the x values are all equal or there are
// none (the line is undefined), and wherever a NaN takes part.
double least_squares_slope(const std::vector<double>& x, const std::vector<double>& y);

// The angle of a fit axis from the least-squares line of y on x with slope m: atan(m), the line's own
// angle (Line), or -atan(m), its mirror (Mirrored). 0 when the x values are all equal (see above).
double star_angle(const std::vector<double>& x, const std::vector<double>& y, FitOrientation orientation);

// Column `col` of `m` (0-based); throws std::out_of_range when the matrix has no such column but rows.
std::vector<double> matrix_column(const Matrix& m, std::size_t col);

Matrix rotation_2d(double a); // R(a)
Matrix rotation_xy(double a); // Rxy(a)
Matrix rotation_xz(double a); // Rxz(a)

// Cosine and sine of the angle 2 pi k / perTurn, exact at the quarter turns.
struct Direction {
    double c = 1;
    double s = 0;
};
Direction turn_direction(long long k, long long perTurn);

// Distance from the centre to the ellipse with semi-axes A (star x) and B (star y) along the star-frame
// direction (c, s): sqrt(1 / (c^2/A^2 + s^2/B^2)).
double ellipse_radius(double A, double B, Direction d);

// Distance from the centre to the ellipsoid with semi-axes A, B, C along the double-star direction of
// azimuth t (from x towards y) and elevation f (towards z):
// 1 / sqrt(cos^2 t cos^2 f / A^2 + sin^2 t cos^2 f / B^2 + sin^2 f / C^2).
double ellipsoid_radius(double A, double B, double C, Direction t, Direction f);

struct Outline2D {
    std::vector<double> x, y;
};
// The ellipse in its star frame: point k = 1 .. 101 at the angle 2 pi k / 100; point 101 repeats 1.
Outline2D star_ellipse_outline(double A, double B);

struct Outline3D {
    std::vector<double> x, y, z;
};
// Three closed curves of the ellipsoid in its double-star frame, one after the other: the A-B ellipse
// (points 1 .. 101, azimuth 2 pi k / 100), the A-C ellipse (102 .. 203, elevation 2 pi (k - 101) / 100)
// and the B-C ellipse (204 .. 305, azimuth a quarter turn, elevation 2 pi (k - 203) / 100).
Outline3D dubstar_ellipsoid_outline(double A, double B, double C);

// The 2D star fit of points (columns 0 and 1 used).
struct StarFit2D {
    std::vector<double> avg;          // centre (F2, F1)
    double theta = 0;                 // star angle of centred F1 on centred F2: the A axis from F2 to F1
    Matrix rottheta;                  // R(-theta): data into the star frame
    Matrix star;                      // N x 2 star coordinates, rows in the order of the points
    double A = 0;                     // stdmult x sample deviation of star column 1
    double B = 0;                     // stdmult x sample deviation of star column 2
    std::vector<double> xstar, ystar; // the outline in the star frame
};
// Throws std::out_of_range when the points have rows but fewer than two columns.
StarFit2D fit_star_2d(const Matrix& points, double stdmult, FitOrientation orientation);

// The star-frame outline turned back by R(theta) and moved to avg: one row (F2, F1) per outline point.
// Throws std::invalid_argument when the outline lists differ in length or avg has fewer than 2 entries.
Matrix ellipse_in_data(double theta, const std::vector<double>& xstar, const std::vector<double>& ystar,
                       const std::vector<double>& avg);

// The 3D double-star fit of points (columns 0, 1, 2).
struct DubstarFit3D {
    std::vector<double> avg;                          // centre (F2, F1, duration)
    double theta = 0;                                 // first angle, the 2D star fit's theta
    Matrix rottheta;                                  // Rxy(-theta): data into the star frame
    double phi = 0;                                   // star angle of star duration on star F2
    Matrix rotphi;                                    // Rxz(-phi): star into the double-star frame
    Matrix dubstar;                                   // N x 3 double-star coordinates
    double A = 0, B = 0, C = 0;                       // stdmult x sample deviations of the dubstar columns
    std::vector<double> xdubstar, ydubstar, zdubstar; // the outline in the double-star frame
};
// Throws std::out_of_range when the points have rows but fewer than three columns.
DubstarFit3D fit_dubstar_3d(const Matrix& points, double stdmult, FitOrientation orientation);

// The double-star outline turned back by Rxy(theta) Rxz(phi) and moved to avg: one row (F2, F1,
// duration) per point. Throws std::invalid_argument on lists of different lengths or a short avg.
Matrix ellipsoid_in_data(double theta, double phi, const std::vector<double>& xdubstar,
                         const std::vector<double>& ydubstar, const std::vector<double>& zdubstar,
                         const std::vector<double>& avg);

} // namespace tarvik
