// The grid overlap of two shapes: the radius test at single points, the two nine-token groups against
// their known results, hand-counted small grids, degenerate shapes, the grid's bounds, and the quick grid
// walk against the radius test applied to every grid point.
#include "overlap/grid_overlap.h"

#include "geometry/fits.h"
#include "support/geometry_samples.h"

#include <gtest/gtest.h>

#include <numbers>
#include <random>
#include <type_traits>

namespace tarvik::testing {
namespace {

constexpr double kPi = std::numbers::pi;

// The fitted ellipse of the F2 x F1 columns, with its 101-point outline, as the fits compute them. The
// worked results are those of the mirrored axes.
Ellipse2D fitted_ellipse(const Matrix& points, FitOrientation orientation = FitOrientation::Mirrored) {
    const StarFit2D f = fit_star_2d(points, 2, orientation);
    return {{f.avg[0], f.avg[1]}, f.theta, f.A, f.B, ellipse_in_data(f.theta, f.xstar, f.ystar, f.avg)};
}

// The fitted ellipsoid with its 305-point outline.
Ellipsoid3D fitted_ellipsoid(const Matrix& points) {
    const DubstarFit3D f = fit_dubstar_3d(points, 2, FitOrientation::Mirrored);
    const Matrix outline = ellipsoid_in_data(f.theta, f.phi, f.xdubstar, f.ydubstar, f.zdubstar, f.avg);
    return {{f.avg[0], f.avg[1], f.avg[2]}, f.theta, f.phi, f.A, f.B, f.C, outline};
}

// Shapes whose grid box is set by hand: the outline is just the two corners of the box (by default
// [-2, 2] on every axis).
Ellipse2D ellipse(std::array<double, 2> avg, double theta, double A, double B, double lo = -2,
                  double hi = 2) {
    return {avg, theta, A, B, rows({{lo, lo}, {hi, hi}})};
}

Ellipsoid3D ellipsoid(std::array<double, 3> avg, double theta, double phi, double A, double B, double C,
                      double lo = -2, double hi = 2) {
    return {avg, theta, phi, A, B, C, rows({{lo, lo, lo}, {hi, hi, hi}})};
}

// The points of a list as (x, y, z) triples, z = 0 in the plane.
template <class List> std::vector<std::array<double, 3>> triples(const List& l) {
    std::vector<std::array<double, 3>> out;
    for (std::size_t k = 0; k < l.x.size(); ++k) {
        if constexpr (requires { l.z; })
            out.push_back({l.x[k], l.y[k], l.z[k]});
        else
            out.push_back({l.x[k], l.y[k], 0});
    }
    return out;
}

// The first entries of a point or of a box's corner or step, to the precision of the worked numbers.
void expect_axes(const std::array<double, 3>& got, const std::vector<double>& want) {
    for (std::size_t a = 0; a < want.size(); ++a)
        expect_rel(got[a], want[a]);
}

// All three counts and all three shares of a result; a NaN share stands for "no share".
void expect_shares(const OverlapShares& s, long long E1sum, long long E2sum, long long Ebothsum,
                   double E1ovfrac, double E2ovfrac, double value) {
    EXPECT_EQ(s.E1sum, E1sum);
    EXPECT_EQ(s.E2sum, E2sum);
    EXPECT_EQ(s.Ebothsum, Ebothsum);
    expect_same(s.E1ovfrac, E1ovfrac);
    expect_same(s.E2ovfrac, E2ovfrac);
    expect_same(s.value, value);
}

// --- the radius test at one point and the two nine-token groups ----------------------------------------

TEST(OverlapRadiusTest, WorkedExamples) {
    // Offsets (100, 80): dist = sqrt(16400) = 128.0625; psi = atan(0.8); cos^2 = 0.609756,
    // sin^2 = 0.390244; 0.609756 / 40000 + 0.390244 / 10000 = 5.42683e-5, rad = 135.7460.
    EXPECT_NEAR(ellipse_margin({{1500, 500}, 0, 200, 100, {}}, 1600, 580), 7.6835, 5e-5);
    // d = (0.3, 0.4, 0.1): dist = sqrt(0.26) = 0.509902; cos^2 t = 0.36, sin^2 t = 0.64,
    // cos^2 f = 0.961538, sin^2 f = 0.038462; sum 0.346154 + 2.461538 + 0.961538 = 3.769231,
    // rad = 0.515079.
    EXPECT_NEAR(ellipsoid_margin({{0, 0, 0}, 0, 0, 1, 0.5, 0.2, {}}, 0.3, 0.4, 0.1), 0.005177, 5e-7);
}

TEST(GridOverlapWorked, EllipsesOfTheTwoGroups) {
    const GridOverlap2D r =
        grid_overlap_2d(fitted_ellipse(first_group()), fitted_ellipse(second_group()), {});
    expect_axes(r.box.min, {-0.457275182964507, -0.14770960119835});
    expect_axes(r.box.max, {0.0230085162978408, 0.0269032237638259});
    expect_axes(r.box.step, {0.0240141849631174, 0.00873064124810879});

    expect_shares(r.shares, 152, 36, 9, 0.0592105263157895, 0.25, 0.25);
    expect_axes(triples(r.inside1).at(0), {-0.43326099800139, -0.121517677454024});
    expect_axes(triples(r.both).at(0), {-0.241147518296451, -0.0865951124615884});
}

TEST(GridOverlapWorked, EllipsoidsOfTheTwoGroups) {
    const GridOverlap3D r =
        grid_overlap_3d(fitted_ellipsoid(first_group()), fitted_ellipsoid(second_group()), {});
    expect_axes(r.box.min, {-0.457208459301549, -0.147709393210171, 0.0490517145964932});
    expect_axes(r.box.max, {0.0229417926348824, 0.0269030664151706, 0.113970507625729});
    expect_axes(r.box.step, {0.0240075125968216, 0.00873062298126708, 0.00324593965146179});

    expect_shares(r.shares, 2056, 338, 45, 0.0218871595330739, 0.133136094674556, 0.133136094674556);
    const auto inside1 = triples(r.inside1);
    expect_axes(inside1.at(0), {-0.433200946704727, -0.12151752426637, 0.0750192318081875});
    // The next inside point of group 1 is one duration step further along the same line.
    expect_axes(inside1.at(1), {inside1[0][0], inside1[0][1], inside1[0][2] + r.box.step[2]});
    expect_axes(triples(r.both).at(0), {-0.241140845930155, -0.0865950323413015, 0.0847570507625729});
}

// The inclusion test uses the fit's own angle: a point far along a cloud rising at 30 degrees is inside
// the ellipse fitted along the line, one as far at -30 or 60 degrees is not; the mirrored ellipse lies
// along 60 degrees instead.
TEST(GridOverlapOrientation, InclusionFollowsTheFittedAxes) {
    const double a = std::numbers::pi / 6;
    Matrix tokens(0, 2);
    for (int k = -10; k <= 10; ++k) {
        const double t = k / 5.0, across = k % 2 == 0 ? 0.05 : -0.05;
        tokens.rows += 1;
        tokens.values.insert(tokens.values.end(),
                             {t * std::cos(a) - across * std::sin(a), t * std::sin(a) + across * std::cos(a)});
    }
    const Ellipse2D line = fitted_ellipse(tokens, FitOrientation::Line);
    const Ellipse2D mirrored = fitted_ellipse(tokens, FitOrientation::Mirrored);
    const auto along = [&](const Ellipse2D& e, double angle) {
        return ellipse_margin(e, e.avg[0] + 1.5 * std::cos(angle), e.avg[1] + 1.5 * std::sin(angle));
    };
    EXPECT_GT(along(line, a), 0);
    EXPECT_LT(along(line, -a), 0);
    EXPECT_LT(along(line, 2 * a), 0);
    EXPECT_GT(along(mirrored, 2 * a), 0);
    EXPECT_LT(along(mirrored, -a), 0);
}

// --- hand-counted small grids ----------------------------------------------------------------------

// Box [-2, 2] with 4 steps: the grid points are the whole numbers -2 .. 2 on every axis.
constexpr GridResolution kWholeGrid{4, 4, 4};

// 20 steps give 21 points per axis, both ends included: a shape larger than the box holds all of them.
TEST(GridOverlapCounts, DefaultGridHas21PointsPerAxis) {
    const Ellipse2D disc = ellipse({0.05, 0.05}, 0, 100, 100);
    const GridOverlap2D plane = grid_overlap_2d(disc, disc, {});
    expect_shares(plane.shares, 441, 441, 441, 1, 1, 1);
    const Ellipsoid3D ball = ellipsoid({0.05, 0.05, 0.05}, 0, 0, 100, 100, 100);
    expect_shares(grid_overlap_3d(ball, ball, {}).shares, 9261, 9261, 9261, 1, 1, 1);
}

TEST(GridOverlapCounts, EllipseAxesAndTurnedEllipse) {
    // A = 2, B = 1: (+-1, 0), (+-2, 0), (0, +-1), the last four on the outline; (+-1, +-1) gives
    // 1/4 + 1 > 1, and the centre (0, 0) has no direction and counts as outside.
    const Ellipse2D flat = ellipse({0, 0}, 0, 2, 1);
    const GridOverlap2D r = grid_overlap_2d(flat, flat, kWholeGrid);
    EXPECT_EQ(r.inside1.x, (std::vector<double>{-2, -1, 0, 0, 1, 2}));
    EXPECT_EQ(r.inside1.y, (std::vector<double>{0, 0, -1, 1, 0, 0}));
    // Turned a quarter: the long axis lies along F1.
    const GridOverlap2D upright = grid_overlap_2d(ellipse({0, 0}, kPi / 2, 2, 1), flat, kWholeGrid);
    EXPECT_EQ(upright.inside1.x, (std::vector<double>{-1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(upright.inside1.y, (std::vector<double>{0, -2, -1, 1, 2, 0}));
    // Both hold the four points at distance 1: 4 of 6 each.
    EXPECT_EQ(upright.both.x, (std::vector<double>{-1, 0, 0, 1}));
    EXPECT_EQ(upright.both.y, (std::vector<double>{0, -1, 1, 0}));
    expect_shares(upright.shares, 6, 6, 4, 4.0 / 6.0, 4.0 / 6.0, 4.0 / 6.0);
}

TEST(GridOverlapCounts, SphereThirdAxisCountsAsOutside) {
    // Unit sphere: (+-1, 0, 0) and (0, +-1, 0) count; (0, 0, +-1) lie on the third axis (no azimuth).
    const GridOverlap3D r =
        grid_overlap_3d(ellipsoid({0, 0, 0}, 0, 0, 1, 1, 1), ellipsoid({0, 0, 0}, 0, 0, 2, 1, 1), kWholeGrid);
    EXPECT_EQ(r.inside1.x, (std::vector<double>{-1, 0, 0, 1}));
    EXPECT_EQ(r.inside1.y, (std::vector<double>{0, -1, 1, 0}));
    EXPECT_EQ(r.inside1.z, (std::vector<double>{0, 0, 0, 0}));
    // A = 2 adds (+-2, 0, 0): six points, and all four of the sphere's are among them.
    expect_shares(r.shares, 4, 6, 4, 1, 4.0 / 6.0, 1);
}

// --- pairs of shapes --------------------------------------------------------------------------------

TEST(GridOverlapPairs, MissingAndZeroSemiAxesHoldNoPoint) {
    const Ellipse2D circle = ellipse({0, 0}, 0, 1, 1);
    // NaN makes every margin NaN; a zero semi-axis gives radius 0 off its line and 0/0 on it. A group
    // that could not be fitted has an all-NaN outline too: the box comes from the other outline alone.
    // A shape without points leaves the overlap undefined (NaN), never 0 as if the groups lay apart.
    const Ellipse2D lost{{kNaN, kNaN}, kNaN, kNaN, kNaN, rows({{kNaN, kNaN}})};
    for (const Ellipse2D& odd : {ellipse({0, 0}, 0, kNaN, 1), ellipse({0, 0}, 0, 1, 0),
                                 ellipse({0, 0}, kNaN, 1, 1), ellipse({0, kNaN}, 0, 1, 1), lost}) {
        expect_shares(grid_overlap_2d(circle, odd, kWholeGrid).shares, 4, 0, 0, 0, kNaN, kNaN);
        expect_shares(grid_overlap_2d(odd, circle, kWholeGrid).shares, 0, 4, 0, kNaN, 0, kNaN);
    }
    const Ellipsoid3D ball = ellipsoid({0, 0, 0}, 0, 0, 1, 1, 1);
    for (const Ellipsoid3D& odd :
         {ellipsoid({0, 0, 0}, 0, 0, 1, 1, 0), ellipsoid({0, 0, 0}, 0, kNaN, 1, 1, 1),
          ellipsoid({0, 0, 0}, 0, 0, 1, kNaN, 1)}) {
        expect_shares(grid_overlap_3d(ball, odd, kWholeGrid).shares, 4, 0, 0, 0, kNaN, kNaN);
    }
}

// --- grid box and bounds -----------------------------------------------------------------------------

TEST(GridOverlapBox, RefusesGridsBeyondTheirBounds) {
    // At most 1000 intervals along an axis, and at most 10 million points. A shape with a missing
    // semi-axis holds no point, so even the largest grid is walked quickly.
    const Ellipsoid3D b = ellipsoid({0, 0, 0}, 0, 0, kNaN, 1, 1, -1, 1);
    EXPECT_NO_THROW(grid_overlap_3d(b, b, {1000, 1, 1}));
    EXPECT_THROW(grid_overlap_3d(b, b, {1, 1001, 1}), std::invalid_argument);
    EXPECT_NO_THROW(grid_overlap_3d(b, b, {999, 99, 99}));
    EXPECT_THROW(grid_overlap_3d(b, b, {999, 99, 100}), std::invalid_argument);
}

// --- the quick walk against the radius test at every point --------------------------------------------

GridOverlap2D walk(const Ellipse2D& a, const Ellipse2D& b, GridResolution res) {
    return grid_overlap_2d(a, b, res);
}
GridOverlap3D walk(const Ellipsoid3D& a, const Ellipsoid3D& b, GridResolution res) {
    return grid_overlap_3d(a, b, res);
}
bool inside(const Ellipse2D& e, std::array<double, 3> p) {
    return ellipse_margin(e, p[0], p[1]) >= 0;
}
bool inside(const Ellipsoid3D& e, std::array<double, 3> p) {
    return ellipsoid_margin(e, p[0], p[1], p[2]) >= 0;
}

// The quick walk finds exactly the points that the radius test, applied literally at every point of the
// walk's own box, finds. (The points inside both are counted from the same decisions.)
template <class Shape>
void check_walk(const char* name, const Shape& e1, const Shape& e2, GridResolution res) {
    SCOPED_TRACE(name);
    const auto r = walk(e1, e2, res);
    const int depth = std::is_same_v<Shape, Ellipsoid3D> ? res.s : 0;
    std::vector<std::array<double, 3>> in1, in2;
    for (int i = 0; i <= res.m; ++i)
        for (int j = 0; j <= res.n; ++j)
            for (int k = 0; k <= depth; ++k) {
                const std::array<double, 3> p = {r.box.min[0] + i * r.box.step[0],
                                                 r.box.min[1] + j * r.box.step[1],
                                                 depth == 0 ? 0 : r.box.min[2] + k * r.box.step[2]};
                if (inside(e1, p))
                    in1.push_back(p);
                if (inside(e2, p))
                    in2.push_back(p);
            }
    EXPECT_EQ(triples(r.inside1), in1);
    EXPECT_EQ(triples(r.inside2), in2);
    EXPECT_EQ(r.shares.E1sum, static_cast<long long>(in1.size()));
    EXPECT_EQ(r.shares.E2sum, static_cast<long long>(in2.size()));
}

TEST(GridWalkMatchesRadiusTest, ChosenShapes) {
    // Many grid points lie exactly on these outlines, some turned by angles that do not round exactly.
    check_walk("onOutlines", ellipse({0, 0}, kPi / 4, 1, 1), ellipse({0, 0}, kPi / 2, 2, 1), {8, 8, 1});
    check_walk("onSurfaces", ellipsoid({0, 0, 0}, kPi / 2, 0, 1, 1, 1),
               ellipsoid({0, 0, 0}, kPi / 4, kPi / 2, 2, 1, 1), {8, 8, 8});
    // Too thin for the quick test at all.
    check_walk("needle", ellipse({0, 0}, 0, 2, 1e-7), ellipse({0, 0}, 1e-3, 2, 2e-7), {40, 40, 1});
    check_walk("needle", ellipsoid({0, 0, 0}, 0, 0, 2, 1e-7, 1e-7), ellipsoid({0, 0, 0}, 0, 1e-3, 2, 1, 1e-8),
               {16, 16, 16});
}

// Shapes of every size, turn and elongation (semi-axes 1e-4 .. 3) from a fixed seed, in the box [-2, 2]:
// every fifth ellipse is turned by whole radians, every third ellipsoid is a unit sphere about a grid point.
TEST(GridWalkMatchesRadiusTest, DrawnShapes) {
    std::mt19937 rng{20260105};
    const auto uniform = [&](double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(rng()) / 4294967296.0;
    };
    const auto at = [&] { return uniform(-0.5, 0.5); };
    const auto turn = [&] { return uniform(-3.2, 3.2); };
    const auto semi = [&] { return std::pow(10.0, uniform(-4, 0.5)); };
    const auto flat = [&](int j) {
        const double theta = j % 5 == 0 ? std::round(uniform(-3, 3)) : turn();
        return Ellipse2D{{at(), at()}, theta, semi(), semi(), ellipse({0, 0}, 0, 1, 1).outline};
    };
    const auto solid = [&](int j) {
        if (j % 3 == 0)
            return ellipsoid({0, 0, 0}, turn(), 0, 1, 1, 1);
        return Ellipsoid3D{
            {at(), at(), at()}, turn(), turn(), semi(), semi(), semi(), ellipsoid({}, 0, 0, 1, 1, 1).outline};
    };
    for (int k = 0; k < 100; ++k) {
        SCOPED_TRACE(k);
        const Ellipse2D a = flat(k), b = flat(k + 1);
        check_walk("ellipses", a, b, {8, 8, 8});
        const Ellipsoid3D c = solid(k), d = solid(k + 1);
        check_walk("ellipsoids", c, d, {8, 8, 8});
    }
}

} // namespace
} // namespace tarvik::testing
