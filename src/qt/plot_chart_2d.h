#pragma once

#include "ui/plot_description.h"

class QChart;
class QValueAxis;

namespace tarvik {

// Pixel size of a 2D marker.
inline constexpr int kMarkerSize2D = 9;

// A Qt Charts chart of a 2D plot: one series per plot series (scatter for markers, line otherwise), two
// value axes with the plot's directions, grid, ranges and labels, the title and the legend. The caller
// owns the chart; the window shows it and the picture export draws it.
QChart* build_chart(const PlotAxes& axes);

// The x (0) or y (1) axis of a chart made by build_chart.
QValueAxis* chart_axis(const QChart& chart, int axis);

} // namespace tarvik
