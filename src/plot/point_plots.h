#pragma once

#include "app/runtime.h"
#include "ui/plot_description.h"

#include <string>
#include <vector>

// The plot kinds "Original data" and "Normalized data": each group's tokens as points in its own marker
// and colour, F2 on x, duration on y and F1 on z in 3D ("3d"), F2 on x and F1 on y otherwise; every axis
// reversed with grid lines. Both return false after showing the report of a caught failure.
namespace tarvik {

// The tokens as read from the data file; the axis limits follow the data.
bool plot_original_data(Runtime& rt, const Handles& handles, PlotDescription& plot,
                        const std::vector<int>& vowelList, const std::string& dimensions);

// The normalized tokens, in axes fixed to the session's plot extents (axes3D, axes2D), centred on 0.
bool plot_normalized_data(Runtime& rt, const Handles& handles, PlotDescription& plot,
                          const std::vector<int>& vowelList, const std::string& dimensions);

} // namespace tarvik
