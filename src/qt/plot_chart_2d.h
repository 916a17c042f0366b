#pragma once

#include "ui/plot_description.h"

class QChart;
class QValueAxis;

namespace tarvik {

// Pixel size of a 2D marker.
inline constexpr int kMarkerSize2D = 9;

// A Qt Charts chart of a 2D plot: the plot series (scatter for markers, line otherwise; groups drawn
// with the same marker and colour share one series), two value axes with the plot's directions, grid,
// ranges and labels, the title, and the legend when it goes inside the plot area. The caller owns the
// chart; the window shows it and the picture export draws it.
QChart* build_chart(const PlotAxes& axes);

// The legend goes inside the plot area, in its top right corner, when the plot does not put it outside
// and its one column fits there (within the plot area's height and half its width). It is laid out
// again whenever the plot area changes. True when the chart shows its legend inside; false when it has
// none, or when it belongs beside the plot.
bool legend_inside(const QChart& chart);
// Puts the legend outside the plot area (the chart then shows none) or back inside where it fits.
void set_legend_outside(QChart& chart, bool outside);

// The x (0) or y (1) axis of a chart made by build_chart.
QValueAxis* chart_axis(const QChart& chart, int axis);

} // namespace tarvik
