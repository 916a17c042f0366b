#include "plot/plot_series.h"

#include "app/guarded.h"
#include "core/format.h"
#include "plot/plot_texts.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvik {

namespace {

constexpr std::array<std::string_view, 4> kLineStyles = {"-", "--", ":", "-."};

bool is_line_spec(const std::string& spec) {
    if (is_marker_symbol(spec))
        return true;
    for (std::string_view s : kLineStyles)
        if (s == spec)
            return true;
    return false;
}

void add_series(PlotAxes& axes, PlotSeries series) {
    if (series.x.size() != series.y.size() || (!series.z.empty() && series.z.size() != series.x.size()))
        throw std::invalid_argument(std::string(plot_text::kLengthMismatch));
    if (!is_line_spec(series.lineSpec))
        throw std::invalid_argument(fill(plot_text::kBadLineStyle, {series.lineSpec}));
    if (!axes.hold)
        axes.series.clear();
    axes.series.push_back(std::move(series));
}

} // namespace

void plot2dRGB(const Runtime& rt, PlotAxes& axes, const std::vector<double>& data1,
               const std::vector<double>& data2, const std::string& markerType, const Color& ColorRGB) {
    guarded(rt, ReportForm::B, "plot2dRGB", [&] {
        add_series(axes, PlotSeries{data1, data2, {}, markerType, ColorRGB});
        if (!axes.hold)
            axes.is3D = false;
    });
}

void plot3dRGB(const Runtime& rt, PlotAxes& axes, const std::vector<double>& data1,
               const std::vector<double>& data2, const std::vector<double>& data3,
               const std::string& markerType, const Color& ColorRGB) {
    guarded(rt, ReportForm::B, "plot3dRGB", [&] {
        // The common check cannot tell a short z list from a 2D series' absent one.
        if (data3.size() != data1.size())
            throw std::invalid_argument(std::string(plot_text::kLengthMismatch));
        add_series(axes, PlotSeries{data1, data2, data3, markerType, ColorRGB});
        axes.is3D = true;
    });
}

void reverse_axes_with_grid(PlotAxes& axes, bool is3D) {
    axes.reversed = {true, true, is3D};
    axes.grid = {true, true, is3D};
}

std::vector<int> groups_to_draw(const Handles& handles, const std::vector<int>& vowelList) {
    if (!vowelList.empty())
        return vowelList;
    std::vector<int> all(handles.v.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<int>(i) + 1;
    return all;
}

int value_index(double value) {
    if (!(value >= 1 && value <= std::numeric_limits<int>::max()) || value != std::floor(value))
        return 0;
    return static_cast<int>(value);
}

const VowelGroup& plotted_group(const Handles& handles, int num) {
    if (num < 1 || static_cast<std::size_t>(num) > handles.v.size())
        throw std::out_of_range(
            fill(plot_text::kNoGroup, {std::to_string(num), std::to_string(handles.v.size())}));
    return *handles.v[static_cast<std::size_t>(num - 1)];
}

PlotHost& plot_host(const Runtime& rt) {
    if (rt.services().plots == nullptr)
        throw std::runtime_error(std::string(plot_text::kNoPlotHost));
    return *rt.services().plots;
}

} // namespace tarvik
