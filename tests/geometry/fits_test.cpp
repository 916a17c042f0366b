// The star and double-star fits of one group: the building blocks against hand derivations, the two
// nine-token groups against their known results, the shape of the outlines, and degenerate groups.
#include "geometry/fits.h"
#include "support/geometry_samples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <tuple>

namespace tarvik::testing {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPi = std::numbers::pi;
const double kDiag = std::sqrt(0.5);
const double kRoot2 = std::sqrt(2.0);
// F1 values -0.1, 0, 0.2: mean 1/30, squared deviations (16 + 1 + 25) / 900, sample variance 21 / 900.
const double kVerticalB = 2 * std::sqrt(21.0) / 30;

// NaN matches NaN, infinities match exactly, numbers within an absolute tolerance.
void expect_same(double actual, double expected, double tol = kRounding) {
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << actual;
    else if (std::isinf(expected))
        EXPECT_EQ(actual, expected);
    else
        EXPECT_NEAR(actual, expected, tol);
}

void expect_all_rel(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        expect_rel(actual[k], expected[k]);
}

// Rows given by their 1-based number and values.
void expect_rows_rel(const Matrix& m, const std::vector<std::pair<std::size_t, std::vector<double>>>& want) {
    for (const auto& [row, values] : want) {
        SCOPED_TRACE(::testing::Message() << "row " << row);
        ASSERT_LE(row, m.rows);
        ASSERT_EQ(m.cols, values.size());
        for (std::size_t c = 0; c < values.size(); ++c)
            expect_rel(m(row - 1, c), values[c]);
    }
}

Matrix ellipse_of(const StarFit2D& f) {
    return ellipse_in_data(f.theta, f.xstar, f.ystar, f.avg);
}
Matrix ellipsoid_of(const DubstarFit3D& f) {
    return ellipsoid_in_data(f.theta, f.phi, f.xdubstar, f.ydubstar, f.zdubstar, f.avg);
}

// R v, summed from the first column on.
std::vector<double> times(const Matrix& r, const std::vector<double>& v) {
    std::vector<double> out(r.rows, 0.0);
    for (std::size_t i = 0; i < r.rows; ++i)
        for (std::size_t j = 0; j < r.cols; ++j)
            out[i] += r(i, j) * v[j];
    return out;
}

// --- mean, spread and line ----------------------------------------------------------------------

TEST(GeometryBlocks, MeanAndSampleDeviation) {
    // 1 .. 4: squared deviations 2.25 + 0.25 + 0.25 + 2.25 = 5 over N - 1 = 3. 0.1 three times sums to
    // 0.30000000000000004: the mean is off by an ulp, the spread is still 0.
    const double four = std::sqrt(5.0 / 3.0);
    const std::tuple<std::vector<double>, double, double> cases[] = {
        {{1, 2, 3, 4}, 2.5, four},  {{5}, 5, 0},
        {{0.1, 0.1, 0.1}, 0.1, 0},  {{}, kNaN, kNaN},
        {{1, kNaN, 3}, kNaN, kNaN}, {{1, kInf}, kInf, kNaN},
        {{kNaN}, kNaN, kNaN}};
    for (const auto& [values, mean, deviation] : cases) {
        SCOPED_TRACE(::testing::PrintToString(values));
        expect_same(mean_value(values), mean);
        expect_same(sample_deviation(values), deviation);
    }
}

TEST(GeometryBlocks, SlopeAndStarAngle) {
    // Scattered: x mean 1.5, y mean 2.75: Sxy = 2.625 - 0.125 - 0.375 + 3.375 = 5.5, Sxx = 5. All x equal:
    // no line, but no spread along x either, so the axes stay as they are.
    const std::tuple<std::vector<double>, std::vector<double>, double, double> cases[] = {
        {{0, 1, 2}, {1, 3, 5}, 2, -std::atan(2.0)},
        {{0, 1, 2, 3}, {1, 3, 2, 5}, 1.1, -std::atan(1.1)},
        {{0, 1, 2}, {2, 1, 0}, -1, kPi / 4},
        {{0, 1, 2}, {4, 4, 4}, 0, 0},
        {{3, 3, 3}, {0, 1, 5}, kNaN, 0},
        {{3}, {1}, kNaN, 0},
        {{}, {}, kNaN, kNaN},
        {{0, 1, 2}, {1, kNaN, 2}, kNaN, kNaN},
        {{0, kNaN, 2}, {1, 2, 3}, kNaN, kNaN}};
    for (const auto& [x, y, slope, angle] : cases) {
        SCOPED_TRACE(::testing::PrintToString(x) + " " + ::testing::PrintToString(y));
        expect_same(least_squares_slope(x, y), slope);
        expect_same(star_angle(x, y), angle);
    }
}

// --- rotations, directions and radii ------------------------------------------------------------

TEST(GeometryRotation, TurnsFromTheFirstAxisTowardsTheSecond) {
    const double a = 0.3, c = std::cos(a), s = std::sin(a);
    // R(a) (1, 0) = (cos a, sin a).
    EXPECT_EQ(rotation_2d(a), rows({{c, -s}, {s, c}}));
    EXPECT_EQ(rotation_xy(a), rows({{c, -s, 0}, {s, c, 0}, {0, 0, 1}}));
    EXPECT_EQ(rotation_xz(a), rows({{c, 0, -s}, {0, 1, 0}, {s, 0, c}}));
}

TEST(GeometryRotation, QuarterTurnsAreExact) {
    const double c7 = std::cos(2 * kPi * 7 / 100), s7 = std::sin(2 * kPi * 7 / 100);
    const std::tuple<long long, long long, double, double> turns[] = {
        {25, 100, 0, 1},  {50, 100, -1, 0}, {75, 100, 0, -1}, {100, 100, 1, 0},
        {125, 100, 0, 1}, {0, 100, 1, 0},   {1, 4, 0, 1},     {7, 100, c7, s7}};
    for (const auto& [k, perTurn, c, s] : turns) {
        const Direction d = turn_direction(k, perTurn);
        EXPECT_EQ(d.c, c) << k << " / " << perTurn;
        EXPECT_EQ(d.s, s) << k << " / " << perTurn;
    }
}

TEST(GeometryRadius, EllipseRadiusAlongADirection) {
    // Diagonal: 0.5 / 4 + 0.5 / 1 = 0.625. A collapsed ellipse is the segment along B: only the exact B
    // direction reaches out.
    const std::tuple<double, double, Direction, double> cases[] = {
        {2, 1, {1, 0}, 2},     {2, 1, {0, -1}, 1},     {2, 1, {kDiag, kDiag}, std::sqrt(1 / 0.625)},
        {3, 3, {0.6, 0.8}, 3}, {0, 1.5, {0, 1}, 1.5},  {0, 1.5, {kDiag, kDiag}, 0},
        {0, 0, {1, 0}, 0},     {kNaN, 1, {0, 1}, kNaN}};
    for (const auto& [A, B, d, radius] : cases) {
        SCOPED_TRACE(::testing::Message() << "A " << A << ", B " << B << ", (" << d.c << ", " << d.s << ")");
        expect_same(ellipse_radius(A, B, d), radius);
    }
}

TEST(GeometryRadius, EllipsoidReachesEachSemiAxis) {
    const Direction none{1, 0};
    const Direction quarter{0, 1};
    EXPECT_DOUBLE_EQ(ellipsoid_radius(3, 2, 1, none, none), 3);
    EXPECT_DOUBLE_EQ(ellipsoid_radius(3, 2, 1, quarter, none), 2);
    EXPECT_DOUBLE_EQ(ellipsoid_radius(3, 2, 1, none, quarter), 1);
    // A flat ellipsoid (C = 0) keeps its A-B outline and has no height.
    EXPECT_DOUBLE_EQ(ellipsoid_radius(3, 2, 0, quarter, none), 2);
    EXPECT_EQ(ellipsoid_radius(3, 2, 0, none, {kDiag, kDiag}), 0);
    EXPECT_EQ(ellipsoid_radius(0, 0, 0, {kDiag, kDiag}, {kDiag, kDiag}), 0);
}

// --- the nine-token groups ----------------------------------------------------------------------

TEST(GeometryWorked, DoubleStarFitOfTheFirstGroup) {
    const DubstarFit3D f = fit_dubstar_3d(first_group(), 2);
    expect_all_rel(f.avg, {-0.217133333333333, -0.103722222222222, 0.0815111111111111});
    expect_rel(f.theta, 0.0233400032620084);
    expect_rows_rel(f.rottheta, {{1, {0.999727634488591, 0.0233378842195547, 0}},
                                 {2, {-0.0233378842195547, 0.999727634488591, 0}},
                                 {3, {0, 0, 1}}});
    expect_rel(f.phi, -0.0118129141768652);
    expect_rows_rel(f.rotphi, {{1, {0.999930228340688, 0, -0.0118126394400461}},
                               {2, {0, 1, 0}},
                               {3, {0.0118126394400461, 0, 0.999930228340688}}});
    expect_all_rel({f.A, f.B, f.C}, {0.240157288139504, 0.0436408454023837, 0.032337529099586});
    ASSERT_EQ(f.dubstar.rows, 9u);
    expect_rows_rel(f.dubstar, {{1, {-0.0396147790187682, -0.0108488338432678, -0.0269809487177188}}});

    ASSERT_EQ(f.xdubstar.size(), kEllipsoidPoints);
    expect_rel(f.xdubstar[0], 0.22694051915262);
    expect_rel(f.ydubstar[0], 0.0142778872488576);
    for (std::size_t k = 0; k < 101; ++k)
        EXPECT_EQ(f.zdubstar[k], 0) << "point " << k + 1;
    expect_rel(f.zdubstar[101], 0.0136888841710971);

    const Matrix e = ellipsoid_of(f);
    ASSERT_EQ(e.rows, kEllipsoidPoints);
    expect_rows_rel(e, {{1, {0.00939632966526771, -0.0841522817491634, 0.0788303445840243}},
                        {102, {0.000532470211514036, -0.0986409789451125, 0.0926288628314105}},
                        {204, {-0.218115858635223, -0.0602489247705338, 0.0842467259611009}}});
}

TEST(GeometryWorked, DoubleStarFitOfTheSecondGroup) {
    const DubstarFit3D f = fit_dubstar_3d(second_group(), 2);
    expect_all_rel({f.theta, f.phi, f.A, f.B, f.C},
                   {-0.608548460575071, -0.00344924916716169, 0.0329128897723833, 0.0680113131699475,
                    0.0239219952474529});
    EXPECT_LT(f.A, f.B); // the star axes are not sorted by length
}

TEST(GeometryWorked, StarFitOfTheSameTokens) {
    const StarFit2D f = fit_star_2d(plane_of(first_group()), 2);
    expect_all_rel(f.avg, {-0.217133333333333, -0.103722222222222});
    expect_all_rel({f.theta, f.B}, {0.0233400032620084, 0.0436408454023837});
    expect_rows_rel(f.rottheta, {{1, {0.999727634488591, 0.0233378842195547}},
                                 {2, {-0.0233378842195547, 0.999727634488591}}});
}

class BothGroups : public ::testing::TestWithParam<int> {
  protected:
    const Matrix tokens = GetParam() == 1 ? first_group() : second_group();
    const StarFit2D plane = fit_star_2d(tokens, 2); // the third column is not looked at
    const DubstarFit3D space = fit_dubstar_3d(tokens, 2);
};

// The second rotation turns about the star F1 axis, so it keeps that axis' coordinates bit for bit.
TEST_P(BothGroups, PlaneFitIsTheFirstStageOfTheSpaceFit) {
    EXPECT_EQ(space.theta, plane.theta);
    EXPECT_EQ(space.B, plane.B);
    EXPECT_EQ(space.avg[0], plane.avg[0]);
    EXPECT_EQ(space.avg[1], plane.avg[1]);
    for (std::size_t k = 0; k < 9; ++k)
        EXPECT_EQ(space.dubstar(k, 1), plane.star(k, 1)) << "token " << k + 1;
}

// Every outline point lies on the ellipse (ellipsoid) of the fitted semi-axes, and the data-frame
// outline turns back onto the star-frame one.
TEST_P(BothGroups, OutlinesLieOnTheFittedShapes) {
    const auto sq = [](double x) { return x * x; };
    const Matrix e2 = ellipse_of(plane);
    ASSERT_EQ(plane.xstar.size(), kEllipsePoints);
    ASSERT_EQ(plane.ystar.size(), kEllipsePoints);
    ASSERT_EQ(e2.rows, kEllipsePoints);
    for (std::size_t k = 0; k < kEllipsePoints; ++k) {
        SCOPED_TRACE(::testing::Message() << "point " << k + 1);
        EXPECT_NEAR(sq(plane.xstar[k] / plane.A) + sq(plane.ystar[k] / plane.B), 1, 1e-12);
        const auto star = times(plane.rottheta, {e2(k, 0) - plane.avg[0], e2(k, 1) - plane.avg[1]});
        EXPECT_NEAR(star[0], plane.xstar[k], 1e-15);
        EXPECT_NEAR(star[1], plane.ystar[k], 1e-15);
    }
    const Matrix e3 = ellipsoid_of(space);
    for (std::size_t k = 0; k < kEllipsoidPoints; ++k) {
        SCOPED_TRACE(::testing::Message() << "point " << k + 1);
        const std::vector<double> dub = {space.xdubstar[k], space.ydubstar[k], space.zdubstar[k]};
        EXPECT_NEAR(sq(dub[0] / space.A) + sq(dub[1] / space.B) + sq(dub[2] / space.C), 1, 1e-12);
        // rotphi . rottheta . (row - avg) gives the double-star point back.
        const auto back =
            times(space.rotphi, times(space.rottheta, {e3(k, 0) - space.avg[0], e3(k, 1) - space.avg[1],
                                                       e3(k, 2) - space.avg[2]}));
        for (std::size_t r = 0; r < 3; ++r)
            EXPECT_NEAR(back[r], dub[r], 1e-15) << "coordinate " << r + 1;
    }
}

// The 2D outline closes on itself; of the three 3D runs the first closes and the other two overlap by
// one point, and each run lies in one coordinate plane of the double-star frame.
TEST_P(BothGroups, OutlineRunsCloseAndStayInTheirPlanes) {
    const Matrix e = ellipse_of(plane);
    EXPECT_NEAR(e(100, 0), e(0, 0), kRounding);
    EXPECT_NEAR(e(100, 1), e(0, 1), kRounding);

    const DubstarFit3D& f = space;
    for (const auto& [a, b] : {std::pair{101, 1}, {203, 103}, {305, 205}}) {
        EXPECT_NEAR(f.xdubstar[a - 1], f.xdubstar[b - 1], kRounding) << a << " vs " << b;
        EXPECT_NEAR(f.ydubstar[a - 1], f.ydubstar[b - 1], kRounding) << a << " vs " << b;
        EXPECT_NEAR(f.zdubstar[a - 1], f.zdubstar[b - 1], kRounding) << a << " vs " << b;
    }
    for (std::size_t k = 1; k <= 101; ++k)
        EXPECT_EQ(f.zdubstar[k - 1], 0) << k;
    for (std::size_t k = 102; k <= 203; ++k)
        EXPECT_EQ(f.ydubstar[k - 1], 0) << k;
    for (std::size_t k = 204; k <= 305; ++k)
        EXPECT_NEAR(f.xdubstar[k - 1], 0, kRounding) << k;
    // Each run starts one step past its first axis' end: the A-C run at (A cos, 0, C sin) of 2 pi / 100.
    EXPECT_GT(f.xdubstar[101], 0);
    EXPECT_GT(f.zdubstar[101], 0);
    EXPECT_GT(f.ydubstar[203], 0);
    EXPECT_GT(f.zdubstar[203], 0);
}

// Moving every token k times as far from the centre multiplies the semi-axes by k and keeps the angle.
TEST_P(BothGroups, ScalingTheSpreadScalesTheSemiAxes) {
    const double factor = 3;
    Matrix scaledTokens = plane_of(tokens);
    for (std::size_t r = 0; r < scaledTokens.rows; ++r)
        for (std::size_t c = 0; c < 2; ++c)
            scaledTokens(r, c) = plane.avg[c] + factor * (scaledTokens(r, c) - plane.avg[c]);
    const StarFit2D scaled = fit_star_2d(scaledTokens, 2);
    expect_all_rel({scaled.theta, scaled.A, scaled.B}, {plane.theta, factor * plane.A, factor * plane.B});
    expect_all_rel(scaled.avg, plane.avg);
}

INSTANTIATE_TEST_SUITE_P(Geometry, BothGroups, ::testing::Values(1, 2),
                         [](const auto& info) { return "group" + std::to_string(info.param); });

// --- direction of the star frame and degenerate groups ------------------------------------------

struct PlaneCase {
    std::string name;
    Matrix tokens;
    double theta, A, B;
};

class PlaneFit : public ::testing::TestWithParam<PlaneCase> {};

TEST_P(PlaneFit, AngleAndSemiAxes) {
    const PlaneCase& c = GetParam();
    const StarFit2D f = fit_star_2d(c.tokens, 2);
    expect_same(f.theta, c.theta);
    expect_same(f.A, c.A, 1e-12);
    expect_same(f.B, c.B, 1e-12);
    EXPECT_EQ(f.star.rows, c.tokens.rows);
    EXPECT_EQ(f.star.cols, 2u);
    EXPECT_EQ(f.xstar.size(), kEllipsePoints);
    EXPECT_EQ(f.ystar.size(), kEllipsePoints);
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, PlaneFit,
    ::testing::Values(
        // Slope 1: theta = -pi/4, and R(pi/4) turns the offsets (t, t) into (0, sqrt2 t): t = -1, 0, 1
        // give star F1 spread sqrt2, so B = 2 sqrt2, and nothing is left along A.
        PlaneCase{"rising", rows({{0, 0}, {1, 1}, {2, 2}}), -kPi / 4, 0, 2 * kRoot2},
        PlaneCase{"falling", rows({{0, 2}, {1, 1}, {2, 0}}), kPi / 4, 0, 2 * kRoot2},
        // Slope 4/3 (angle a): R(a) turns the offsets +-(1.5, 2) (length 2.5) to the angle 2a, where
        // cos 2a = -7/25 and sin 2a = 24/25: star rows +-(-0.7, 2.4), spreads 0.7 sqrt2 and 2.4 sqrt2.
        PlaneCase{"twoTokens", rows({{0, 0}, {3, 4}}), -std::atan(4.0 / 3.0), 1.4 * kRoot2, 4.8 * kRoot2},
        // F2 offsets -1, 0, 2: sample variance 7/3 (as for F1 of the vertical case, times 100).
        PlaneCase{"horizontal", rows({{-1, 0.5}, {0, 0.5}, {2, 0.5}}), 0, 2 * std::sqrt(7.0 / 3.0), 0},
        PlaneCase{"vertical", rows({{0.2, -0.1}, {0.2, 0.0}, {0.2, 0.2}}), 0, 0, kVerticalB},
        PlaneCase{"oneToken", rows({{0.5, -0.2}}), 0, 0, 0},
        PlaneCase{"identical", rows({{0.1, 0.3}, {0.1, 0.3}, {0.1, 0.3}}), 0, 0, 0},
        PlaneCase{"missingF1", rows({{0.1, 0.3}, {0.2, kNaN}, {0.4, 0.1}}), kNaN, kNaN, kNaN},
        PlaneCase{"missingF2", rows({{0.1, 0.3}, {kNaN, 0.2}, {0.4, 0.1}}), kNaN, kNaN, kNaN},
        PlaneCase{"noTokens", Matrix(0, 2), kNaN, kNaN, kNaN}),
    [](const auto& info) { return info.param.name; });

TEST(GeometryDegenerate, OneTokenIsItsOwnOutline) {
    const Matrix token = rows({{0.5, -0.2, 0.07}});
    const StarFit2D plane = fit_star_2d(token, 2);
    EXPECT_EQ(plane.star, rows({{0, 0}}));
    const DubstarFit3D space = fit_dubstar_3d(token, 2);
    EXPECT_EQ((std::vector{space.theta, space.phi, space.A, space.B, space.C}), std::vector<double>(5, 0.0));
    const Matrix e2 = ellipse_of(plane), e3 = ellipsoid_of(space);
    ASSERT_EQ(e2.rows, kEllipsePoints);
    ASSERT_EQ(e3.rows, kEllipsoidPoints);
    for (std::size_t k = 0; k < kEllipsoidPoints; ++k)
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(e3(k, c), token(0, c)) << k + 1;
            if (k < kEllipsePoints && c < 2) {
                EXPECT_EQ(e2(k, c), token(0, c)) << k + 1;
            }
        }
}

// Tokens of one duration lie in a plane: the ellipsoid is flat (C about 0) and its A-B run is the
// ellipse of the plane fit.
TEST(GeometryDegenerate, FlatTokensKeepTheirEllipse) {
    Matrix tokens = second_group();
    for (std::size_t r = 0; r < tokens.rows; ++r)
        tokens(r, 2) = 0.5;
    const DubstarFit3D space = fit_dubstar_3d(tokens, 2);
    const StarFit2D plane = fit_star_2d(tokens, 2);
    EXPECT_NEAR(space.C, 0, kRounding);
    expect_rel(space.A, plane.A);
    const Matrix e3 = ellipsoid_of(space), e2 = ellipse_of(plane);
    for (std::size_t k = 0; k < kEllipsePoints; ++k) {
        EXPECT_NEAR(e3(k, 0), e2(k, 0), 1e-12) << k + 1;
        EXPECT_NEAR(e3(k, 1), e2(k, 1), 1e-12) << k + 1;
        EXPECT_NEAR(e3(k, 2), 0.5, 1e-12) << k + 1;
    }
}

// Tokens differing in F1 only. The collapsed ellipse is drawn as its remaining axis: it stays at the centre
// except at the quarter turns along that axis. Every point of the ellipsoid lies on the segment.
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
    EXPECT_EQ(f.A, 0);
    EXPECT_NEAR(f.B, kVerticalB, 1e-12);
    EXPECT_EQ(f.C, 0);
    const Matrix e3 = ellipsoid_of(f);
    double lowest = 1, highest = -1;
    for (std::size_t k = 0; k < kEllipsoidPoints; ++k) {
        EXPECT_DOUBLE_EQ(e3(k, 0), 0.2) << k + 1;
        EXPECT_DOUBLE_EQ(e3(k, 2), 0.05) << k + 1;
        lowest = std::min(lowest, e3(k, 1));
        highest = std::max(highest, e3(k, 1));
    }
    EXPECT_NEAR(lowest, f.avg[1] - kVerticalB, 1e-15);
    EXPECT_NEAR(highest, f.avg[1] + kVerticalB, 1e-15);
}

TEST(GeometryDegenerate, MissingValuesReachTheWholeFitButNothingElse) {
    const DubstarFit3D f = fit_dubstar_3d(rows({{0.1, 0.3, 0.05}, {0.2, 0.2, kNaN}, {0.4, 0.1, 0.06}}), 2);
    EXPECT_FALSE(std::isnan(f.avg[0]));
    EXPECT_FALSE(std::isnan(f.theta)); // F2 and F1 are whole
    EXPECT_TRUE(std::isnan(f.avg[2]));
    EXPECT_TRUE(std::isnan(f.phi));
    EXPECT_TRUE(std::isnan(f.A) && std::isnan(f.B) && std::isnan(f.C));
    for (double v : ellipsoid_of(f).values)
        EXPECT_TRUE(std::isnan(v));
}

TEST(GeometryDegenerate, NoTokensGiveAnUndefinedFitOfFullLength) {
    const DubstarFit3D f = fit_dubstar_3d(Matrix(), 2);
    EXPECT_EQ(f.dubstar.rows, 0u);
    EXPECT_TRUE(std::isnan(f.theta) && std::isnan(f.phi) && std::isnan(f.A));
    EXPECT_EQ(f.xdubstar.size(), kEllipsoidPoints);
    EXPECT_EQ(ellipsoid_of(f).rows, kEllipsoidPoints);
}

TEST(GeometryDegenerate, TooFewColumnsOrMismatchedListsAreRefused) {
    EXPECT_THROW(fit_star_2d(rows({{1}, {2}}), 2), std::out_of_range);
    EXPECT_THROW(fit_dubstar_3d(rows({{1, 2}, {2, 3}}), 2), std::out_of_range);
    EXPECT_THROW(ellipse_in_data(0, {1, 2}, {1}, {0, 0}), std::invalid_argument);
    EXPECT_THROW(ellipsoid_in_data(0, 0, {1}, {1}, {1}, {0, 0}), std::invalid_argument);
    EXPECT_THROW(least_squares_slope({1, 2}, {1}), std::invalid_argument);
}

} // namespace
} // namespace tarvik::testing
