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
    const DubstarFit3D f = fit_dubstar_3d(first_group(), 2);
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
    const StarFit2D p = fit_star_2d(first_group(), 2);
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
        const StarFit2D plane = fit_star_2d(tokens, 2);
        const DubstarFit3D f = fit_dubstar_3d(tokens, 2);
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
    const std::tuple<std::string, Matrix, double, double, double> cases[] = {
        // Slope 1 (a rising line gives a negative angle): theta = -pi/4, and R(pi/4) turns the offsets
        // (t, t) into (0, sqrt2 t): t = -1, 0, 1 give star F1 spread sqrt2, so B = 2 sqrt2, and nothing
        // is left along A.
        {"rising", rows({{0, 0}, {1, 1}, {2, 2}}), -kPi / 4, 0, 2 * kRoot2},
        // Slope 4/3 (angle a): R(a) turns the offsets +-(1.5, 2) (length 2.5) to the angle 2a, where
        // cos 2a = -7/25 and sin 2a = 24/25: star rows +-(-0.7, 2.4), spreads 0.7 sqrt2 and 2.4 sqrt2.
        {"twoTokens", rows({{0, 0}, {3, 4}}), -std::atan(4.0 / 3.0), 1.4 * kRoot2, 4.8 * kRoot2},
        // All F2 equal: no line, but no spread along F2 either, so the axes stay as they are.
        {"vertical", rows({{0.2, -0.1}, {0.2, 0.0}, {0.2, 0.2}}), 0, 0, kVerticalB},
        {"oneToken", rows({{0.5, -0.2}}), 0, 0, 0},
        // 0.1 three times sums to 0.30000000000000004: the mean is off by an ulp, the spread is still 0.
        {"identical", rows({{0.1, 0.3}, {0.1, 0.3}, {0.1, 0.3}}), 0, 0, 0},
        {"noTokens", Matrix(0, 2), kNaN, kNaN, kNaN}};
    for (const auto& [name, tokens, theta, A, B] : cases) {
        SCOPED_TRACE(name);
        const StarFit2D f = fit_star_2d(tokens, 2);
        expect_same(f.theta, theta);
        expect_same(f.A, A, 1e-12);
        expect_same(f.B, B, 1e-12);
        EXPECT_EQ(f.xstar.size(), kEllipsePoints);
    }
}

// Tokens differing in F1 only. The collapsed ellipse is drawn as its remaining axis: it stays at the centre
// except at the quarter turns along that axis. The collapsed ellipsoid reaches the ends of that axis too.
TEST(GeometryDegenerate, TokensOnOneAxisCollapseTheOutlinesOntoIt) {
    const Matrix tokens = rows({{0.2, -0.1, 0.05}, {0.2, 0.0, 0.05}, {0.2, 0.2, 0.05}});
    const StarFit2D plane = fit_star_2d(tokens, 2);
    const Matrix e2 = ellipse_of(plane);
    for (std::size_t k = 1; k <= kEllipsePoints; ++k) {
        SCOPED_TRACE(k);
        const double reach = k == 25 ? kVerticalB : k == 75 ? -kVerticalB : 0;
        EXPECT_DOUBLE_EQ(e2(k - 1, 0), 0.2);
        EXPECT_NEAR(e2(k - 1, 1), plane.avg[1] + reach, 1e-15);
    }

    const DubstarFit3D f = fit_dubstar_3d(tokens, 2);
    EXPECT_EQ((std::vector{f.A, f.C}), (std::vector{0.0, 0.0}));
    EXPECT_NEAR(f.B, kVerticalB, 1e-12);
    const std::vector<double> f1 = matrix_column(ellipsoid_of(f), 1);
    EXPECT_NEAR(*std::max_element(f1.begin(), f1.end()), f.avg[1] + kVerticalB, 1e-15);
}

} // namespace
} // namespace tarvik::testing
