// The star and double-star fits of one group: the two nine-token groups against their known results,
// the shape of the outlines, and groups whose fit is degenerate or undefined.
#include "geometry/fits.h"
#include "support/geometry_samples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <tuple>

namespace tarvik::testing {
namespace {

constexpr double kPi = std::numbers::pi;
// The worked results of the method are those of the mirrored axes; a cloud lies along its line axes.
constexpr FitOrientation kMirrored = FitOrientation::Mirrored;
constexpr FitOrientation kLine = FitOrientation::Line;
const double kRoot2 = std::sqrt(2.0);
// F1 values -0.1, 0, 0.2: mean 1/30, squared deviations (16 + 1 + 25) / 900, sample variance 21 / 900.
const double kVerticalB = 2 * std::sqrt(21.0) / 30;

void expect_all_rel(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        expect_rel(actual[k], expected[k]);
}

// Row r (1-based) of a matrix.
std::vector<double> row(const Matrix& m, std::size_t r) {
    return {m.values.begin() + (r - 1) * m.cols, m.values.begin() + r * m.cols};
}

Matrix ellipse_of(const StarFit2D& f) {
    return ellipse_in_data(f.theta, f.xstar, f.ystar, f.avg);
}
Matrix ellipsoid_of(const DubstarFit3D& f) {
    return ellipsoid_in_data(f.theta, f.phi, f.xdubstar, f.ydubstar, f.zdubstar, f.avg);
}

// --- the nine-token groups ----------------------------------------------------------------------

TEST(GeometryWorked, FitsOfTheFirstGroup) {
    const DubstarFit3D f = fit_dubstar_3d(first_group(), 2, kMirrored);
    expect_all_rel(f.avg, {-0.217133333333333, -0.103722222222222, 0.0815111111111111});
    // rottheta and rotphi row by row.
    expect_all_rel(f.rottheta.values, {0.999727634488591, 0.0233378842195547, 0, -0.0233378842195547,
                                       0.999727634488591, 0, 0, 0, 1});
    expect_all_rel(f.rotphi.values, {0.999930228340688, 0, -0.0118126394400461, 0, 1, 0, 0.0118126394400461,
                                     0, 0.999930228340688});
    ASSERT_EQ(f.dubstar.rows, 9u);
    expect_all_rel(row(f.dubstar, 1), {-0.0396147790187682, -0.0108488338432678, -0.0269809487177188});

    ASSERT_EQ(f.xdubstar.size(), kEllipsoidPoints);
    expect_rel(f.xdubstar[0], 0.22694051915262);
    expect_rel(f.ydubstar[0], 0.0142778872488576);
    expect_rel(f.zdubstar[101], 0.0136888841710971);

    const Matrix e = ellipsoid_of(f);
    ASSERT_EQ(e.rows, kEllipsoidPoints);
    expect_all_rel(row(e, 1), {0.00939632966526771, -0.0841522817491634, 0.0788303445840243});
    expect_all_rel(row(e, 102), {0.000532470211514036, -0.0986409789451125, 0.0926288628314105});
    expect_all_rel(row(e, 204), {-0.218115858635223, -0.0602489247705338, 0.0842467259611009});

    // The star fit of the same tokens: the centre's first two entries, and the first rotation.
    const StarFit2D p = fit_star_2d(first_group(), 2, kMirrored);
    expect_all_rel(p.avg, {-0.217133333333333, -0.103722222222222});
    expect_all_rel(p.rottheta.values,
                   {0.999727634488591, 0.0233378842195547, -0.0233378842195547, 0.999727634488591});
}

// The angles and semi-axes of both groups (in the second, A is the smaller: the star axes are not
// sorted by length). The second rotation turns about the star F1 axis, so the star fit is the first
// stage of the double-star fit bit for bit. Every outline point lies on the fitted ellipse (ellipsoid),
// its data-frame points turn back onto it, the ellipse closes on itself, and each 3D run lies in one
// coordinate plane of the double-star frame: z = 0, then y = 0, then x = 0.
TEST(GeometryWorked, AnglesSemiAxesAndOutlinesOfBothGroups) {
    const auto sq = [](double x) { return x * x; };
    // theta, phi, A, B, C of the double-star fit; theta2D, A2D, B2D of the star fit.
    const std::tuple<Matrix, std::vector<double>, std::vector<double>> groups[] = {
        {first_group(),
         {0.0233400032620084, -0.0118129141768652, 0.240157288139504, 0.0436408454023837, 0.032337529099586},
         {0.0233400032620084, 0.240207273808149, 0.0436408454023837}},
        {second_group(),
         {-0.608548460575071, -0.00344924916716169, 0.0329128897723833, 0.0680113131699475,
          0.0239219952474529},
         {-0.608548460575071, 0.0329133737223672, 0.0680113131699475}}};
    for (const auto& [tokens, space, flat] : groups) {
        const StarFit2D plane = fit_star_2d(tokens, 2, kMirrored);
        const DubstarFit3D f = fit_dubstar_3d(tokens, 2, kMirrored);
        expect_all_rel({f.theta, f.phi, f.A, f.B, f.C}, space);
        expect_all_rel({plane.theta, plane.A, plane.B}, flat);
        EXPECT_EQ(f.theta, plane.theta);
        EXPECT_EQ(f.B, plane.B);
        EXPECT_EQ(matrix_column(f.dubstar, 1), matrix_column(plane.star, 1));

        const Matrix e = ellipse_of(plane);
        ASSERT_EQ(e.rows, kEllipsePoints);
        for (std::size_t k = 0; k < kEllipsePoints; ++k) {
            EXPECT_NEAR(sq(plane.xstar[k] / plane.A) + sq(plane.ystar[k] / plane.B), 1, 1e-12) << k + 1;
            const double dx = e(k, 0) - plane.avg[0], dy = e(k, 1) - plane.avg[1];
            EXPECT_NEAR(plane.rottheta(0, 0) * dx + plane.rottheta(0, 1) * dy, plane.xstar[k], 1e-15)
                << k + 1;
        }
        EXPECT_NEAR(e(100, 0), e(0, 0), kRounding);
        EXPECT_NEAR(e(100, 1), e(0, 1), kRounding);

        ASSERT_EQ(f.zdubstar.size(), kEllipsoidPoints);
        for (std::size_t k = 0; k < kEllipsoidPoints; ++k) {
            SCOPED_TRACE(::testing::Message() << "point " << k + 1);
            EXPECT_NEAR(sq(f.xdubstar[k] / f.A) + sq(f.ydubstar[k] / f.B) + sq(f.zdubstar[k] / f.C), 1,
                        1e-12);
            EXPECT_NEAR(k < 101 ? f.zdubstar[k] : k < 203 ? f.ydubstar[k] : f.xdubstar[k], 0, kRounding);
        }
    }
}

// --- direction of the star frame and degenerate groups ------------------------------------------

TEST(GeometryDegenerate, AngleAndSemiAxesOfSmallGroups) {
    const std::tuple<std::string, FitOrientation, Matrix, double, double, double> cases[] = {
        // Slope 1: along the line, theta = pi/4 and R(-pi/4) turns the offsets (t, t) into (sqrt2 t, 0):
        // t = -1, 0, 1 give star F2 spread sqrt2, so A = 2 sqrt2, and nothing is left across.
        {"rising", kLine, rows({{0, 0}, {1, 1}, {2, 2}}), kPi / 4, 2 * kRoot2, 0},
        // Mirrored, theta = -pi/4 and R(pi/4) turns them into (0, sqrt2 t): the spread lands on B.
        {"risingMirrored", kMirrored, rows({{0, 0}, {1, 1}, {2, 2}}), -kPi / 4, 0, 2 * kRoot2},
        // Slope 4/3 (angle a): along the line the offsets +-(1.5, 2) (length 2.5) become +-(2.5, 0).
        {"twoTokens", kLine, rows({{0, 0}, {3, 4}}), std::atan(4.0 / 3.0), 5 * kRoot2, 0},
        // Mirrored, R(a) turns them to the angle 2a, where cos 2a = -7/25 and sin 2a = 24/25: star rows
        // +-(-0.7, 2.4), spreads 0.7 sqrt2 and 2.4 sqrt2.
        {"twoTokensMirrored", kMirrored, rows({{0, 0}, {3, 4}}), -std::atan(4.0 / 3.0), 1.4 * kRoot2,
         4.8 * kRoot2},
        // All F2 equal: no line, but no spread along F2 either, so the axes stay as they are.
        {"vertical", kLine, rows({{0.2, -0.1}, {0.2, 0.0}, {0.2, 0.2}}), 0, 0, kVerticalB},
        {"oneToken", kLine, rows({{0.5, -0.2}}), 0, 0, 0},
        // 0.1 three times sums to 0.30000000000000004: the mean is off by an ulp, the spread is still 0.
        {"identical", kMirrored, rows({{0.1, 0.3}, {0.1, 0.3}, {0.1, 0.3}}), 0, 0, 0},
        {"noTokens", kLine, Matrix(0, 2), kNaN, kNaN, kNaN}};
    for (const auto& [name, orientation, tokens, theta, A, B] : cases) {
        SCOPED_TRACE(name);
        const StarFit2D f = fit_star_2d(tokens, 2, orientation);
        expect_same(f.theta, theta, 1e-15);
        expect_same(f.A, A, 1e-12);
        expect_same(f.B, B, 1e-12);
        EXPECT_EQ(f.xstar.size(), kEllipsePoints);
    }
}

// A long cloud along a direction (azimuth from F2 towards F1, elevation towards duration): at each step
// along it four tokens a little off it, one on each side across, so that nothing across correlates.
Matrix cloud_along(double azimuth, double elevation) {
    const double ca = std::cos(azimuth), sa = std::sin(azimuth), ce = std::cos(elevation), se = std::sin(elevation);
    const std::array<double, 3> along = {ca * ce, sa * ce, se}, side = {-sa, ca, 0}, up = {-ca * se, -sa * se, ce};
    Matrix m(0, 3);
    for (int k = -20; k <= 20; ++k)
        for (const auto& [w, l] : {std::pair{0.05, 0.0}, {-0.05, 0.0}, {0.0, 0.05}, {0.0, -0.05}}) {
            m.rows += 1;
            for (std::size_t c = 0; c < 3; ++c)
                m.values.push_back((c == 1 ? 2 : 1) + k / 10.0 * along[c] + w * side[c] + l * up[c]);
        }
    return m;
}

// The direction in which an outline reaches farthest from its centre.
double farthest_angle(const Matrix& outline, const std::vector<double>& avg, std::size_t a, std::size_t b) {
    double best = -1, angle = 0;
    for (std::size_t k = 0; k < outline.rows; ++k) {
        const double x = outline(k, a) - avg[a], y = outline(k, b) - avg[b];
        if (x * x + y * y > best && x >= 0)
            best = x * x + y * y, angle = std::atan2(y, x);
    }
    return angle;
}

// Along the line, the long axis of the fit, of its outline and of the overlap's inclusion test lies
// along the cloud: within a degree of +30 degrees in F2 x F1, and in 3D of +30 degrees about the
// duration axis and +20 degrees up towards duration. Mirrored, the A axis lies at -30 degrees, across
// which the cloud spreads most, so the long axis of the ellipse lies at 60 degrees.
TEST(GeometryOrientation, TheLongAxisFollowsATiltedCloud) {
    const double deg = kPi / 180, azimuth = 30 * deg, elevation = 20 * deg;
    const StarFit2D flat = fit_star_2d(cloud_along(azimuth, 0), 2, kLine);
    EXPECT_NEAR(flat.theta, azimuth, deg);
    EXPECT_GT(flat.A, 5 * flat.B);
    EXPECT_NEAR(farthest_angle(ellipse_of(flat), flat.avg, 0, 1), azimuth, deg);
    const StarFit2D mirrored = fit_star_2d(cloud_along(azimuth, 0), 2, kMirrored);
    EXPECT_NEAR(mirrored.theta, -azimuth, deg);
    EXPECT_NEAR(farthest_angle(ellipse_of(mirrored), mirrored.avg, 0, 1), kPi / 2 - azimuth, deg);

    const DubstarFit3D f = fit_dubstar_3d(cloud_along(azimuth, elevation), 2, kLine);
    EXPECT_NEAR(f.theta, azimuth, deg);
    EXPECT_NEAR(f.phi, elevation, deg);
    EXPECT_GT(f.A, 5 * std::max(f.B, f.C));
    // The A-C run of the outline (points 102 .. 203) reaches farthest along the cloud.
    const Matrix e = ellipsoid_of(f);
    double best = 0;
    std::array<double, 3> tip{};
    for (std::size_t k = 101; k < 203; ++k) {
        const std::array<double, 3> d = {e(k, 0) - f.avg[0], e(k, 1) - f.avg[1], e(k, 2) - f.avg[2]};
        if (const double r = std::hypot(d[0], d[1], d[2]); r > best && d[0] > 0)
            best = r, tip = d;
    }
    EXPECT_NEAR(std::atan2(tip[1], tip[0]), azimuth, deg);
    EXPECT_NEAR(std::atan2(tip[2], std::hypot(tip[0], tip[1])), elevation, deg);
}

// Tokens differing in F1 only. The collapsed ellipse is drawn as its remaining axis: it stays at the centre
// except at the quarter turns along that axis. The collapsed ellipsoid reaches the ends of that axis too.
TEST(GeometryDegenerate, TokensOnOneAxisCollapseTheOutlinesOntoIt) {
    const Matrix tokens = rows({{0.2, -0.1, 0.05}, {0.2, 0.0, 0.05}, {0.2, 0.2, 0.05}});
    const StarFit2D plane = fit_star_2d(tokens, 2, kLine);
    const Matrix e2 = ellipse_of(plane);
    for (std::size_t k = 1; k <= kEllipsePoints; ++k) {
        SCOPED_TRACE(k);
        const double reach = k == 25 ? kVerticalB : k == 75 ? -kVerticalB : 0;
        EXPECT_DOUBLE_EQ(e2(k - 1, 0), 0.2);
        EXPECT_NEAR(e2(k - 1, 1), plane.avg[1] + reach, 1e-15);
    }

    const DubstarFit3D f = fit_dubstar_3d(tokens, 2, kLine);
    EXPECT_EQ((std::vector{f.A, f.C}), (std::vector{0.0, 0.0}));
    EXPECT_NEAR(f.B, kVerticalB, 1e-12);
    const std::vector<double> f1 = matrix_column(ellipsoid_of(f), 1);
    EXPECT_NEAR(*std::max_element(f1.begin(), f1.end()), f.avg[1] + kVerticalB, 1e-15);
}

} // namespace
} // namespace tarvik::testing
