#pragma once

#include "core/grid_bounds.h"
#include "core/matrix.h"

#include <array>
#include <functional>
#include <limits>
#include <vector>

// The grid estimate of how much two fitted shapes overlap: ellipses in the F2 x F1 plane and ellipsoids
// in F2 x F1 x duration. A regular grid is laid over the box of both outlines, every grid point is
// tested against each shape, and the shares of the inside points that lie inside both are counted.
//
// The inclusion test is the radius test: the point is inside when the shape's radius in the point's
// direction minus the point's distance from the centre is >= 0. Its result is kept exactly:
// - the centre (in 3D: every point of the third principal axis) has no direction and counts as outside;
// - IEEE arithmetic throughout, and a NaN difference counts as outside, so a shape with a missing
//   (NaN) parameter contains no point, and a zero semi-axis leaves only the points with no component
//   across it (0/0 is NaN here, unlike the outline, which takes the limit);
// - points exactly on the outline count as inside.
// The grid walk decides most points with the equivalent quadratic form and falls back to the radius
// test itself near the outline, on the axis and for degenerate shapes, so rounding never changes a count.
namespace tarvik {

inline constexpr double kNoShare = std::numeric_limits<double>::quiet_NaN();

// Grid steps along F2 (m), F1 (n) and duration (s); each axis has steps + 1 points, both ends included.
struct GridResolution {
    int m = 20;
    int n = 20;
    int s = 20;
};

// A fitted ellipse as the overlap needs it.
struct Ellipse2D {
    std::array<double, 2> avg{}; // centre (F2, F1)
    double theta = 0;            // angle of the A axis from F2 towards F1 (radians)
    double A = 0;                // semi-axis along theta
    double B = 0;                // semi-axis across it
    Matrix outline;              // outline points, rows (F2, F1): they set the grid box
};

// A fitted ellipsoid as the overlap needs it. An offset o from the centre reaches the double-star frame
// as Rxz(-phi) Rxy(-theta) o (see geometry/fits.h for the rotations).
struct Ellipsoid3D {
    std::array<double, 3> avg{}; // centre (F2, F1, duration)
    double theta = 0;            // first angle, about the duration axis
    double phi = 0;              // second angle, about the F1 axis
    double A = 0, B = 0, C = 0;  // semi-axes along the double-star axes
    Matrix outline;              // outline points, rows (F2, F1, duration): they set the grid box
};

// The grid box: smallest and largest outline value per axis (missing values ignored; NaN when an axis
// has no value at all) and the step (max - min) / steps. 2D uses the first two axes.
struct GridBox {
    std::array<double, 3> min{};
    std::array<double, 3> max{};
    std::array<double, 3> step{};
};

// Counts and shares of one pair. A share of a shape without inside points is 0/0 = NaN.
struct OverlapShares {
    long long E1sum = 0;
    long long E2sum = 0;
    long long Ebothsum = 0;
    double E1ovfrac = kNoShare; // Ebothsum / E1sum
    double E2ovfrac = kNoShare; // Ebothsum / E2sum
    double value = kNoShare;    // the larger share; NaN when either shape holds no point
};

struct PointList2D {
    std::vector<double> x, y;
};

struct PointList3D {
    std::vector<double> x, y, z;
};

// One pair's result: lists in grid-walk order (F2 outermost, then F1, then duration).
struct GridOverlap2D {
    GridBox box;
    OverlapShares shares;
    PointList2D inside1, inside2, both;
};

struct GridOverlap3D {
    GridBox box;
    OverlapShares shares;
    PointList3D inside1, inside2, both;
};

// A pair's counts and shares with the grid they were counted on, and no lists.
struct GridCounts {
    GridBox box;
    OverlapShares shares;
};

// Called at the start of each F2 column of the walk with its 1-based number i = 1 .. m + 1.
using GridColumnHook = std::function<void(int column)>;

// Number of points of the grid: (m + 1)(n + 1), times (s + 1) with duration.
long long grid_points(GridResolution resolution, bool withDuration);

// The overlap of two ellipses on an (m + 1) x (n + 1) grid. Throws std::invalid_argument when a
// resolution is below 1, the grid is beyond its bounds or an outline with rows has fewer than two columns.
GridOverlap2D grid_overlap_2d(const Ellipse2D& first, const Ellipse2D& second, GridResolution resolution,
                              const GridColumnHook& onColumn = {});

// The overlap of two ellipsoids on an (m + 1) x (n + 1) x (s + 1) grid. Throws std::invalid_argument when
// a resolution is below 1, the grid is beyond its bounds or an outline with rows has fewer than three
// columns.
GridOverlap3D grid_overlap_3d(const Ellipsoid3D& first, const Ellipsoid3D& second, GridResolution resolution,
                              const GridColumnHook& onColumn = {});

// The counts of grid_overlap_2d and grid_overlap_3d alone, from the same walk (and with the same checks),
// without keeping a point: what a run over many pairs needs.
GridCounts grid_counts_2d(const Ellipse2D& first, const Ellipse2D& second, GridResolution resolution,
                          const GridColumnHook& onColumn = {});
GridCounts grid_counts_3d(const Ellipsoid3D& first, const Ellipsoid3D& second, GridResolution resolution,
                          const GridColumnHook& onColumn = {});

// The points inside one shape on the grid of an earlier pair (its box's minimum and step, and its
// resolution), in walk order: the same list as that pair's inside list of the shape. Throws
// std::invalid_argument for a resolution grid_overlap_2d / grid_overlap_3d refuses.
PointList2D grid_inside_2d(const Ellipse2D& shape, const GridBox& box, GridResolution resolution);
PointList3D grid_inside_3d(const Ellipsoid3D& shape, const GridBox& box, GridResolution resolution);

// The radius test at one point: the shape's radius in the point's direction minus the point's distance
// from the centre, NaN where the direction is undefined. The point is inside when this is >= 0.
double ellipse_margin(const Ellipse2D& e, double x, double y);
double ellipsoid_margin(const Ellipsoid3D& e, double x, double y, double z);

// The shares from the counts, with the larger-of-two rule; NaN when either shape holds no grid point.
OverlapShares overlap_shares(long long E1sum, long long E2sum, long long Ebothsum);

} // namespace tarvik
