#pragma once

#include "core/color.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The marker symbols of the plot style menu, in menu order.
inline constexpr std::array<std::string_view, 10> kMarkerSymbols = {"x", "+", "o", "*", ".",
                                                                    "s", "^", "v", ">", "<"};

// One series of points. A line style that is a marker symbol draws unfilled markers only, with their
// edges in `color`; a line style proper ("-", "--", ":", "-.") draws a connecting line.
struct PlotSeries {
    std::vector<double> x, y, z; // z is empty in a 2D plot
    std::string lineSpec;
    Color color;
    friend bool operator==(const PlotSeries&, const PlotSeries&) = default;
};

struct AxisLimits {
    double lo = 0, hi = 0;
    friend bool operator==(const AxisLimits&, const AxisLimits&) = default;
};

// The axes of a plot window: everything the renderer needs, nothing it computes. Index 0, 1, 2 of the
// per-axis arrays is x, y, z.
struct PlotAxes {
    bool is3D = false;
    std::vector<PlotSeries> series; // in drawing order
    bool hold = false;              // keep what is drawn when the next series comes
    std::array<bool, 3> reversed{};
    std::array<bool, 3> grid{};
    std::array<std::optional<AxisLimits>, 3> limits; // empty: fitted to the data
    std::string title;                               // "\n" breaks it into lines
    std::array<std::string, 3> labels;
    // Labels for the first series, one per entry, in drawing order; empty: no legend.
    std::optional<std::vector<std::string>> legend;
    // The legend beside the plot area even where it would fit inside it.
    bool legendOutside = false;
    friend bool operator==(const PlotAxes&, const PlotAxes&) = default;
};

// What one numbered plot window shows.
struct PlotDescription {
    int number = 0;
    std::string name; // the window's name beside its number ("Output")
    PlotAxes axes;
    // Name of the handler a mouse press in the window calls; empty: none.
    std::string buttonDownFcn;
    friend bool operator==(const PlotDescription&, const PlotDescription&) = default;
};

// True when the line style is one of the marker symbols.
inline bool is_marker_symbol(std::string_view lineSpec) {
    for (std::string_view m : kMarkerSymbols)
        if (m == lineSpec)
            return true;
    return false;
}

} // namespace tarvik
