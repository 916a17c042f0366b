#include "geometry/fits.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <stdexcept>

namespace tarvik {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr long long kStepsPerTurn = 100; // outline points per full turn

bool all_equal(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [&](double v) { return v == values.front(); });
}

// num / den, except that 0/0 counts as 0: a direction without a component along a vanished semi-axis
// is not limited by it (the limit of the radius as that semi-axis shrinks to 0).
double radius_term(double num, double den) {
    if (num == 0 && den == 0)
        return 0;
    return num / den;
}

std::vector<double> minus(std::vector<double> values, double shift) {
    for (double& v : values)
        v -= shift;
    return values;
}

Matrix product(const Matrix& a, const Matrix& b) {
    Matrix out(a.rows, b.cols);
    for (std::size_t r = 0; r < a.rows; ++r)
        for (std::size_t c = 0; c < b.cols; ++c) {
            double sum = 0;
            for (std::size_t k = 0; k < a.cols; ++k)
                sum += a(r, k) * b(k, c);
            out(r, c) = sum;
        }
    return out;
}

// Row k of the result is m applied to the column vector (cols[0][k], cols[1][k], ...), summed left to
// right, so a rotation that keeps one axis keeps that coordinate bit for bit.
Matrix rotate_rows(const Matrix& m, const std::vector<std::vector<double>>& cols) {
    const std::size_t n = cols.front().size();
    Matrix out(n, m.rows);
    for (std::size_t k = 0; k < n; ++k)
        for (std::size_t r = 0; r < m.rows; ++r) {
            double sum = m(r, 0) * cols[0][k];
            for (std::size_t c = 1; c < m.cols; ++c)
                sum += m(r, c) * cols[c][k];
            out(k, r) = sum;
        }
    return out;
}

void require_columns(const Matrix& points, std::size_t needed) {
    if (points.rows > 0 && points.cols < needed)
        throw std::out_of_range("Index exceeds matrix dimensions.");
}

void require_outline(std::initializer_list<const std::vector<double>*> lists, const std::vector<double>& avg,
                     std::size_t dims) {
    for (const auto* list : lists)
        if (list->size() != (*lists.begin())->size())
            throw std::invalid_argument("The outline coordinate lists differ in length.");
    if (avg.size() < dims)
        throw std::invalid_argument("The centre has too few coordinates.");
}

} // namespace

double mean_value(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values)
        sum += v;
    return sum / static_cast<double>(values.size());
}

double sample_deviation(const std::vector<double>& values) {
    if (values.empty())
        return kNaN;
    if (std::any_of(values.begin(), values.end(), [](double v) { return !std::isfinite(v); }))
        return kNaN;
    // The rounded mean of equal values need not equal them; their spread is still exactly 0.
    if (all_equal(values))
        return 0;
    const double m = mean_value(values);
    double squares = 0;
    for (double v : values)
        squares += (v - m) * (v - m);
    return std::sqrt(squares / static_cast<double>(values.size() - 1));
}

double least_squares_slope(const std::vector<double>& x, const std::vector<double>& y) {
    if (x.size() != y.size())
        throw std::invalid_argument("The line fit needs as many x as y values.");
    if (x.empty() || all_equal(x))
        return kNaN;
    const double xm = mean_value(x);
    const double ym = mean_value(y);
    double sxy = 0;
    double sxx = 0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        sxy += (x[k] - xm) * (y[k] - ym);
        sxx += (x[k] - xm) * (x[k] - xm);
    }
    return sxy / sxx;
}

double star_angle(const std::vector<double>& x, const std::vector<double>& y, FitOrientation orientation) {
    if (!x.empty() && all_equal(x))
        return 0;
    const double along = std::atan(least_squares_slope(x, y));
    return orientation == FitOrientation::Mirrored ? -along : along;
}

std::vector<double> matrix_column(const Matrix& m, std::size_t col) {
    if (m.rows == 0)
        return {};
    if (col >= m.cols)
        throw std::out_of_range("Index exceeds matrix dimensions.");
    std::vector<double> out(m.rows);
    for (std::size_t r = 0; r < m.rows; ++r)
        out[r] = m(r, col);
    return out;
}

Matrix rotation_2d(double a) {
    Matrix m(2, 2);
    m(0, 0) = std::cos(a);
    m(0, 1) = -std::sin(a);
    m(1, 0) = std::sin(a);
    m(1, 1) = std::cos(a);
    return m;
}

Matrix rotation_xy(double a) {
    Matrix m(3, 3);
    m(0, 0) = std::cos(a);
    m(0, 1) = -std::sin(a);
    m(1, 0) = std::sin(a);
    m(1, 1) = std::cos(a);
    m(2, 2) = 1;
    return m;
}

Matrix rotation_xz(double a) {
    Matrix m(3, 3);
    m(0, 0) = std::cos(a);
    m(0, 2) = -std::sin(a);
    m(1, 1) = 1;
    m(2, 0) = std::sin(a);
    m(2, 2) = std::cos(a);
    return m;
}

Direction turn_direction(long long k, long long perTurn) {
    if ((4 * k) % perTurn == 0) {
        static constexpr Direction kQuarters[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
        return kQuarters[((4 * k / perTurn) % 4 + 4) % 4];
    }
    const double th = 2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(perTurn);
    return {std::cos(th), std::sin(th)};
}

double ellipse_radius(double A, double B, Direction d) {
    return std::sqrt(1 / (radius_term(d.c * d.c, A * A) + radius_term(d.s * d.s, B * B)));
}

double ellipsoid_radius(double A, double B, double C, Direction t, Direction f) {
    const double sum = radius_term(t.c * t.c * f.c * f.c, A * A) + radius_term(t.s * t.s * f.c * f.c, B * B) +
                       radius_term(f.s * f.s, C * C);
    return 1 / std::sqrt(sum);
}

Outline2D star_ellipse_outline(double A, double B) {
    Outline2D out;
    out.x.reserve(kEllipsePoints);
    out.y.reserve(kEllipsePoints);
    for (std::size_t k = 1; k <= kEllipsePoints; ++k) {
        const Direction d = turn_direction(static_cast<long long>(k), kStepsPerTurn);
        const double r = ellipse_radius(A, B, d);
        out.x.push_back(r * d.c);
        out.y.push_back(r * d.s);
    }
    return out;
}

Outline3D dubstar_ellipsoid_outline(double A, double B, double C) {
    Outline3D out;
    const auto add = [&](Direction t, Direction f) {
        const double rph = ellipsoid_radius(A, B, C, t, f);
        out.x.push_back(rph * t.c * f.c);
        out.y.push_back(rph * t.s * f.c);
        out.z.push_back(rph * f.s);
    };
    const Direction none{1, 0};
    const Direction quarter = turn_direction(1, 4);
    for (long long k = 1; k <= 101; ++k)
        add(turn_direction(k, kStepsPerTurn), none);
    for (long long k = 102; k <= 203; ++k)
        add(none, turn_direction(k - 101, kStepsPerTurn));
    for (long long k = 204; k <= 305; ++k)
        add(quarter, turn_direction(k - 203, kStepsPerTurn));
    return out;
}

StarFit2D fit_star_2d(const Matrix& points, double stdmult, FitOrientation orientation) {
    require_columns(points, 2);
    const std::vector<double> x = matrix_column(points, 0);
    const std::vector<double> y = matrix_column(points, 1);

    StarFit2D fit;
    fit.avg = {mean_value(x), mean_value(y)};
    const std::vector<double> xc = minus(x, fit.avg[0]);
    const std::vector<double> yc = minus(y, fit.avg[1]);
    fit.theta = star_angle(xc, yc, orientation);
    fit.rottheta = rotation_2d(-fit.theta);
    fit.star = rotate_rows(fit.rottheta, {xc, yc});
    fit.A = stdmult * sample_deviation(matrix_column(fit.star, 0));
    fit.B = stdmult * sample_deviation(matrix_column(fit.star, 1));
    Outline2D outline = star_ellipse_outline(fit.A, fit.B);
    fit.xstar = std::move(outline.x);
    fit.ystar = std::move(outline.y);
    return fit;
}

Matrix ellipse_in_data(double theta, const std::vector<double>& xstar, const std::vector<double>& ystar,
                       const std::vector<double>& avg) {
    require_outline({&xstar, &ystar}, avg, 2);
    const Matrix antitheta = rotation_2d(theta);
    Matrix out = rotate_rows(antitheta, {xstar, ystar});
    for (std::size_t k = 0; k < out.rows; ++k) {
        out(k, 0) += avg[0];
        out(k, 1) += avg[1];
    }
    return out;
}

DubstarFit3D fit_dubstar_3d(const Matrix& points, double stdmult, FitOrientation orientation) {
    require_columns(points, 3);
    std::vector<std::vector<double>> translated(3);
    DubstarFit3D fit;
    for (std::size_t c = 0; c < 3; ++c) {
        const std::vector<double> values = matrix_column(points, c);
        fit.avg.push_back(mean_value(values));
        translated[c] = minus(values, fit.avg[c]);
    }
    fit.theta = star_angle(translated[0], translated[1], orientation);
    fit.rottheta = rotation_xy(-fit.theta);
    const Matrix star = rotate_rows(fit.rottheta, translated);
    const std::vector<std::vector<double>> starColumns = {matrix_column(star, 0), matrix_column(star, 1),
                                                          matrix_column(star, 2)};
    fit.phi = star_angle(starColumns[0], starColumns[2], orientation);
    fit.rotphi = rotation_xz(-fit.phi);
    fit.dubstar = rotate_rows(fit.rotphi, starColumns);
    fit.A = stdmult * sample_deviation(matrix_column(fit.dubstar, 0));
    fit.B = stdmult * sample_deviation(matrix_column(fit.dubstar, 1));
    fit.C = stdmult * sample_deviation(matrix_column(fit.dubstar, 2));
    Outline3D outline = dubstar_ellipsoid_outline(fit.A, fit.B, fit.C);
    fit.xdubstar = std::move(outline.x);
    fit.ydubstar = std::move(outline.y);
    fit.zdubstar = std::move(outline.z);
    return fit;
}

Matrix ellipsoid_in_data(double theta, double phi, const std::vector<double>& xdubstar,
                         const std::vector<double>& ydubstar, const std::vector<double>& zdubstar,
                         const std::vector<double>& avg) {
    require_outline({&xdubstar, &ydubstar, &zdubstar}, avg, 3);
    const Matrix back = product(rotation_xy(theta), rotation_xz(phi));
    Matrix out = rotate_rows(back, {xdubstar, ydubstar, zdubstar});
    for (std::size_t k = 0; k < out.rows; ++k)
        for (std::size_t c = 0; c < 3; ++c)
            out(k, c) += avg[c];
    return out;
}

} // namespace tarvik
