#pragma once

#include "app/runtime.h"
#include "ui/plot_description.h"

#include <string>
#include <vector>

// The drawing primitives every plot is made of, and the small lookups the drawing operations share.
// A drawing adds to the axes of a plot description; showing the description is the dispatcher's step.
namespace tarvik {

// Adds one series of points (data1(k), data2(k)) drawn with `markerType` in `ColorRGB`. Axes that do
// not keep their content lose their earlier series first and become 2D. A failure (coordinate lists of
// different lengths, an unknown line style) adds nothing and shows the primitive's report.
void plot2dRGB(const Runtime& rt, PlotAxes& axes, const std::vector<double>& data1,
               const std::vector<double>& data2, const std::string& markerType, const Color& ColorRGB);

// As plot2dRGB with points (data1(k), data2(k), data3(k)); the axes become 3D.
void plot3dRGB(const Runtime& rt, PlotAxes& axes, const std::vector<double>& data1,
               const std::vector<double>& data2, const std::vector<double>& data3,
               const std::string& markerType, const Color& ColorRGB);

// Every axis reversed with grid lines: x and y, and z too in 3D.
void reverse_axes_with_grid(PlotAxes& axes, bool is3D);

// The 1-based groups a drawing walks: all of them in order for an empty list, else the list.
std::vector<int> groups_to_draw(const Handles& handles, const std::vector<int>& vowelList);

// A control's Value as a 1-based index; 0 (no entry) when it is not a whole number in range.
int value_index(double value);

// Group `num` (1-based); throws std::out_of_range when there is no such group.
const VowelGroup& plotted_group(const Handles& handles, int num);

// The plot windows of the runtime; throws std::runtime_error when it has none.
PlotHost& plot_host(const Runtime& rt);

} // namespace tarvik
