#include "overlap/grid_overlap.h"

#include "geometry/fits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvik {

namespace {

// The quadratic form q = u^2/A^2 + w^2/B^2 (+ v^2/C^2) equals (dist / rad)^2 in exact arithmetic. The
// radius test reaches rad through angles, whose rounding moves q by about 1e-15 times the squared ratio
// of the longest to the shortest semi-axis; the quick form decides only outside a band |q - 1| a
// thousand times wider, and leaves the points within it to the radius test.
constexpr double kBandPerSquaredRatio = 1e-12;
// Shapes so elongated that the band grows this wide are measured by the radius test alone.
constexpr double kWidestBand = 0.25;
// In 3D the radius test has no direction on the third axis (d1 = d2 = 0). Rounding leaves the quick
// coordinates of such a point below 1e-29 of its distance, so anything closer than this is re-tested.
constexpr double kAxisShare = 1e-20;
// Rounding of the minimum of the quadratic form along a grid line, relative to its value at t = 0.
constexpr double kLineSlack = 1e-12;
// Room in the reserved lists over the shape's share of the box volume.
constexpr double kReserveSlack = 1.1;
constexpr std::size_t kReserveExtra = 16;

bool has_nan(std::initializer_list<double> values) {
    return std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); });
}

// 1/x^2 usable in the quick form: finite and not so small that its digits are lost.
bool usable_inverse_square(double v) {
    return std::isfinite(v) && v >= std::numeric_limits<double>::min();
}

double band_for(double smallestInverse, double largestInverse) {
    return kBandPerSquaredRatio * (1 + largestInverse / smallestInverse);
}

// An ellipse with everything the walk needs per point worked out once.
struct PreparedEllipse {
    double x0 = 0, y0 = 0, theta = 0, A = 0, B = 0;
    double c = 1, s = 0;   // cos theta, sin theta
    double ia = 0, ib = 0; // 1/A^2, 1/B^2
    double band = 0;
    bool quick = false; // the quadratic form may decide away from the outline
    bool never = false; // a NaN parameter: the radius test fails everywhere
};

PreparedEllipse prepare(const Ellipse2D& e) {
    PreparedEllipse p;
    p.x0 = e.avg[0];
    p.y0 = e.avg[1];
    p.theta = e.theta;
    p.A = e.A;
    p.B = e.B;
    p.c = std::cos(e.theta);
    p.s = std::sin(e.theta);
    p.ia = 1 / (e.A * e.A);
    p.ib = 1 / (e.B * e.B);
    p.never = has_nan({p.x0, p.y0, p.theta, p.A, p.B});
    p.band = band_for(std::min(p.ia, p.ib), std::max(p.ia, p.ib));
    p.quick = !p.never && usable_inverse_square(p.ia) && usable_inverse_square(p.ib) && std::isfinite(p.c) &&
              p.band < kWidestBand;
    return p;
}

double radius_margin(const PreparedEllipse& p, double x, double y) {
    const double dx = x - p.x0;
    const double dy = y - p.y0;
    const double dist = std::sqrt(dx * dx + dy * dy);
    const double psi = std::atan(dy / dx) - p.theta;
    const double c = std::cos(psi);
    const double s = std::sin(psi);
    const double rad = std::sqrt(1 / (c * c / (p.A * p.A) + s * s / (p.B * p.B)));
    return rad - dist;
}

// What the quick test says of a grid point: 0 outside, 1 inside, 2 or more left to the radius test.
// Doubles, because the classifying loops run on vector registers and the compiler vectorizes them
// only when the results have the width of the values compared.
constexpr double kInside = 1;
constexpr double kUnsure = 2;

// Classifies the points of one F2 column (offset dx) whose F1 offsets are dy[0 .. count). The loop has
// no branch, so that it runs on vector registers.
void classify_column(const PreparedEllipse& p, double dx, const double* dy, std::size_t count, double* out) {
    if (p.never || !p.quick) {
        std::fill(out, out + count, p.never ? 0 : kUnsure);
        return;
    }
    const double dxc = dx * p.c, dxs = dx * p.s;
    const double c = p.c, s = p.s, ia = p.ia, ib = p.ib, band = p.band;
    const bool onCentreColumn = dx == 0;
    for (std::size_t j = 0; j < count; ++j) {
        const double u = dxc + dy[j] * s;
        const double w = dy[j] * c - dxs;
        const double q = u * u * ia + w * w * ib;
        const double inside = q < 1 ? kInside : 0;
        const double nearOutline = std::fabs(q - 1) > band ? 0 : kUnsure;
        const double centre = onCentreColumn && dy[j] == 0 ? kUnsure : 0;
        out[j] = inside + nearOutline + centre;
    }
}

inline bool resolve(double cls, const PreparedEllipse& p, double x, double y) {
    return cls >= kUnsure ? radius_margin(p, x, y) >= 0 : cls == kInside;
}

using Rotation = std::array<std::array<double, 3>, 3>;

Rotation to_rotation(const Matrix& m) {
    Rotation r{};
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t j = 0; j < 3; ++j)
            r[i][j] = m(i, j);
    return r;
}

// m v with the products summed left to right, as a matrix-vector product does.
std::array<double, 3> apply(const Rotation& m, const std::array<double, 3>& v) {
    std::array<double, 3> out{};
    for (std::size_t r = 0; r < 3; ++r)
        out[r] = m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2];
    return out;
}

// An ellipsoid with its two rotations, their product and the inverse squares worked out once.
struct PreparedEllipsoid {
    std::array<double, 3> avg{};
    double A = 0, B = 0, C = 0;
    Rotation rottheta{}, rotphi{};
    Rotation both{}; // rotphi rottheta, for the quick form
    double ia = 0, ib = 0, ic = 0;
    double band = 0;
    bool quick = false;
    bool never = false;
};

PreparedEllipsoid prepare(const Ellipsoid3D& e) {
    PreparedEllipsoid p;
    p.avg = e.avg;
    p.A = e.A;
    p.B = e.B;
    p.C = e.C;
    p.rottheta = to_rotation(rotation_xy(-e.theta));
    p.rotphi = to_rotation(rotation_xz(-e.phi));
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            p.both[r][c] = p.rotphi[r][0] * p.rottheta[0][c] + p.rotphi[r][1] * p.rottheta[1][c] +
                           p.rotphi[r][2] * p.rottheta[2][c];
    p.ia = 1 / (e.A * e.A);
    p.ib = 1 / (e.B * e.B);
    p.ic = 1 / (e.C * e.C);
    p.never = has_nan({e.avg[0], e.avg[1], e.avg[2], e.theta, e.phi, e.A, e.B, e.C});
    p.band = band_for(std::min({p.ia, p.ib, p.ic}), std::max({p.ia, p.ib, p.ic}));
    const bool finiteTurn = std::all_of(p.both.begin(), p.both.end(), [](const std::array<double, 3>& row) {
        return std::all_of(row.begin(), row.end(), [](double v) { return std::isfinite(v); });
    });
    p.quick = !p.never && usable_inverse_square(p.ia) && usable_inverse_square(p.ib) &&
              usable_inverse_square(p.ic) && finiteTurn && p.band < kWidestBand;
    return p;
}

double radius_margin(const PreparedEllipsoid& p, double x, double y, double z) {
    const std::array<double, 3> o = {x - p.avg[0], y - p.avg[1], z - p.avg[2]};
    const std::array<double, 3> star = apply(p.rottheta, o);
    const std::array<double, 3> d = apply(p.rotphi, star);
    const double dist = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const double t = std::atan(d[1] / d[0]);
    const double f = std::atan(d[2] / std::sqrt(d[0] * d[0] + d[1] * d[1]));
    const double ct = std::cos(t), st = std::sin(t), cf = std::cos(f), sf = std::sin(f);
    const double sum =
        ct * ct * cf * cf / (p.A * p.A) + st * st * cf * cf / (p.B * p.B) + sf * sf / (p.C * p.C);
    const double rad = 1 / std::sqrt(sum);
    return rad - dist;
}

// Classifies the points of one duration line at (x, y) whose duration offsets are oz[0 .. count),
// branch-free like classify_column. Returns false, leaving `out` alone, when the whole line is surely
// outside: along the line the quadratic form is a t^2 + b t + c in the duration offset t, and its
// minimum c - b^2 / 4a lies beyond the band (allowing for its own rounding, which grows with c).
bool classify_line(const PreparedEllipsoid& p, double x, double y, const double* oz, std::size_t count,
                   double* out) {
    if (p.never)
        return false;
    if (!p.quick) {
        std::fill(out, out + count, kUnsure);
        return true;
    }
    const double ox = x - p.avg[0];
    const double oy = y - p.avg[1];
    const double b0 = p.both[0][0] * ox + p.both[0][1] * oy;
    const double b1 = p.both[1][0] * ox + p.both[1][1] * oy;
    const double b2 = p.both[2][0] * ox + p.both[2][1] * oy;
    const double m0 = p.both[0][2], m1 = p.both[1][2], m2 = p.both[2][2];
    const double ia = p.ia, ib = p.ib, ic = p.ic, band = p.band;

    const double a = m0 * m0 * ia + m1 * m1 * ib + m2 * m2 * ic;
    const double b = 2 * (b0 * m0 * ia + b1 * m1 * ib + b2 * m2 * ic);
    const double c = b0 * b0 * ia + b1 * b1 * ib + b2 * b2 * ic;
    if (c - b * b / (4 * a) > 1 + band + kLineSlack * c)
        return false;

    for (std::size_t k = 0; k < count; ++k) {
        const double d0 = b0 + m0 * oz[k];
        const double d1 = b1 + m1 * oz[k];
        const double d2 = b2 + m2 * oz[k];
        const double across = d0 * d0 + d1 * d1;
        const double q = d0 * d0 * ia + d1 * d1 * ib + d2 * d2 * ic;
        const double inside = q < 1 ? kInside : 0;
        const double nearOutline = std::fabs(q - 1) > band ? 0 : kUnsure;
        const double nearAxis = across > kAxisShare * (across + d2 * d2) ? 0 : kUnsure;
        out[k] = inside + nearOutline + nearAxis;
    }
    return true;
}

inline bool resolve(double cls, const PreparedEllipsoid& p, double x, double y, double z) {
    return cls >= kUnsure ? radius_margin(p, x, y, z) >= 0 : cls == kInside;
}

} // namespace

long long grid_points(GridResolution r, bool withDuration) {
    // Three axes of up to 2^31 points each overflow 64 bits: the count saturates.
    const auto points = [](int steps) { return static_cast<double>(std::max(steps, 0)) + 1; };
    double n = points(r.m) * points(r.n);
    if (withDuration)
        n *= points(r.s);
    return n >= 9e18 ? std::numeric_limits<long long>::max() : static_cast<long long>(n);
}

namespace {

void require_resolution(GridResolution r, bool withDuration) {
    if (r.m < 1 || r.n < 1 || (withDuration && r.s < 1))
        throw std::invalid_argument("The overlap grid needs at least one step along every axis.");
    if (r.m > kMaxGridSteps || r.n > kMaxGridSteps || (withDuration && r.s > kMaxGridSteps))
        throw std::invalid_argument("The overlap grid has more than " + std::to_string(kMaxGridSteps) +
                                    " intervals along an axis.");
    if (grid_points(r, withDuration) > kMaxGridPoints) {
        static_assert(kMaxGridPoints == 10'000'000, "the message names the bound");
        std::string size = std::to_string(r.m + 1) + " x " + std::to_string(r.n + 1);
        if (withDuration)
            size += " x " + std::to_string(r.s + 1);
        throw std::invalid_argument("The overlap grid of " + size +
                                    " points is too large: at most 10 million points can be measured.");
    }
}

// Smallest and largest value of each axis over both outlines, missing values ignored.
GridBox grid_box(const Matrix& first, const Matrix& second, std::size_t axes,
                 const std::array<int, 3>& steps) {
    GridBox box;
    for (std::size_t a = 0; a < axes; ++a) {
        double lo = kNoShare;
        double hi = kNoShare;
        for (const Matrix* outline : {&first, &second}) {
            for (std::size_t r = 0; r < outline->rows; ++r) {
                const double v = (*outline)(r, a);
                if (std::isnan(v))
                    continue;
                lo = std::isnan(lo) ? v : std::min(lo, v);
                hi = std::isnan(hi) ? v : std::max(hi, v);
            }
        }
        box.min[a] = lo;
        box.max[a] = hi;
        box.step[a] = (hi - lo) / steps[a];
    }
    return box;
}

void require_outline(const Matrix& outline, std::size_t axes) {
    if (outline.rows > 0 && outline.cols < axes)
        throw std::invalid_argument(axes == 2
                                        ? "An ellipse outline needs two columns (F2, F1)."
                                        : "An ellipsoid outline needs three columns (F2, F1, duration).");
}

// List capacity for a shape covering `share` of the box (NaN or 0 when it holds nothing).
std::size_t expected_points(double share, std::size_t total) {
    if (!(share > 0))
        return 0;
    if (!(share < 1))
        return total;
    const double estimate = share * kReserveSlack * static_cast<double>(total);
    return std::min(total, static_cast<std::size_t>(estimate) + kReserveExtra);
}

template <typename List> void reserve(List& list, std::size_t count) {
    list.x.reserve(count);
    list.y.reserve(count);
    if constexpr (requires { list.z; })
        list.z.reserve(count);
}

} // namespace

OverlapShares overlap_shares(long long E1sum, long long E2sum, long long Ebothsum) {
    OverlapShares out;
    out.E1sum = E1sum;
    out.E2sum = E2sum;
    out.Ebothsum = Ebothsum;
    out.E1ovfrac = static_cast<double>(Ebothsum) / static_cast<double>(E1sum);
    out.E2ovfrac = static_cast<double>(Ebothsum) / static_cast<double>(E2sum);
    // A shape that holds no grid point (a group of one or two tokens, a flat cloud) has no share to
    // compare: the overlap is undefined, not 0, which would claim that the groups lie apart.
    if (E1sum > 0 && E2sum > 0)
        out.value = std::max(out.E1ovfrac, out.E2ovfrac);
    return out;
}

double ellipse_margin(const Ellipse2D& e, double x, double y) {
    return radius_margin(prepare(e), x, y);
}

double ellipsoid_margin(const Ellipsoid3D& e, double x, double y, double z) {
    return radius_margin(prepare(e), x, y, z);
}

namespace {

// What a walk does with the grid points inside either shape: counts them, and a collector lists them too.
struct Counter {
    long long E1sum = 0, E2sum = 0, Ebothsum = 0;
    void add(bool in1, bool in2, double, double, double = 0) {
        E1sum += in1 ? 1 : 0;
        E2sum += in2 ? 1 : 0;
        Ebothsum += in1 && in2 ? 1 : 0;
    }
    OverlapShares shares() const { return overlap_shares(E1sum, E2sum, Ebothsum); }
};

template <typename List> void push(List& list, double x, double y, double z) {
    list.x.push_back(x);
    list.y.push_back(y);
    if constexpr (requires { list.z; })
        list.z.push_back(z);
}

template <typename List> struct Collector : Counter {
    List inside1, inside2, both;
    void add(bool in1, bool in2, double x, double y, double z = 0) {
        Counter::add(in1, in2, x, y, z);
        if (in1)
            push(inside1, x, y, z);
        if (in2)
            push(inside2, x, y, z);
        if (in1 && in2)
            push(both, x, y, z);
    }
};

// A shape that holds no point, walked beside one shape to find the points inside it alone.
PreparedEllipse no_ellipse() {
    PreparedEllipse p;
    p.never = true;
    return p;
}

PreparedEllipsoid no_ellipsoid() {
    PreparedEllipsoid p;
    p.never = true;
    return p;
}

// The walk over the (m + 1) x (n + 1) grid of `box`, F2 outermost: every point inside either ellipse
// goes to the sink, in walk order.
template <typename Sink>
void walk_2d(const PreparedEllipse& e1, const PreparedEllipse& e2, const GridBox& box, GridResolution resolution,
             const GridColumnHook& onColumn, Sink& sink) {
    // The F1 values of the grid and their offsets from both centres, shared by every column.
    const std::size_t rows = static_cast<std::size_t>(resolution.n + 1);
    std::vector<double> ys(rows), dy1(rows), dy2(rows);
    for (std::size_t j = 0; j < rows; ++j) {
        ys[j] = box.min[1] + static_cast<double>(j) * box.step[1];
        dy1[j] = ys[j] - e1.y0;
        dy2[j] = ys[j] - e2.y0;
    }
    std::vector<double> class1(rows), class2(rows);

    for (int i = 1; i <= resolution.m + 1; ++i) {
        if (onColumn)
            onColumn(i);
        const double x = box.min[0] + (i - 1) * box.step[0];
        classify_column(e1, x - e1.x0, dy1.data(), rows, class1.data());
        classify_column(e2, x - e2.x0, dy2.data(), rows, class2.data());
        for (std::size_t j = 0; j < rows; ++j) {
            if (class1[j] + class2[j] == 0)
                continue;
            const double y = ys[j];
            sink.add(resolve(class1[j], e1, x, y), resolve(class2[j], e2, x, y), x, y);
        }
    }
}

// The walk over the (m + 1) x (n + 1) x (s + 1) grid of `box`, F2 outermost, then F1, then duration.
template <typename Sink>
void walk_3d(const PreparedEllipsoid& e1, const PreparedEllipsoid& e2, const GridBox& box, GridResolution resolution,
             const GridColumnHook& onColumn, Sink& sink) {
    // The duration values of the grid and their offsets from both centres, shared by every line.
    const std::size_t depth = static_cast<std::size_t>(resolution.s + 1);
    std::vector<double> zs(depth), oz1(depth), oz2(depth);
    for (std::size_t k = 0; k < depth; ++k) {
        zs[k] = box.min[2] + static_cast<double>(k) * box.step[2];
        oz1[k] = zs[k] - e1.avg[2];
        oz2[k] = zs[k] - e2.avg[2];
    }
    std::vector<double> class1(depth), class2(depth);

    for (int i = 1; i <= resolution.m + 1; ++i) {
        if (onColumn)
            onColumn(i);
        const double x = box.min[0] + (i - 1) * box.step[0];
        for (int j = 1; j <= resolution.n + 1; ++j) {
            const double y = box.min[1] + (j - 1) * box.step[1];
            const bool line1 = classify_line(e1, x, y, oz1.data(), depth, class1.data());
            const bool line2 = classify_line(e2, x, y, oz2.data(), depth, class2.data());
            if (!line1 && !line2)
                continue;
            if (!line1)
                std::fill(class1.begin(), class1.end(), 0.0);
            if (!line2)
                std::fill(class2.begin(), class2.end(), 0.0);
            for (std::size_t k = 0; k < depth; ++k) {
                if (class1[k] + class2[k] == 0)
                    continue;
                const double z = zs[k];
                sink.add(resolve(class1[k], e1, x, y, z), resolve(class2[k], e2, x, y, z), x, y, z);
            }
        }
    }
}

GridBox box_2d(const Ellipse2D& first, const Ellipse2D& second, GridResolution resolution) {
    require_resolution(resolution, false);
    require_outline(first.outline, 2);
    require_outline(second.outline, 2);
    return grid_box(first.outline, second.outline, 2, {resolution.m, resolution.n, 1});
}

GridBox box_3d(const Ellipsoid3D& first, const Ellipsoid3D& second, GridResolution resolution) {
    require_resolution(resolution, true);
    require_outline(first.outline, 3);
    require_outline(second.outline, 3);
    return grid_box(first.outline, second.outline, 3, {resolution.m, resolution.n, resolution.s});
}

} // namespace

GridCounts grid_counts_2d(const Ellipse2D& first, const Ellipse2D& second, GridResolution resolution,
                          const GridColumnHook& onColumn) {
    GridCounts out;
    out.box = box_2d(first, second, resolution);
    Counter counter;
    walk_2d(prepare(first), prepare(second), out.box, resolution, onColumn, counter);
    out.shares = counter.shares();
    return out;
}

GridCounts grid_counts_3d(const Ellipsoid3D& first, const Ellipsoid3D& second, GridResolution resolution,
                          const GridColumnHook& onColumn) {
    GridCounts out;
    out.box = box_3d(first, second, resolution);
    Counter counter;
    walk_3d(prepare(first), prepare(second), out.box, resolution, onColumn, counter);
    out.shares = counter.shares();
    return out;
}

GridOverlap2D grid_overlap_2d(const Ellipse2D& first, const Ellipse2D& second, GridResolution resolution,
                              const GridColumnHook& onColumn) {
    GridOverlap2D out;
    out.box = box_2d(first, second, resolution);
    const GridBox& box = out.box;
    const std::size_t total =
        static_cast<std::size_t>(resolution.m + 1) * static_cast<std::size_t>(resolution.n + 1);
    const double boxArea = (box.max[0] - box.min[0]) * (box.max[1] - box.min[1]);
    const std::size_t expect1 = expected_points(std::numbers::pi * first.A * first.B / boxArea, total);
    const std::size_t expect2 = expected_points(std::numbers::pi * second.A * second.B / boxArea, total);
    Collector<PointList2D> lists;
    reserve(lists.inside1, expect1);
    reserve(lists.inside2, expect2);
    reserve(lists.both, std::min(expect1, expect2));
    walk_2d(prepare(first), prepare(second), box, resolution, onColumn, lists);
    out.shares = lists.shares();
    out.inside1 = std::move(lists.inside1);
    out.inside2 = std::move(lists.inside2);
    out.both = std::move(lists.both);
    return out;
}

GridOverlap3D grid_overlap_3d(const Ellipsoid3D& first, const Ellipsoid3D& second, GridResolution resolution,
                              const GridColumnHook& onColumn) {
    GridOverlap3D out;
    out.box = box_3d(first, second, resolution);
    const GridBox& box = out.box;
    const std::size_t total = static_cast<std::size_t>(resolution.m + 1) *
                              static_cast<std::size_t>(resolution.n + 1) *
                              static_cast<std::size_t>(resolution.s + 1);
    const double boxVolume =
        (box.max[0] - box.min[0]) * (box.max[1] - box.min[1]) * (box.max[2] - box.min[2]);
    const double ball = 4.0 / 3.0 * std::numbers::pi;
    const std::size_t expect1 = expected_points(ball * first.A * first.B * first.C / boxVolume, total);
    const std::size_t expect2 = expected_points(ball * second.A * second.B * second.C / boxVolume, total);
    Collector<PointList3D> lists;
    reserve(lists.inside1, expect1);
    reserve(lists.inside2, expect2);
    reserve(lists.both, std::min(expect1, expect2));
    walk_3d(prepare(first), prepare(second), box, resolution, onColumn, lists);
    out.shares = lists.shares();
    out.inside1 = std::move(lists.inside1);
    out.inside2 = std::move(lists.inside2);
    out.both = std::move(lists.both);
    return out;
}

PointList2D grid_inside_2d(const Ellipse2D& shape, const GridBox& box, GridResolution resolution) {
    require_resolution(resolution, false);
    Collector<PointList2D> lists;
    walk_2d(prepare(shape), no_ellipse(), box, resolution, {}, lists);
    return std::move(lists.inside1);
}

PointList3D grid_inside_3d(const Ellipsoid3D& shape, const GridBox& box, GridResolution resolution) {
    require_resolution(resolution, true);
    Collector<PointList3D> lists;
    walk_3d(prepare(shape), no_ellipsoid(), box, resolution, {}, lists);
    return std::move(lists.inside1);
}

} // namespace tarvik
