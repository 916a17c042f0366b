#pragma once

#include "ui/plot_description.h"

#include <cstddef>

namespace tarvik {

// What one axis shows: its ends and the distance between its ticks.
struct AxisRange {
    double lo = 0, hi = 1, step = 0.2;
};

// A step of 1, 2 or 5 times a power of ten that cuts [lo, hi] into about `intervals` pieces.
double nice_step(double lo, double hi, int intervals = 5);

// The smallest range on whole steps that holds [min, max]. A single value gets room around it and
// missing values give 0 to 1, so an axis never collapses.
AxisRange nice_range(double min, double max);

// The far ends of any axis: beyond them the span of an axis would overflow.
inline constexpr double kAxisEnd = 1e300;

// The points of a series that can be drawn: the first n of each coordinate list (n the length of the
// shortest) whose coordinates are all finite; z counts only in a 3D plot.
std::size_t point_count(const PlotSeries& s, bool is3D);
bool is_drawable(const PlotSeries& s, std::size_t i, bool is3D);

// The range of axis 0, 1 or 2 (x, y, z): the fixed limits when the plot gives usable ones, else the
// drawable points of all series, rounded out to nice steps.
AxisRange axis_range(const PlotAxes& axes, int axis);

} // namespace tarvik
