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
#include <string>
#include <vector>

namespace tarvik::testing {
namespace {

constexpr double kPi = std::numbers::pi;
// The radius-test examples are printed with four (2D) and six (3D) decimals.
constexpr double kPrinted4 = 5e-5;
constexpr double kPrinted6 = 5e-7;

void expect_point(const PointList2D& list, std::size_t k, double x, double y) {
    ASSERT_LT(k, list.x.size());
    expect_rel(list.x[k], x);
    expect_rel(list.y[k], y);
}

void expect_point(const PointList3D& list, std::size_t k, double x, double y, double z) {
    ASSERT_LT(k, list.x.size());
    expect_rel(list.x[k], x);
    expect_rel(list.y[k], y);
    expect_rel(list.z[k], z);
}

void expect_share(double actual, double expected) {
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << actual;
    else
        EXPECT_DOUBLE_EQ(actual, expected);
}

// Every list of the result holds as many points as its count, in x, y (and z) alike.
void expect_lists_match_counts(const GridOverlap3D& r) {
    EXPECT_EQ(r.inside1.x.size(), static_cast<std::size_t>(r.shares.E1sum));
    EXPECT_EQ(r.inside2.x.size(), static_cast<std::size_t>(r.shares.E2sum));
    EXPECT_EQ(r.both.x.size(), static_cast<std::size_t>(r.shares.Ebothsum));
    for (const PointList3D* l : {&r.inside1, &r.inside2, &r.both}) {
        EXPECT_EQ(l->y.size(), l->x.size());
        EXPECT_EQ(l->z.size(), l->x.size());
    }
}

// --- the radius test at one point ----------------------------------------------------------------

TEST(OverlapRadiusTest, EllipseWorkedExample) {
    // Offsets (100, 80): dist = sqrt(16400) = 128.0625; psi = atan(0.8); cos^2 = 0.609756,
    // sin^2 = 0.390244; 0.609756 / 40000 + 0.390244 / 10000 = 5.42683e-5, rad = 135.7460.
    const Ellipse2D e{{1500, 500}, 0, 200, 100, {}};
    EXPECT_NEAR(ellipse_margin(e, 1600, 580), 7.6835, kPrinted4);
}

TEST(OverlapRadiusTest, EllipsoidWorkedExample) {
    // d = (0.3, 0.4, 0.1): dist = sqrt(0.26) = 0.509902; cos^2 t = 0.36, sin^2 t = 0.64,
    // cos^2 f = 0.961538, sin^2 f = 0.038462; sum 0.346154 + 2.461538 + 0.961538 = 3.769231,
    // rad = 0.515079.
    const Ellipsoid3D e{{0, 0, 0}, 0, 0, 1, 0.5, 0.2, {}};
    EXPECT_NEAR(ellipsoid_margin(e, 0.3, 0.4, 0.1), 0.005177, kPrinted6);
}

TEST(OverlapRadiusTest, TurnedShapesMeasureInTheirOwnFrame) {
    // The same offsets as above, turned out of the shape's frame by R(theta) (Rxy(theta) Rxz(phi)):
    // the margin must not change.
    const double theta = 0.5;
    const Ellipse2D e{{1500, 500}, theta, 200, 100, {}};
    const double x = 1500 + std::cos(theta) * 100 - std::sin(theta) * 80;
    const double y = 500 + std::sin(theta) * 100 + std::cos(theta) * 80;
    EXPECT_NEAR(ellipse_margin(e, x, y), ellipse_margin({{0, 0}, 0, 200, 100, {}}, 100, 80), 1e-9);

    const double t = 0.4, f = -0.3;
    const Matrix back = rotation_xy(t);
    const Matrix tilt = rotation_xz(f);
    const std::vector<double> d = {0.3, 0.4, 0.1};
    std::vector<double> tilted(3, 0.0), p(3, 0.0);
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            tilted[r] += tilt(r, c) * d[c];
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            p[r] += back(r, c) * tilted[c];
    const Ellipsoid3D turned{{1, 2, 3}, t, f, 1, 0.5, 0.2, {}};
    EXPECT_NEAR(ellipsoid_margin(turned, 1 + p[0], 2 + p[1], 3 + p[2]),
                ellipsoid_margin({{0, 0, 0}, 0, 0, 1, 0.5, 0.2, {}}, 0.3, 0.4, 0.1), 1e-12);
}

TEST(OverlapRadiusTest, NoDirectionNoInside) {
    // The centre, and in 3D every point of the third axis, has no direction: NaN, never inside.
    EXPECT_TRUE(std::isnan(ellipse_margin({{1, 2}, 0.3, 2, 1, {}}, 1, 2)));
    const Ellipsoid3D e{{0, 0, 0}, 0, 0, 1, 1, 1, {}};
    EXPECT_TRUE(std::isnan(ellipsoid_margin(e, 0, 0, 0)));
    EXPECT_TRUE(std::isnan(ellipsoid_margin(e, 0, 0, 0.5)));
    // On the outline the margin is exactly 0: inside.
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

    EXPECT_EQ(r.shares.E1sum, 152);
    EXPECT_EQ(r.shares.E2sum, 36);
    EXPECT_EQ(r.shares.Ebothsum, 9);
    expect_point(r.inside1, 0, -0.43326099800139, -0.121517677454024);
    expect_point(r.both, 0, -0.241147518296451, -0.0865951124615884);
    EXPECT_DOUBLE_EQ(r.shares.E1ovfrac, 9.0 / 152.0);
    EXPECT_DOUBLE_EQ(r.shares.E2ovfrac, 0.25);
    EXPECT_DOUBLE_EQ(r.shares.value, 0.25);
    EXPECT_EQ(r.inside1.x.size(), 152u);
    EXPECT_EQ(r.inside2.y.size(), 36u);
    EXPECT_EQ(r.both.y.size(), 9u);
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

    EXPECT_EQ(r.shares.E1sum, 2056);
    EXPECT_EQ(r.shares.E2sum, 338);
    EXPECT_EQ(r.shares.Ebothsum, 45);
    expect_lists_match_counts(r);
    expect_point(r.inside1, 0, -0.433200946704727, -0.12151752426637, 0.0750192318081875);
    // The next inside point of group 1 is one duration step further along the same line.
    EXPECT_EQ(r.inside1.x[1], r.inside1.x[0]);
    EXPECT_EQ(r.inside1.y[1], r.inside1.y[0]);
    expect_rel(r.inside1.z[1] - r.inside1.z[0], r.box.step[2], 1e-9);
    expect_point(r.both, 0, -0.241140845930155, -0.0865950323413015, 0.0847570507625729);
    EXPECT_DOUBLE_EQ(r.shares.E1ovfrac, 45.0 / 2056.0);
    EXPECT_DOUBLE_EQ(r.shares.E2ovfrac, 45.0 / 338.0);
    EXPECT_DOUBLE_EQ(r.shares.value, 45.0 / 338.0);
    expect_rel(r.shares.value, 0.133136094674556);
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
    const GridOverlap2D r =
        grid_overlap_2d(ellipse({0, 0}, 0, 1, 1, -2, 2), ellipse({0, 0}, 0, 1, 1, -2, 2), kWholeGrid);
    EXPECT_EQ(r.shares.E1sum, 4);
    EXPECT_EQ(r.inside1.x, (std::vector<double>{-1, 0, 0, 1})); // F2 outer, F1 inner
    EXPECT_EQ(r.inside1.y, (std::vector<double>{0, -1, 1, 0}));
    EXPECT_DOUBLE_EQ(r.shares.value, 1);
}

TEST(GridOverlapCounts, EllipseAxesAndTurnedEllipse) {
    // A = 2, B = 1: (+-1, 0), (+-2, 0), (0, +-1); (+-1, +-1) gives 1/4 + 1 > 1.
    const GridOverlap2D flat =
        grid_overlap_2d(ellipse({0, 0}, 0, 2, 1, -2, 2), ellipse({0, 0}, 0, 2, 1, -2, 2), kWholeGrid);
    EXPECT_EQ(flat.inside1.x, (std::vector<double>{-2, -1, 0, 0, 1, 2}));
    EXPECT_EQ(flat.inside1.y, (std::vector<double>{0, 0, -1, 1, 0, 0}));
    // Turned a quarter: the long axis lies along F1.
    const GridOverlap2D upright =
        grid_overlap_2d(ellipse({0, 0}, kPi / 2, 2, 1, -2, 2), ellipse({0, 0}, 0, 2, 1, -2, 2), kWholeGrid);
    EXPECT_EQ(upright.inside1.x, (std::vector<double>{-1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(upright.inside1.y, (std::vector<double>{0, -2, -1, 1, 2, 0}));
    // Both hold the four points at distance 1: 4 of 6 each.
    EXPECT_EQ(upright.both.x, (std::vector<double>{-1, 0, 0, 1}));
    EXPECT_EQ(upright.both.y, (std::vector<double>{0, -1, 1, 0}));
    EXPECT_DOUBLE_EQ(upright.shares.E1ovfrac, 4.0 / 6.0);
    EXPECT_DOUBLE_EQ(upright.shares.value, 4.0 / 6.0);
}

TEST(GridOverlapCounts, SphereThirdAxisCountsAsOutside) {
    // Unit sphere: (+-1, 0, 0) and (0, +-1, 0) count; (0, 0, +-1) lie on the third axis (no azimuth).
    const GridOverlap3D r = grid_overlap_3d(ellipsoid({0, 0, 0}, 0, 0, 1, 1, 1, -2, 2),
                                            ellipsoid({0, 0, 0}, 0, 0, 2, 1, 1, -2, 2), kWholeGrid);
    EXPECT_EQ(r.inside1.x, (std::vector<double>{-1, 0, 0, 1}));
    EXPECT_EQ(r.inside1.y, (std::vector<double>{0, -1, 1, 0}));
    EXPECT_EQ(r.inside1.z, (std::vector<double>{0, 0, 0, 0}));
    // A = 2 adds (+-2, 0, 0): six points, and all four of the sphere's are among them.
    EXPECT_EQ(r.shares.E2sum, 6);
    EXPECT_EQ(r.shares.Ebothsum, 4);
    EXPECT_DOUBLE_EQ(r.shares.E1ovfrac, 1);
    EXPECT_DOUBLE_EQ(r.shares.E2ovfrac, 4.0 / 6.0);
    EXPECT_DOUBLE_EQ(r.shares.value, 1);
}

// --- pairs of shapes --------------------------------------------------------------------------------

TEST(GridOverlapPairs, GroupWithItselfGivesOne) {
    const Ellipsoid3D e = fitted_ellipsoid(first_group());
    const GridOverlap3D r = grid_overlap_3d(e, e, {});
    EXPECT_EQ(r.shares.E1sum, r.shares.Ebothsum);
    EXPECT_EQ(r.shares.E2sum, r.shares.Ebothsum);
    EXPECT_GT(r.shares.Ebothsum, 0);
    EXPECT_EQ(r.both.z, r.inside1.z);
    EXPECT_DOUBLE_EQ(r.shares.value, 1);

    const Ellipse2D p = fitted_ellipse(plane_of(second_group()));
    EXPECT_DOUBLE_EQ(grid_overlap_2d(p, p, {}).shares.value, 1);
}

TEST(GridOverlapPairs, DisjointShapesGiveZeroAndEmptyBothLists) {
    const Ellipse2D left{{0, 0}, 0, 1, 1, rows({{-1, -1}, {1, 1}})};
    const Ellipse2D right{{5, 0}, 0.3, 1, 0.5, rows({{4, -1}, {6, 1}})};
    const GridOverlap2D r = grid_overlap_2d(left, right, {});
    EXPECT_GT(r.shares.E1sum, 0);
    EXPECT_GT(r.shares.E2sum, 0);
    EXPECT_EQ(r.shares.value, 0);
    EXPECT_TRUE(r.both.x.empty() && r.both.y.empty());

    const Ellipsoid3D near{{0, 0, 0}, 0.2, 0.1, 1, 1, 1, rows({{-1, -1, -1}, {1, 1, 1}})};
    const Ellipsoid3D far{{5, 0, 0}, 0, 0, 1, 1, 1, rows({{4, -1, -1}, {6, 1, 1}})};
    const GridOverlap3D s = grid_overlap_3d(near, far, {});
    EXPECT_EQ(s.shares.value, 0);
    EXPECT_TRUE(s.both.x.empty() && s.both.y.empty() && s.both.z.empty());
}

TEST(GridOverlapPairs, ShapeInsideAnotherGivesOne) {
    // The small sphere lies wholly inside the large one (0.71 + 0.3 < 1.2, the shortest semi-axis): its
    // share is 1, the large one's below 1. It keeps clear of the large one's centre, a grid point that
    // the large one does not count.
    const GridOverlap3D r = grid_overlap_3d(ellipsoid({0, 0, 0}, 0.3, 0.2, 2, 1.5, 1.2, -2, 2),
                                            ellipsoid({0.5, 0.5, 0.1}, 0, 0, 0.3, 0.3, 0.3, -2, 2), {});
    EXPECT_GT(r.shares.E2sum, 0);
    EXPECT_DOUBLE_EQ(r.shares.E2ovfrac, 1);
    EXPECT_LT(r.shares.E1ovfrac, 1);
    EXPECT_DOUBLE_EQ(r.shares.value, 1);
}

// A shape too small for any grid point: radius 0.01 between the points of a 0.1 grid.
class GridOverlapTinyShape : public ::testing::TestWithParam<bool> {};

TEST_P(GridOverlapTinyShape, ItsShareIsNaNTheOtherZero) {
    const bool tinyFirst = GetParam();
    const Ellipse2D big = ellipse({0, 0}, 0, 1, 1, -1, 1);
    const Ellipse2D tiny = ellipse({0.55, 0.55}, 0, 0.01, 0.01, 0.54, 0.56);
    const GridOverlap2D r = tinyFirst ? grid_overlap_2d(tiny, big, {}) : grid_overlap_2d(big, tiny, {});
    const PointList2D& tinyList = tinyFirst ? r.inside1 : r.inside2;
    const double tinyShare = tinyFirst ? r.shares.E1ovfrac : r.shares.E2ovfrac;
    const double bigShare = tinyFirst ? r.shares.E2ovfrac : r.shares.E1ovfrac;
    EXPECT_TRUE(tinyList.x.empty() && tinyList.y.empty());
    EXPECT_TRUE(std::isnan(tinyShare));
    EXPECT_EQ(bigShare, 0);
    EXPECT_EQ(r.shares.value, 0);

    const Ellipsoid3D ball = ellipsoid({0, 0, 0}, 0, 0, 1, 1, 1, -1, 1);
    const Ellipsoid3D grain = ellipsoid({0.55, 0.55, 0.55}, 0, 0, 0.01, 0.01, 0.01, 0.54, 0.56);
    const GridOverlap3D s = tinyFirst ? grid_overlap_3d(grain, ball, {}) : grid_overlap_3d(ball, grain, {});
    EXPECT_TRUE(std::isnan(tinyFirst ? s.shares.E1ovfrac : s.shares.E2ovfrac));
    EXPECT_EQ(tinyFirst ? s.shares.E2ovfrac : s.shares.E1ovfrac, 0);
    EXPECT_EQ(s.shares.value, 0);
}

INSTANTIATE_TEST_SUITE_P(Overlap, GridOverlapTinyShape, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "First" : "Second"; });

TEST(GridOverlapPairs, NeitherShapeHoldsAPointGivesNaN) {
    const GridOverlap2D r = grid_overlap_2d(ellipse({0.55, 0.55}, 0, 0.01, 0.01, -1, 1),
                                            ellipse({-0.55, 0.25}, 0, 0.01, 0.01, -1, 1), {});
    EXPECT_EQ(r.shares.E1sum + r.shares.E2sum, 0);
    EXPECT_TRUE(std::isnan(r.shares.E1ovfrac) && std::isnan(r.shares.E2ovfrac) && std::isnan(r.shares.value));

    const GridOverlap3D s = grid_overlap_3d(ellipsoid({0.55, 0.55, 0.55}, 0, 0, 0.01, 0.01, 0.01, -1, 1),
                                            ellipsoid({0.25, 0.55, 0.55}, 0, 0, 0.01, 0.01, 0.01, -1, 1), {});
    EXPECT_TRUE(std::isnan(s.shares.value));
    EXPECT_TRUE(s.inside1.x.empty() && s.inside2.x.empty() && s.both.x.empty());
}

TEST(GridOverlapPairs, MissingAndZeroSemiAxesHoldNoPoint) {
    const Ellipse2D circle = ellipse({0, 0}, 0, 1, 1, -2, 2);
    // NaN makes every margin NaN; a zero semi-axis gives radius 0 off its line and 0/0 on it.
    for (const Ellipse2D& odd : {ellipse({0, 0}, 0, kNaN, 1, -2, 2), ellipse({0, 0}, 0, 1, 0, -2, 2),
                                 ellipse({0, 0}, kNaN, 1, 1, -2, 2), ellipse({0, kNaN}, 0, 1, 1, -2, 2)}) {
        const GridOverlap2D r = grid_overlap_2d(circle, odd, kWholeGrid);
        EXPECT_EQ(r.shares.E1sum, 4);
        EXPECT_EQ(r.shares.E2sum, 0);
        EXPECT_EQ(r.shares.value, 0);
    }
    const Ellipsoid3D ball = ellipsoid({0, 0, 0}, 0, 0, 1, 1, 1, -2, 2);
    for (const Ellipsoid3D& odd :
         {ellipsoid({0, 0, 0}, 0, 0, 1, 1, 0, -2, 2), ellipsoid({0, 0, 0}, 0, kNaN, 1, 1, 1, -2, 2),
          ellipsoid({0, 0, 0}, 0, 0, 1, kNaN, 1, -2, 2)}) {
        const GridOverlap3D r = grid_overlap_3d(ball, odd, kWholeGrid);
        EXPECT_EQ(r.shares.E1sum, 4);
        EXPECT_EQ(r.shares.E2sum, 0);
    }
}

// --- grid box -----------------------------------------------------------------------------------------

TEST(GridOverlapBox, MissingOutlineValuesAreIgnored) {
    // A group without tokens has an all-NaN outline: the box comes from the other outline alone.
    Ellipse2D lost{{kNaN, kNaN}, kNaN, kNaN, kNaN, rows({{kNaN, kNaN}, {kNaN, kNaN}})};
    Ellipse2D kept = ellipse({0, 0}, 0, 1, 1, -2, 2);
    kept.outline = rows({{-2, kNaN}, {kNaN, -1}, {2, 3}});
    const GridOverlap2D r = grid_overlap_2d(lost, kept, {4, 4, 1});
    EXPECT_EQ(r.box.min[0], -2);
    EXPECT_EQ(r.box.max[0], 2);
    EXPECT_EQ(r.box.min[1], -1);
    EXPECT_EQ(r.box.max[1], 3);
    EXPECT_EQ(r.box.step[1], 1);
    EXPECT_TRUE(std::isnan(r.shares.E1ovfrac));
    EXPECT_DOUBLE_EQ(r.shares.E2ovfrac, 0);

    // No outline value at all: a NaN box, no grid point anywhere.
    Ellipse2D bare = kept;
    bare.outline = Matrix{};
    const GridOverlap2D none = grid_overlap_2d(bare, lost, {});
    EXPECT_TRUE(std::isnan(none.box.min[0]) && std::isnan(none.box.step[1]));
    EXPECT_TRUE(std::isnan(none.shares.value));
}

TEST(GridOverlapBox, RefusesGridsWithoutStepsOrBeyondTheirBoundsAndShortOutlines) {
    const Ellipse2D e = ellipse({0, 0}, 0, 1, 1, -1, 1);
    EXPECT_THROW(grid_overlap_2d(e, e, {0, 20, 20}), std::invalid_argument);
    EXPECT_THROW(grid_overlap_2d(e, e, {1001, 20, 20}), std::invalid_argument);
    EXPECT_EQ(grid_overlap_2d(e, e, {1000, 1000, 0}).shares.E1sum,
              grid_overlap_2d(e, e, {1000, 1000, 0}).shares.Ebothsum);
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

struct ShareCase {
    std::string name;
    long long E1sum, E2sum, Ebothsum;
    double E1ovfrac, E2ovfrac, value;
};

class OverlapSharesTable : public ::testing::TestWithParam<ShareCase> {};

TEST_P(OverlapSharesTable, FractionsAndLargerShare) {
    const ShareCase& c = GetParam();
    const OverlapShares s = overlap_shares(c.E1sum, c.E2sum, c.Ebothsum);
    expect_share(s.E1ovfrac, c.E1ovfrac);
    expect_share(s.E2ovfrac, c.E2ovfrac);
    expect_share(s.value, c.value);
}

INSTANTIATE_TEST_SUITE_P(Overlap, OverlapSharesTable,
                         ::testing::Values(ShareCase{"both", 152, 36, 9, 9.0 / 152, 0.25, 0.25},
                                           ShareCase{"equal", 5, 5, 5, 1, 1, 1},
                                           ShareCase{"firstEmpty", 0, 7, 0, kNaN, 0, 0},
                                           ShareCase{"secondEmpty", 7, 0, 0, 0, kNaN, 0},
                                           ShareCase{"bothEmpty", 0, 0, 0, kNaN, kNaN, kNaN}),
                         [](const auto& info) { return info.param.name; });

TEST(OverlapShares, NumberWinsOverNaN) {
    EXPECT_EQ(larger_share(kNaN, 0.5), 0.5);
    EXPECT_EQ(larger_share(0.5, kNaN), 0.5);
    EXPECT_EQ(larger_share(0.2, 0.7), 0.7);
    EXPECT_TRUE(std::isnan(larger_share(kNaN, kNaN)));
}

// --- the quick walk against the radius test at every point --------------------------------------------

// The grid walk with the radius test applied literally at every point, on the walk's own box.
GridOverlap2D reference_2d(const Ellipse2D& e1, const Ellipse2D& e2, GridResolution res, const GridBox& box) {
    GridOverlap2D out;
    for (int i = 1; i <= res.m + 1; ++i)
        for (int j = 1; j <= res.n + 1; ++j) {
            const double x = box.min[0] + (i - 1) * box.step[0];
            const double y = box.min[1] + (j - 1) * box.step[1];
            const bool in1 = ellipse_margin(e1, x, y) >= 0;
            const bool in2 = ellipse_margin(e2, x, y) >= 0;
            const auto add = [&](bool in, PointList2D& list) {
                if (in) {
                    list.x.push_back(x);
                    list.y.push_back(y);
                }
            };
            add(in1, out.inside1);
            add(in2, out.inside2);
            add(in1 && in2, out.both);
        }
    return out;
}

GridOverlap3D reference_3d(const Ellipsoid3D& e1, const Ellipsoid3D& e2, GridResolution res,
                           const GridBox& box) {
    GridOverlap3D out;
    for (int i = 1; i <= res.m + 1; ++i)
        for (int j = 1; j <= res.n + 1; ++j)
            for (int k = 1; k <= res.s + 1; ++k) {
                const double x = box.min[0] + (i - 1) * box.step[0];
                const double y = box.min[1] + (j - 1) * box.step[1];
                const double z = box.min[2] + (k - 1) * box.step[2];
                const bool in1 = ellipsoid_margin(e1, x, y, z) >= 0;
                const bool in2 = ellipsoid_margin(e2, x, y, z) >= 0;
                const auto add = [&](bool in, PointList3D& list) {
                    if (in) {
                        list.x.push_back(x);
                        list.y.push_back(y);
                        list.z.push_back(z);
                    }
                };
                add(in1, out.inside1);
                add(in2, out.inside2);
                add(in1 && in2, out.both);
            }
    return out;
}

struct PlaneCase {
    std::string name;
    Ellipse2D first, second;
    GridResolution resolution;
};

class GridWalkMatchesRadiusTest2D : public ::testing::TestWithParam<PlaneCase> {};

TEST_P(GridWalkMatchesRadiusTest2D, EveryPoint) {
    const PlaneCase& c = GetParam();
    const GridOverlap2D r = grid_overlap_2d(c.first, c.second, c.resolution);
    const GridOverlap2D ref = reference_2d(c.first, c.second, c.resolution, r.box);
    EXPECT_EQ(r.inside1.x, ref.inside1.x);
    EXPECT_EQ(r.inside1.y, ref.inside1.y);
    EXPECT_EQ(r.inside2.x, ref.inside2.x);
    EXPECT_EQ(r.inside2.y, ref.inside2.y);
    EXPECT_EQ(r.both.x, ref.both.x);
    EXPECT_EQ(r.both.y, ref.both.y);
}

INSTANTIATE_TEST_SUITE_P(
    Overlap, GridWalkMatchesRadiusTest2D,
    ::testing::Values(
        PlaneCase{"groups",
                  fitted_ellipse(plane_of(first_group())),
                  fitted_ellipse(plane_of(second_group())),
                  {20, 20, 1}},
        PlaneCase{"groupsFine",
                  fitted_ellipse(plane_of(first_group())),
                  fitted_ellipse(plane_of(second_group())),
                  {97, 83, 1}},
        // Many grid points lie exactly on these outlines, some turned by angles that do not round exactly.
        PlaneCase{"onOutlines",
                  ellipse({0, 0}, kPi / 4, 1, 1, -2, 2),
                  ellipse({0, 0}, kPi / 2, 2, 1, -2, 2),
                  {8, 8, 1}},
        PlaneCase{"circlesOnGrid",
                  ellipse({0.5, 0}, 0, 1.5, 1.5, -2, 2),
                  ellipse({0, 0}, -kPi, 2, 1, -2, 2),
                  {40, 40, 1}},
        // Long and thin: a narrow band of trust for the quick test; and too thin for it at all.
        PlaneCase{"elongated",
                  ellipse({0.1, 0}, 0.3, 1.9, 0.002, -2, 2),
                  ellipse({0, 0.1}, -1.2, 1.5, 0.3, -2, 2),
                  {200, 200, 1}},
        PlaneCase{"needle",
                  ellipse({0, 0}, 0, 2, 1e-7, -2, 2),
                  ellipse({0, 0}, 1e-3, 2, 2e-7, -2, 2),
                  {40, 40, 1}}),
    [](const auto& info) { return info.param.name; });

struct SpaceCase {
    std::string name;
    Ellipsoid3D first, second;
    GridResolution resolution;
};

class GridWalkMatchesRadiusTest3D : public ::testing::TestWithParam<SpaceCase> {};

TEST_P(GridWalkMatchesRadiusTest3D, EveryPoint) {
    const SpaceCase& c = GetParam();
    const GridOverlap3D r = grid_overlap_3d(c.first, c.second, c.resolution);
    const GridOverlap3D ref = reference_3d(c.first, c.second, c.resolution, r.box);
    const auto same = [](const PointList3D& got, const PointList3D& want) {
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.z, want.z);
    };
    same(r.inside1, ref.inside1);
    same(r.inside2, ref.inside2);
    same(r.both, ref.both);
    expect_lists_match_counts(r);
}

INSTANTIATE_TEST_SUITE_P(
    Overlap, GridWalkMatchesRadiusTest3D,
    ::testing::Values(
        SpaceCase{"groups", fitted_ellipsoid(first_group()), fitted_ellipsoid(second_group()), {20, 20, 20}},
        SpaceCase{
            "groupsFine", fitted_ellipsoid(first_group()), fitted_ellipsoid(second_group()), {29, 31, 27}},
        SpaceCase{"onSurfaces",
                  ellipsoid({0, 0, 0}, kPi / 2, 0, 1, 1, 1, -2, 2),
                  ellipsoid({0, 0, 0}, kPi / 4, kPi / 2, 2, 1, 1, -2, 2),
                  {8, 8, 8}},
        SpaceCase{"turnedOnGrid",
                  ellipsoid({0.5, 0, 0}, 0, kPi / 3, 1.5, 1.5, 1, -2, 2),
                  ellipsoid({0, 0, 0.5}, -kPi, 0, 2, 1, 0.5, -2, 2),
                  {24, 24, 24}},
        SpaceCase{"elongated",
                  ellipsoid({0, 0, 0}, 0.3, -0.2, 1.9, 0.4, 0.003, -2, 2),
                  ellipsoid({0, 0.1, 0}, 1.1, 0.7, 1.5, 0.3, 0.2, -2, 2),
                  {32, 32, 32}},
        SpaceCase{"needle",
                  ellipsoid({0, 0, 0}, 0, 0, 2, 1e-7, 1e-7, -2, 2),
                  ellipsoid({0, 0, 0}, 0, 1e-3, 2, 1, 1e-8, -2, 2),
                  {16, 16, 16}}),
    [](const auto& info) { return info.param.name; });

// Shapes of every size, turn and elongation (semi-axes 1e-4 .. 3, some unit spheres about a grid point,
// some turned by whole radians) from a fixed seed.
class ShapeDraw {
  public:
    double uniform(double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(rng_()) / 4294967296.0;
    }
    double semi_axis() { return std::pow(10.0, uniform(-4, 0.5)); }
    Ellipse2D ellipse2d(int k) {
        const double theta = k % 5 == 0 ? std::round(uniform(-3, 3)) : uniform(-3.2, 3.2);
        return ellipse({uniform(-0.5, 0.5), uniform(-0.5, 0.5)}, theta, semi_axis(), semi_axis(), -2, 2);
    }
    Ellipsoid3D ellipsoid3d(int k) {
        if (k % 3 == 0)
            return ellipsoid({0, 0, 0}, uniform(-3.2, 3.2), 0, 1, 1, 1, -2, 2);
        return ellipsoid({uniform(-0.5, 0.5), uniform(-0.5, 0.5), uniform(-0.5, 0.5)}, uniform(-3.2, 3.2),
                         uniform(-3.2, 3.2), semi_axis(), semi_axis(), semi_axis(), -2, 2);
    }

  private:
    std::mt19937 rng_{20260105};
};

TEST(GridWalkMatchesRadiusTest, DrawnShapes) {
    ShapeDraw draw;
    const GridResolution res{8, 8, 8};
    for (int k = 0; k < 100; ++k) {
        SCOPED_TRACE(k);
        const Ellipse2D a = draw.ellipse2d(k), b = draw.ellipse2d(k + 1);
        const GridOverlap2D r = grid_overlap_2d(a, b, res);
        const GridOverlap2D ref = reference_2d(a, b, res, r.box);
        EXPECT_EQ(r.inside1.y, ref.inside1.y);
        EXPECT_EQ(r.inside2.x, ref.inside2.x);
        EXPECT_EQ(r.both.x, ref.both.x);

        const Ellipsoid3D c = draw.ellipsoid3d(k), d = draw.ellipsoid3d(k + 1);
        const GridOverlap3D s = grid_overlap_3d(c, d, res);
        const GridOverlap3D sref = reference_3d(c, d, res, s.box);
        EXPECT_EQ(s.inside1.z, sref.inside1.z);
        EXPECT_EQ(s.inside2.x, sref.inside2.x);
        EXPECT_EQ(s.both.y, sref.both.y);
    }
}

} // namespace
} // namespace tarvik::testing
