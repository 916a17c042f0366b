// The grid overlap of two shapes: the radius test at single points, the two nine-token groups against
// their known results, hand-counted small grids, degenerate shapes, and the quick grid walk against the
// radius test applied to every grid point.
#include "overlap/grid_overlap.h"

#include "overlap_samples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <type_traits>
#include <vector>

namespace tarvik::testing {
namespace {

constexpr double kPi = std::numbers::pi;

// The k-th point of a list, to the precision of the worked numbers (z only in 3D).
template <class List> void expect_point(const List& l, std::size_t k, std::array<double, 3> p) {
    ASSERT_LT(k, l.x.size());
    expect_rel(l.x[k], p[0]);
    expect_rel(l.y[k], p[1]);
    if constexpr (requires { l.z; })
        expect_rel(l.z[k], p[2]);
}

template <class List> void expect_same(const List& got, const List& want) {
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    if constexpr (requires { got.z; }) {
        EXPECT_EQ(got.z, want.z);
    }
}

// Every list of the result holds as many points as its count, in x, y (and z) alike.
template <class Result> void expect_lists_match_counts(const Result& r) {
    const auto check = [](const auto& l, long long count) {
        EXPECT_EQ(l.x.size(), static_cast<std::size_t>(count));
        EXPECT_EQ(l.y.size(), l.x.size());
        if constexpr (requires { l.z; }) {
            EXPECT_EQ(l.z.size(), l.x.size());
        }
    };
    check(r.inside1, r.shares.E1sum);
    check(r.inside2, r.shares.E2sum);
    check(r.both, r.shares.Ebothsum);
}

// All three counts and all three shares of a result; a NaN share stands for "no share".
void expect_shares(const OverlapShares& s, long long E1sum, long long E2sum, long long Ebothsum,
                   double E1ovfrac, double E2ovfrac, double value) {
    EXPECT_EQ(s.E1sum, E1sum);
    EXPECT_EQ(s.E2sum, E2sum);
    EXPECT_EQ(s.Ebothsum, Ebothsum);
    for (const auto& [got, want] :
         {std::pair{s.E1ovfrac, E1ovfrac}, {s.E2ovfrac, E2ovfrac}, {s.value, value}}) {
        if (std::isnan(want))
            EXPECT_TRUE(std::isnan(got)) << got;
        else
            EXPECT_DOUBLE_EQ(got, want);
    }
}

// --- the radius test at one point ----------------------------------------------------------------

TEST(OverlapRadiusTest, WorkedExamples) {
    // Offsets (100, 80): dist = sqrt(16400) = 128.0625; psi = atan(0.8); cos^2 = 0.609756,
    // sin^2 = 0.390244; 0.609756 / 40000 + 0.390244 / 10000 = 5.42683e-5, rad = 135.7460.
    EXPECT_NEAR(ellipse_margin({{1500, 500}, 0, 200, 100, {}}, 1600, 580), 7.6835, 5e-5);
    // d = (0.3, 0.4, 0.1): dist = sqrt(0.26) = 0.509902; cos^2 t = 0.36, sin^2 t = 0.64,
    // cos^2 f = 0.961538, sin^2 f = 0.038462; sum 0.346154 + 2.461538 + 0.961538 = 3.769231,
    // rad = 0.515079.
    EXPECT_NEAR(ellipsoid_margin({{0, 0, 0}, 0, 0, 1, 0.5, 0.2, {}}, 0.3, 0.4, 0.1), 0.005177, 5e-7);
}

TEST(OverlapRadiusTest, TurnedShapesMeasureInTheirOwnFrame) {
    // The same offsets as above, turned out of the shape's frame by R(theta) (Rxy(theta) Rxz(phi)):
    // the margin must not change.
    const double theta = 0.5;
    const double x = 1500 + std::cos(theta) * 100 - std::sin(theta) * 80;
    const double y = 500 + std::sin(theta) * 100 + std::cos(theta) * 80;
    EXPECT_NEAR(ellipse_margin({{1500, 500}, theta, 200, 100, {}}, x, y),
                ellipse_margin({{0, 0}, 0, 200, 100, {}}, 100, 80), 1e-9);

    const auto times = [](const Matrix& m, std::array<double, 3> v) {
        std::array<double, 3> out{};
        for (std::size_t r = 0; r < 3; ++r)
            for (std::size_t c = 0; c < 3; ++c)
                out[r] += m(r, c) * v[c];
        return out;
    };
    const double t = 0.4, f = -0.3;
    const auto p = times(rotation_xy(t), times(rotation_xz(f), {0.3, 0.4, 0.1}));
    EXPECT_NEAR(ellipsoid_margin({{1, 2, 3}, t, f, 1, 0.5, 0.2, {}}, 1 + p[0], 2 + p[1], 3 + p[2]),
                ellipsoid_margin({{0, 0, 0}, 0, 0, 1, 0.5, 0.2, {}}, 0.3, 0.4, 0.1), 1e-12);
}

TEST(OverlapRadiusTest, NoDirectionNoInsideAndTheOutlineIsInside) {
    // The centre, and in 3D every point of the third axis, has no direction: NaN, never inside.
    EXPECT_TRUE(std::isnan(ellipse_margin({{1, 2}, 0.3, 2, 1, {}}, 1, 2)));
    const Ellipsoid3D e{{0, 0, 0}, 0, 0, 1, 1, 1, {}};
    EXPECT_TRUE(std::isnan(ellipsoid_margin(e, 0, 0, 0)));
    EXPECT_TRUE(std::isnan(ellipsoid_margin(e, 0, 0, 0.5)));
    EXPECT_EQ(ellipse_margin({{0, 0}, 0, 2, 1, {}}, 2, 0), 0);
    EXPECT_EQ(ellipsoid_margin(e, 0, 1, 0), 0);
}

// --- the two nine-token groups ----------------------------------------------------------------------

TEST(GridOverlapWorked, EllipsesOfTheTwoGroups) {
    const GridOverlap2D r = grid_overlap_2d(fitted_ellipse(plane_of(first_group())),
                                            fitted_ellipse(plane_of(second_group())), {});
    expect_rel(r.box.min[0], -0.457275182964507);
    expect_rel(r.box.max[0], 0.0230085162978408);
    expect_rel(r.box.min[1], -0.14770960119835);
    expect_rel(r.box.max[1], 0.0269032237638259);
    expect_rel(r.box.step[0], 0.0240141849631174);
    expect_rel(r.box.step[1], 0.00873064124810879);

    expect_shares(r.shares, 152, 36, 9, 9.0 / 152.0, 0.25, 0.25);
    expect_lists_match_counts(r);
    expect_point(r.inside1, 0, {-0.43326099800139, -0.121517677454024});
    expect_point(r.both, 0, {-0.241147518296451, -0.0865951124615884});
}

TEST(GridOverlapWorked, EllipsoidsOfTheTwoGroups) {
    const GridOverlap3D r =
        grid_overlap_3d(fitted_ellipsoid(first_group()), fitted_ellipsoid(second_group()), {});
    expect_rel(r.box.min[0], -0.457208459301549);
    expect_rel(r.box.max[0], 0.0229417926348824);
    expect_rel(r.box.min[1], -0.147709393210171);
    expect_rel(r.box.max[1], 0.0269030664151706);
    expect_rel(r.box.min[2], 0.0490517145964932);
    expect_rel(r.box.max[2], 0.113970507625729);
    expect_rel(r.box.step[0], 0.0240075125968216);
    expect_rel(r.box.step[1], 0.00873062298126708);
    expect_rel(r.box.step[2], 0.00324593965146179);

    expect_shares(r.shares, 2056, 338, 45, 45.0 / 2056.0, 45.0 / 338.0, 45.0 / 338.0);
    expect_rel(r.shares.value, 0.133136094674556);
    expect_lists_match_counts(r);
    expect_point(r.inside1, 0, {-0.433200946704727, -0.12151752426637, 0.0750192318081875});
    // The next inside point of group 1 is one duration step further along the same line.
    EXPECT_EQ(r.inside1.x[1], r.inside1.x[0]);
    EXPECT_EQ(r.inside1.y[1], r.inside1.y[0]);
    expect_rel(r.inside1.z[1] - r.inside1.z[0], r.box.step[2], 1e-9);
    expect_point(r.both, 0, {-0.241140845930155, -0.0865950323413015, 0.0847570507625729});
}

TEST(GridOverlapWorked, ColumnHookRunsOncePerF2Column) {
    std::vector<int> columns;
    grid_overlap_3d(fitted_ellipsoid(first_group()), fitted_ellipsoid(second_group()), {3, 5, 7},
                    [&](int i) { columns.push_back(i); });
    EXPECT_EQ(columns, (std::vector<int>{1, 2, 3, 4}));
}

// --- hand-counted small grids ----------------------------------------------------------------------

// Box [-2, 2] with 4 steps: the grid points are the whole numbers -2 .. 2 on every axis.
constexpr GridResolution kWholeGrid{4, 4, 4};

TEST(GridOverlapCounts, CircleCentreOutsideOutlineInside) {
    // Radius 1 about the origin: (+-1, 0) and (0, +-1) lie on the outline and count; (0, 0) does not.
    const Ellipse2D circle = ellipse({0, 0}, 0, 1, 1);
    const GridOverlap2D r = grid_overlap_2d(circle, circle, kWholeGrid);
    expect_shares(r.shares, 4, 4, 4, 1, 1, 1);
    EXPECT_EQ(r.inside1.x, (std::vector<double>{-1, 0, 0, 1})); // F2 outer, F1 inner
    EXPECT_EQ(r.inside1.y, (std::vector<double>{0, -1, 1, 0}));
}

TEST(GridOverlapCounts, EllipseAxesAndTurnedEllipse) {
    // A = 2, B = 1: (+-1, 0), (+-2, 0), (0, +-1); (+-1, +-1) gives 1/4 + 1 > 1.
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

TEST(GridOverlapPairs, ShapeInsideAnotherGivesOne) {
    // The small sphere lies wholly inside the large one (0.71 + 0.3 < 1.2, the shortest semi-axis): its
    // share is 1, the large one's below 1. It keeps clear of the large one's centre, a grid point that
    // the large one does not count.
    const GridOverlap3D r = grid_overlap_3d(ellipsoid({0, 0, 0}, 0.3, 0.2, 2, 1.5, 1.2),
                                            ellipsoid({0.5, 0.5, 0.1}, 0, 0, 0.3, 0.3, 0.3), {});
    EXPECT_GT(r.shares.E2sum, 0);
    EXPECT_DOUBLE_EQ(r.shares.E2ovfrac, 1);
    EXPECT_LT(r.shares.E1ovfrac, 1);
    EXPECT_DOUBLE_EQ(r.shares.value, 1);
}

TEST(GridOverlapPairs, MissingAndZeroSemiAxesHoldNoPoint) {
    const Ellipse2D circle = ellipse({0, 0}, 0, 1, 1);
    // NaN makes every margin NaN; a zero semi-axis gives radius 0 off its line and 0/0 on it.
    for (const Ellipse2D& odd : {ellipse({0, 0}, 0, kNaN, 1), ellipse({0, 0}, 0, 1, 0),
                                 ellipse({0, 0}, kNaN, 1, 1), ellipse({0, kNaN}, 0, 1, 1)}) {
        expect_shares(grid_overlap_2d(circle, odd, kWholeGrid).shares, 4, 0, 0, 0, kNaN, 0);
    }
    const Ellipsoid3D ball = ellipsoid({0, 0, 0}, 0, 0, 1, 1, 1);
    for (const Ellipsoid3D& odd :
         {ellipsoid({0, 0, 0}, 0, 0, 1, 1, 0), ellipsoid({0, 0, 0}, 0, kNaN, 1, 1, 1),
          ellipsoid({0, 0, 0}, 0, 0, 1, kNaN, 1)}) {
        expect_shares(grid_overlap_3d(ball, odd, kWholeGrid).shares, 4, 0, 0, 0, kNaN, 0);
    }
}

// --- grid box -----------------------------------------------------------------------------------------

TEST(GridOverlapBox, MissingOutlineValuesAreIgnored) {
    // A group without tokens has an all-NaN outline: the box comes from the other outline alone.
    const Ellipse2D lost{{kNaN, kNaN}, kNaN, kNaN, kNaN, rows({{kNaN, kNaN}, {kNaN, kNaN}})};
    Ellipse2D kept = ellipse({0, 0}, 0, 1, 1);
    kept.outline = rows({{-2, kNaN}, {kNaN, -1}, {2, 3}});
    const GridOverlap2D r = grid_overlap_2d(lost, kept, {4, 4, 1});
    EXPECT_EQ(r.box.min[0], -2);
    EXPECT_EQ(r.box.max[0], 2);
    EXPECT_EQ(r.box.min[1], -1);
    EXPECT_EQ(r.box.max[1], 3);
    EXPECT_EQ(r.box.step[1], 1);
    expect_shares(r.shares, 0, 4, 0, kNaN, 0, 0);

    // No outline value at all: a NaN box, no grid point anywhere.
    kept.outline = Matrix{};
    const GridOverlap2D none = grid_overlap_2d(kept, lost, {});
    EXPECT_TRUE(std::isnan(none.box.min[0]) && std::isnan(none.box.step[1]));
    EXPECT_TRUE(std::isnan(none.shares.value));
}

TEST(GridOverlapBox, RefusesGridsWithoutStepsOrBeyondTheirBoundsAndShortOutlines) {
    const Ellipse2D e = ellipse({0, 0}, 0, 1, 1, -1, 1);
    EXPECT_THROW(grid_overlap_2d(e, e, {0, 20, 20}), std::invalid_argument);
    EXPECT_THROW(grid_overlap_2d(e, e, {1001, 20, 20}), std::invalid_argument);
    const GridOverlap2D finest = grid_overlap_2d(e, e, {1000, 1000, 0});
    EXPECT_EQ(finest.shares.E1sum, finest.shares.Ebothsum);
    const Ellipsoid3D b = ellipsoid({0, 0, 0}, 0, 0, 1, 1, 1, -1, 1);
    EXPECT_THROW(grid_overlap_3d(b, b, {20, 20, 0}), std::invalid_argument);
    EXPECT_THROW(grid_overlap_3d(b, b, {215, 215, 215}), std::invalid_argument); // 216^3 > 10^7 points
    EXPECT_EQ(grid_points({214, 214, 214}, true), 9'938'375);
    EXPECT_EQ(grid_points({2'000'000'000, 2'000'000'000, 2'000'000'000}, true),
              std::numeric_limits<long long>::max());
    Ellipsoid3D flat = b;
    flat.outline = rows({{0, 0}, {1, 1}});
    EXPECT_THROW(grid_overlap_3d(b, flat, {}), std::invalid_argument);
}

// --- shares -------------------------------------------------------------------------------------------

TEST(OverlapShares, FractionsAndTheLargerShareWhereANumberWinsOverNaN) {
    expect_shares(overlap_shares(152, 36, 9), 152, 36, 9, 9.0 / 152, 0.25, 0.25);
    expect_shares(overlap_shares(36, 152, 9), 36, 152, 9, 0.25, 9.0 / 152, 0.25);
    expect_shares(overlap_shares(5, 5, 5), 5, 5, 5, 1, 1, 1);
    expect_shares(overlap_shares(0, 7, 0), 0, 7, 0, kNaN, 0, 0);
    expect_shares(overlap_shares(7, 0, 0), 7, 0, 0, 0, kNaN, 0);
    expect_shares(overlap_shares(0, 0, 0), 0, 0, 0, kNaN, kNaN, kNaN);
}

// --- the quick walk against the radius test at every point --------------------------------------------

GridOverlap2D walk(const Ellipse2D& a, const Ellipse2D& b, GridResolution res) {
    return grid_overlap_2d(a, b, res);
}
GridOverlap3D walk(const Ellipsoid3D& a, const Ellipsoid3D& b, GridResolution res) {
    return grid_overlap_3d(a, b, res);
}

// The quick walk finds exactly the points that the radius test, applied literally at every point of the
// walk's own box, finds.
template <class Shape>
void check_walk(const char* name, const Shape& e1, const Shape& e2, GridResolution res) {
    SCOPED_TRACE(name);
    constexpr bool is3D = std::is_same_v<Shape, Ellipsoid3D>;
    const auto r = walk(e1, e2, res);
    std::remove_const_t<decltype(r)> ref;
    for (int i = 0; i <= res.m; ++i)
        for (int j = 0; j <= res.n; ++j)
            for (int k = 0; k <= (is3D ? res.s : 0); ++k) {
                const double x = r.box.min[0] + i * r.box.step[0], y = r.box.min[1] + j * r.box.step[1];
                const double z = r.box.min[2] + k * r.box.step[2];
                const auto inside = [&](const Shape& e) {
                    if constexpr (is3D)
                        return ellipsoid_margin(e, x, y, z) >= 0;
                    else
                        return ellipse_margin(e, x, y) >= 0;
                };
                const auto add = [&](bool in, auto& list) {
                    if (!in)
                        return;
                    list.x.push_back(x);
                    list.y.push_back(y);
                    if constexpr (is3D)
                        list.z.push_back(z);
                };
                add(inside(e1), ref.inside1);
                add(inside(e2), ref.inside2);
                add(inside(e1) && inside(e2), ref.both);
            }
    expect_same(r.inside1, ref.inside1);
    expect_same(r.inside2, ref.inside2);
    expect_same(r.both, ref.both);
    expect_lists_match_counts(r);
}

TEST(GridWalkMatchesRadiusTest, Ellipses) {
    const Ellipse2D g1 = fitted_ellipse(plane_of(first_group())),
                    g2 = fitted_ellipse(plane_of(second_group()));
    check_walk("groups", g1, g2, {20, 20, 1});
    check_walk("groupsFine", g1, g2, {97, 83, 1});
    // Many grid points lie exactly on these outlines, some turned by angles that do not round exactly.
    check_walk("onOutlines", ellipse({0, 0}, kPi / 4, 1, 1), ellipse({0, 0}, kPi / 2, 2, 1), {8, 8, 1});
    check_walk("circlesOnGrid", ellipse({0.5, 0}, 0, 1.5, 1.5), ellipse({0, 0}, -kPi, 2, 1), {40, 40, 1});
    // Long and thin: a narrow band of trust for the quick test; and too thin for it at all.
    check_walk("elongated", ellipse({0.1, 0}, 0.3, 1.9, 0.002), ellipse({0, 0.1}, -1.2, 1.5, 0.3),
               {200, 200, 1});
    check_walk("needle", ellipse({0, 0}, 0, 2, 1e-7), ellipse({0, 0}, 1e-3, 2, 2e-7), {40, 40, 1});
}

TEST(GridWalkMatchesRadiusTest, Ellipsoids) {
    const Ellipsoid3D g1 = fitted_ellipsoid(first_group()), g2 = fitted_ellipsoid(second_group());
    check_walk("groups", g1, g2, {20, 20, 20});
    check_walk("groupsFine", g1, g2, {29, 31, 27});
    check_walk("onSurfaces", ellipsoid({0, 0, 0}, kPi / 2, 0, 1, 1, 1),
               ellipsoid({0, 0, 0}, kPi / 4, kPi / 2, 2, 1, 1), {8, 8, 8});
    check_walk("turnedOnGrid", ellipsoid({0.5, 0, 0}, 0, kPi / 3, 1.5, 1.5, 1),
               ellipsoid({0, 0, 0.5}, -kPi, 0, 2, 1, 0.5), {24, 24, 24});
    check_walk("elongated", ellipsoid({0, 0, 0}, 0.3, -0.2, 1.9, 0.4, 0.003),
               ellipsoid({0, 0.1, 0}, 1.1, 0.7, 1.5, 0.3, 0.2), {32, 32, 32});
    check_walk("needle", ellipsoid({0, 0, 0}, 0, 0, 2, 1e-7, 1e-7), ellipsoid({0, 0, 0}, 0, 1e-3, 2, 1, 1e-8),
               {16, 16, 16});
}

TEST(GridWalkMatchesRadiusTest, DrawnShapes) {
    // Shapes of every size, turn and elongation (semi-axes 1e-4 .. 3, some unit spheres about a grid
    // point, some turned by whole radians) from a fixed seed.
    std::mt19937 rng{20260105};
    const auto uniform = [&](double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(rng()) / 4294967296.0;
    };
    const auto semi_axis = [&] { return std::pow(10.0, uniform(-4, 0.5)); };
    const auto ellipse2d = [&](int k) {
        const double theta = k % 5 == 0 ? std::round(uniform(-3, 3)) : uniform(-3.2, 3.2);
        return ellipse({uniform(-0.5, 0.5), uniform(-0.5, 0.5)}, theta, semi_axis(), semi_axis());
    };
    const auto ellipsoid3d = [&](int k) {
        if (k % 3 == 0)
            return ellipsoid({0, 0, 0}, uniform(-3.2, 3.2), 0, 1, 1, 1);
        return ellipsoid({uniform(-0.5, 0.5), uniform(-0.5, 0.5), uniform(-0.5, 0.5)}, uniform(-3.2, 3.2),
                         uniform(-3.2, 3.2), semi_axis(), semi_axis(), semi_axis());
    };
    for (int k = 0; k < 100; ++k) {
        SCOPED_TRACE(k);
        const Ellipse2D a = ellipse2d(k), b = ellipse2d(k + 1);
        check_walk("ellipses", a, b, {8, 8, 8});
        const Ellipsoid3D c = ellipsoid3d(k), d = ellipsoid3d(k + 1);
        check_walk("ellipsoids", c, d, {8, 8, 8});
    }
}

} // namespace
} // namespace tarvik::testing
