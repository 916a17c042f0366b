#include "qt/plot_range.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvik {

double nice_step(double lo, double hi, int intervals) {
    // Divided before subtracting, so that the widest ranges of doubles do not overflow.
    const double raw = hi / intervals - lo / intervals;
    if (!std::isfinite(raw) || raw <= 0 || intervals < 1)
        return 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / magnitude;
    const double nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
    return nice * magnitude;
}

AxisRange nice_range(double min, double max) {
    if (!std::isfinite(min) || !std::isfinite(max) || min > max)
        return AxisRange{0, 1, 0.2};
    if (min == max) {
        const double pad = min == 0 ? 1 : std::max(1.0, std::abs(min) * 1e-3);
        constexpr double widest = std::numeric_limits<double>::max();
        min = std::max(min - pad, -widest);
        max = std::min(max + pad, widest);
    }
    const double step = nice_step(min, max);
    // Values a rounding error past a tick stay on that tick.
    const double eps = step * 1e-9;
    AxisRange r{std::floor((min + eps) / step) * step, std::ceil((max - eps) / step) * step, step};
    // Rounding out may leave the doubles at the very ends of their range.
    if (!std::isfinite(r.lo))
        r.lo = min;
    if (!std::isfinite(r.hi))
        r.hi = max;
    if (r.hi <= r.lo)
        r.hi = r.lo + step;
    return r;
}

std::size_t point_count(const PlotSeries& s, bool is3D) {
    std::size_t n = std::min(s.x.size(), s.y.size());
    return is3D ? std::min(n, s.z.size()) : n;
}

bool is_drawable(const PlotSeries& s, std::size_t i, bool is3D) {
    return std::isfinite(s.x[i]) && std::isfinite(s.y[i]) && (!is3D || std::isfinite(s.z[i]));
}

namespace {

// Qt Charts loops forever on an axis whose span overflows; no axis runs past these ends.
AxisRange within_limits(AxisRange r) {
    r.lo = std::clamp(r.lo, -kAxisEnd, kAxisEnd);
    r.hi = std::clamp(r.hi, -kAxisEnd, kAxisEnd);
    if (r.hi <= r.lo)
        return nice_range(r.lo, r.lo);
    r.step = std::min(r.step, nice_step(r.lo, r.hi));
    return r;
}

} // namespace

AxisRange axis_range(const PlotAxes& axes, int axis) {
    if (axis >= 0 && axis < 3) {
        if (const auto& fixed = axes.limits[axis]) {
            const double lo = std::min(fixed->lo, fixed->hi), hi = std::max(fixed->lo, fixed->hi);
            if (std::isfinite(lo) && std::isfinite(hi) && lo < hi)
                return within_limits(AxisRange{lo, hi, nice_step(lo, hi)});
        }
    }
    double min = std::numeric_limits<double>::infinity(), max = -min;
    for (const PlotSeries& s : axes.series) {
        const std::vector<double>& values = axis == 0 ? s.x : axis == 1 ? s.y : s.z;
        const std::size_t n = point_count(s, axes.is3D);
        for (std::size_t i = 0; i < n && i < values.size(); ++i) {
            if (is_drawable(s, i, axes.is3D)) {
                min = std::min(min, values[i]);
                max = std::max(max, values[i]);
            }
        }
    }
    return within_limits(nice_range(min, max));
}

} // namespace tarvik
